#include "app/win/about_window.h"

#include <windows.h>

#include <vector>

#include "app/engine/texts.h"
#include "app/win/picture.h"
#include "app/win/resource_ids.h"
#include "common/win/form.h"
#include "common/win/message_loop.h"
#include "common/win/module.h"
#include "common/win/wide_text.h"
#include "common/win/window.h"

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

struct AboutControls {
  HWND 图片框1 = nullptr;
  HWND 图片框2 = nullptr;
  HWND 透明标签1 = nullptr;
  HWND 标签关于 = nullptr;
  HWND 按钮_确定 = nullptr;
};

namespace about_kinds {
inline constexpr win::ControlKind kBanner{L"STATIC", SS_BITMAP | SS_CENTERIMAGE, 0, 0};
inline constexpr win::ControlKind kIcon{L"STATIC", SS_ICON, 0, 0};
// The About text and the transparent label over it; both draw on the window's background.
inline constexpr win::ControlKind kLabel{L"STATIC", SS_LEFT | SS_NOPREFIX, 0, 0};
inline constexpr win::ControlKind kButton{L"BUTTON", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, 0};
}  // namespace about_kinds

// In creation order, which is also the drawing order from top to bottom: the transparent label
// lies over the About text and must be drawn after it.
using C = AboutControls;
constexpr win::FormControl<AboutControls> kAboutForm[] = {
    {"图片框1", &C::图片框1, nullptr, &about_kinds::kBanner, 0, 0, 320, 64, nullptr, win::kNoFont, kIdBanner},
    {"图片框2", &C::图片框2, nullptr, &about_kinds::kIcon, 6, 72, 32, 32, nullptr, win::kNoFont, kIdIcon},
    {"透明标签1", &C::透明标签1, nullptr, &about_kinds::kLabel, 134, 212, 99, 24, texts::kLicenceLink,
     {texts::kSongTypeface, 16, false, true}, kIdLicence},
    {"标签关于", &C::标签关于, nullptr, &about_kinds::kLabel, 46, 72, 274, 216, texts::kAboutText,
     {texts::kSongTypeface, 16}, kIdAboutText},
    {"按钮_确定", &C::按钮_确定, nullptr, &about_kinds::kButton, 228, 292, 50, 30, texts::kConfirm,
     {win::kDefaultFace, 16}, kIdOk},
};

class AboutWindow : public win::Window {
 public:
  AboutWindow() = default;
  ~AboutWindow() override { close(); }

  void run();

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void close();

  AboutControls controls_;
  HICON icon_ = nullptr;
  win::FontCache fonts_;
  std::vector<HWND> disabled_;
};

BOOL CALLBACK collect_enabled(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

void AboutWindow::run() {
  const HWND was_active = GetActiveWindow();
  const HWND had_focus = GetFocus();

  // Modal without an owner: every window of the thread that takes input now is disabled until
  // the About window closes.
  EnumThreadWindows(GetCurrentThreadId(), collect_enabled, reinterpret_cast<LPARAM>(&disabled_));
  for (const HWND window : disabled_) EnableWindow(window, FALSE);

  // Not WS_CLIPCHILDREN: the labels draw on the window's own background, the transparent one
  // over the About text.
  const win::WindowPlacement placement{WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                       kAboutLeft, kAboutTop, kAboutWidth, kAboutHeight};
  if (!create({kAboutClassName}, placement, win::gbk_to_wide(texts::kAboutCaption).c_str())) {
    for (const HWND window : disabled_) EnableWindow(window, TRUE);
    return;
  }
  // A control that cannot be made is left out; the window still shows and closes.
  win::build_form<AboutControls>(window(), kAboutForm, controls_, fonts_);
  if (controls_.图片框1) set_picture(controls_.图片框1, decode_picture(win::resource_bytes(IDR_ABOUT_BANNER)));
  if (controls_.图片框2) {
    icon_ = static_cast<HICON>(LoadImageW(win::this_module(), MAKEINTRESOURCEW(IDI_QUADRIVO), IMAGE_ICON, kIconSide,
                                          kIconSide, LR_DEFAULTCOLOR));
    SendMessageW(controls_.图片框2, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    // An icon static sizes itself to the icon; keep the form's box.
    const auto& box = kAboutForm[1];
    SetWindowPos(controls_.图片框2, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(window(), SW_SHOWNORMAL);
  SetFocus(controls_.按钮_确定);

  // Ends when the window is gone; WM_QUIT (the program ending) ends it too and is passed on.
  win::run_message_loop([this] { return window() == nullptr; });
  close();
  if (was_active && IsWindow(was_active)) SetActiveWindow(was_active);
  if (had_focus && IsWindow(had_focus)) SetFocus(had_focus);
}

void AboutWindow::close() {
  // Enabled again before the About window goes, so that activation returns to them.
  for (const HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
  destroy();
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
      if (control == controls_.透明标签1 || control == controls_.标签关于) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        if (control == controls_.透明标签1) SetTextColor(dc, kLinkColour);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    }
    case WM_DESTROY:
      if (controls_.图片框1) clear_picture(controls_.图片框1);
      if (icon_) DestroyIcon(icon_);
      icon_ = nullptr;
      return 0;
    default:
      break;
  }
  return default_handling(message, wparam, lparam);
}

}  // namespace

void run_about_window() {
  AboutWindow about;
  about.run();
}

}  // namespace quadrivo::app
