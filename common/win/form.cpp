#include "common/win/form.h"

#include <commctrl.h>

#include <cwchar>

#include "common/win/module.h"
#include "common/win/wide_text.h"

namespace quadrivo::win {
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

bool FontSpec::operator==(const FontSpec& other) const {
  const bool same_face = (face == nullptr && other.face == nullptr) ||
                         (face != nullptr && other.face != nullptr && std::string_view(face) == other.face);
  return same_face && height == other.height && bold == other.bold && underline == other.underline;
}

UniqueFont create_font(const FontSpec& font_spec) {
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
    const std::wstring face = gbk_to_wide(font_spec.face);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  }
  return UniqueFont(CreateFontIndirectW(&font));
}

std::string window_text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return wide_to_gbk(text);
}

void set_window_text(HWND window, std::string_view gbk_text) {
  SetWindowTextW(window, gbk_to_wide(gbk_text).c_str());
}

void append_text(HWND edit_box, std::string_view gbk_text) {
  // EM_SETSEL(-1, -1) only drops the selection; the end has to be named.
  const LPARAM end = GetWindowTextLengthW(edit_box);
  SendMessageW(edit_box, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit_box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(gbk_to_wide(gbk_text).c_str()));
  SendMessageW(edit_box, EM_SCROLLCARET, 0, 0);
}

void make_container(HWND group_box) {
  SetWindowSubclass(group_box, container_procedure, kContainerSubclassId, 0);
}

void pass_tab_on(HWND edit_box) { SetWindowSubclass(edit_box, tab_passing_procedure, kTabSubclassId, 0); }

HFONT FontCache::get(const FontSpec& font_spec) {
  for (const auto& [known, font] : fonts_) {
    if (known == font_spec) return font.get();
  }
  fonts_.emplace_back(font_spec, create_font(font_spec));
  return fonts_.back().second.get();
}

HWND create_control(HWND parent, const ControlKind& kind, DWORD extra_style, int left, int top, int width,
                    int height, const char* caption, const FontSpec& font, int id, FontCache& fonts) {
  const std::wstring text = caption ? gbk_to_wide(caption) : std::wstring();
  const HWND handle = CreateWindowExW(kind.extended_style, kind.class_name, text.c_str(),
                                      WS_CHILD | WS_VISIBLE | kind.style | extra_style, left, top, width, height,
                                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), this_module(),
                                      nullptr);
  if (!handle) return nullptr;
  if (font.height > 0) SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.get(font)), FALSE);
  if (kind.traits & kContainer) make_container(handle);
  if (kind.traits & kUnlimitedText) SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);
  if (kind.traits & kPassesTab) pass_tab_on(handle);
  return handle;
}

}  // namespace quadrivo::win
