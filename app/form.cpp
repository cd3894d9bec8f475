#include "form.h"

#include <commctrl.h>

#include <cwchar>

#include "wide_text.h"

namespace quadrivo::app {
namespace {

constexpr UINT_PTR kContainerSubclassId = 1;
constexpr UINT_PTR kTabSubclassId = 2;

LRESULT CALLBACK container_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR) {
  switch (message) {
    // A group box drops what its children tell their parent; the form's window handles it.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetAncestor(window, GA_ROOT), message, wparam, lparam);
    case WM_PRINTCLIENT: {
      // A themed child button has its parent paint the background into the child's own device
      // context; the group box's painting leaves its caption font selected there, and the
      // button would draw its caption in that font instead of its own.
      const auto dc = reinterpret_cast<HDC>(wparam);
      const int saved = SaveDC(dc);
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      RestoreDC(dc, saved);
      return result;
    }
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, container_procedure, kContainerSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK tab_passing_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    LRESULT code = DefSubclassProc(window, message, wparam, lparam);
    const auto* key = reinterpret_cast<const MSG*>(lparam);
    if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_TAB) {
      code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    }
    return code;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, tab_passing_procedure, kTabSubclassId);
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

win::UniqueFont create_font(const FontSpec& font_spec) {
  LOGFONTW font{};
  font.lfHeight = -font_spec.height;
  font.lfWeight = font_spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = font_spec.underline ? TRUE : FALSE;
  font.lfCharSet = GB2312_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  if (font_spec.face) {
    const std::wstring face = win::gbk_to_wide(font_spec.face);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  }
  return win::UniqueFont(CreateFontIndirectW(&font));
}

std::string window_text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return win::wide_to_gbk(text);
}

void set_window_text(HWND window, std::string_view gbk_text) {
  SetWindowTextW(window, win::gbk_to_wide(gbk_text).c_str());
}

void append_text(HWND edit_box, std::string_view gbk_text) {
  // EM_SETSEL(-1, -1) only drops the selection; the end has to be named.
  const LPARAM end = GetWindowTextLengthW(edit_box);
  SendMessageW(edit_box, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit_box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(win::gbk_to_wide(gbk_text).c_str()));
  SendMessageW(edit_box, EM_SCROLLCARET, 0, 0);
}

void make_container(HWND group_box) {
  SetWindowSubclass(group_box, container_procedure, kContainerSubclassId, 0);
}

void pass_tab_on(HWND edit_box) { SetWindowSubclass(edit_box, tab_passing_procedure, kTabSubclassId, 0); }

void dispatch_message(MSG& message) {
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool pump_pending_events() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    dispatch_message(message);
  }
  return true;
}

}  // namespace quadrivo::app
