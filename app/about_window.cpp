#include "about_window.h"

#include <windows.h>

#include <vector>

#include "form.h"
#include "handles.h"
#include "picture.h"
#include "resource_ids.h"
#include "texts.h"
#include "wide_text.h"

namespace quadrivo::app {
namespace {

constexpr int kAboutLeft = 50, kAboutTop = 50, kAboutWidth = 323, kAboutHeight = 357;
constexpr int kIconSide = 32;
constexpr COLORREF kLinkColour = RGB(0, 0, 204);

enum AboutControlId : int {
  kIdBanner = 2001,
  kIdIcon,
  kIdAboutText,
  kIdLicence,
  kIdOk,
};

enum class AboutKind { kBanner, kIcon, kText, kTransparentLabel, kButton };

struct AboutControl {
  const char* name;
  AboutKind kind;
  int left, top, width, height;
  const char* caption;
  FontSpec font;
  int id;
};

// In creation order, which is also the drawing order from top to bottom: the transparent label
// lies over the About text and must be drawn after it.
constexpr AboutControl kAboutForm[] = {
    {"图片框1", AboutKind::kBanner, 0, 0, 320, 64, nullptr, {nullptr, 0}, kIdBanner},
    {"图片框2", AboutKind::kIcon, 6, 72, 32, 32, nullptr, {nullptr, 0}, kIdIcon},
    {"透明标签1", AboutKind::kTransparentLabel, 134, 212, 99, 24, texts::kLicenceLink,
     {texts::kSongTypeface, 16, false, true}, kIdLicence},
    {"标签关于", AboutKind::kText, 46, 72, 274, 216, texts::kAboutText, {texts::kSongTypeface, 16}, kIdAboutText},
    {"按钮_确定", AboutKind::kButton, 228, 292, 50, 30, texts::kConfirm, {nullptr, 16}, kIdOk},
};

class AboutWindow {
 public:
  AboutWindow() = default;
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  void run();

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void create_controls();
  void close();

  HWND window_ = nullptr;
  HWND licence_ = nullptr;
  HWND text_ = nullptr;
  HWND banner_ = nullptr;
  HICON icon_ = nullptr;
  std::vector<win::UniqueFont> fonts_;
  std::vector<HWND> disabled_;
};

BOOL CALLBACK collect_enabled(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

void AboutWindow::run() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (!GetClassInfoExW(instance, kAboutClassName, &window_class)) {
    window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &AboutWindow::window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window_class.lpszClassName = kAboutClassName;
    if (!RegisterClassExW(&window_class)) return;
  }
  const HWND was_active = GetActiveWindow();
  const HWND had_focus = GetFocus();

  // Modal without an owner: every window of the thread that takes input now is disabled until
  // the About window closes.
  EnumThreadWindows(GetCurrentThreadId(), collect_enabled, reinterpret_cast<LPARAM>(&disabled_));
  for (const HWND window : disabled_) EnableWindow(window, FALSE);

  // Not WS_CLIPCHILDREN: the labels draw on the window's own background, the transparent one
  // over the About text.
  if (!CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kAboutClassName,
                       win::gbk_to_wide(texts::kAboutCaption).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                       kAboutLeft, kAboutTop, kAboutWidth, kAboutHeight, nullptr, nullptr, instance, this)) {
    for (const HWND window : disabled_) EnableWindow(window, TRUE);
    return;
  }
  create_controls();
  ShowWindow(window_, SW_SHOWNORMAL);
  SetFocus(GetDlgItem(window_, kIdOk));

  MSG message;
  while (window_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: close the window and leave WM_QUIT to the outer loop.
      close();
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    dispatch_message(message);
  }
  if (was_active && IsWindow(was_active)) SetActiveWindow(was_active);
  if (had_focus && IsWindow(had_focus)) SetFocus(had_focus);
}

void AboutWindow::create_controls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const AboutControl& control : kAboutForm) {
    const wchar_t* class_name = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
      case AboutKind::kBanner: style |= SS_BITMAP | SS_CENTERIMAGE; break;
      case AboutKind::kIcon: style |= SS_ICON; break;
      case AboutKind::kText: style |= SS_LEFT | SS_NOPREFIX; break;
      case AboutKind::kTransparentLabel: style |= SS_LEFT | SS_NOPREFIX; break;
      case AboutKind::kButton:
        class_name = L"BUTTON";
        style |= WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
        break;
    }
    const std::wstring caption = control.caption ? win::gbk_to_wide(control.caption) : std::wstring();
    const HWND handle = CreateWindowExW(0, class_name, caption.c_str(), style, control.left, control.top,
                                        control.width, control.height, window_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (!handle) continue;
    if (control.font.height > 0) {
      fonts_.push_back(create_font(control.font));
      SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.back().get()), FALSE);
    }
    switch (control.kind) {
      case AboutKind::kBanner:
        banner_ = handle;
        set_picture(handle, decode_picture(resource_bytes(IDR_ABOUT_BANNER)));
        break;
      case AboutKind::kIcon:
        icon_ = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, kIconSide, kIconSide, LR_DEFAULTCOLOR));
        SendMessageW(handle, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        // An icon static sizes itself to the icon; keep the form's box.
        SetWindowPos(handle, nullptr, control.left, control.top, control.width, control.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case AboutKind::kText: text_ = handle; break;
      case AboutKind::kTransparentLabel: licence_ = handle; break;
      case AboutKind::kButton: break;
    }
  }
}

void AboutWindow::close() {
  if (!window_) return;
  // Enabled again before the About window goes, so that activation returns to them.
  for (const HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
  DestroyWindow(window_);
}

LRESULT CALLBACK AboutWindow::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<AboutWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_ = window;
  }
  auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // No exception can leave the window procedure: the program is built without them, and a
  // failure of the library ends the process instead.
  return self->handle(message, wparam, lparam);
}

LRESULT AboutWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // OK, and Enter or Escape through the dialog keyboard handling.
      if (LOWORD(wparam) == kIdOk || LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) close();
      return 0;
    case WM_CLOSE:
      close();
      return 0;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lparam);
      if (control == licence_ || control == text_) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        if (control == licence_) SetTextColor(dc, kLinkColour);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    }
    case WM_DESTROY:
      if (banner_) clear_picture(banner_);
      if (icon_) DestroyIcon(icon_);
      icon_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace

void run_about_window() {
  AboutWindow about;
  about.run();
}

}  // namespace quadrivo::app
