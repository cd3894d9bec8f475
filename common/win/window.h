// The base of every window of the system. One object per window; the window procedure reaches it
// through the pointer stored at WM_NCCREATE (from lpCreateParams) and cleared at WM_NCDESTROY, so
// no handler runs on an object that has let its window go, and no exception leaves the window
// procedure: the frames below it belong to the system. Each window writes only its handle().
#pragma once

#include <windows.h>

namespace quadrivo::win {

// A window class of the system: everything but the procedure, which is always the base's.
struct WindowClass {
  const wchar_t* name;
  HICON icon = nullptr;
  HICON small_icon = nullptr;
};

// Where and how a top-level window is created.
struct WindowPlacement {
  DWORD extended_style;
  DWORD style;
  int left, top, width, height;  // the outer rectangle on the screen
};

class Window {
 public:
  Window() = default;
  // A window still open here is let go without its handlers: a derived window that must see its
  // own destruction calls destroy() in its destructor.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Null before creation and again from WM_NCDESTROY on.
  HWND window() const { return window_; }

  void destroy() {
    if (window_) DestroyWindow(window_);
  }

 protected:
  // Registers the class in this module the first time, then creates the window. The object is
  // the window's state from WM_NCCREATE on. False when either fails.
  bool create(const WindowClass& window_class, const WindowPlacement& placement, const wchar_t* caption,
              HMENU menu = nullptr);

  // A message of the window; what it does not handle goes to default_handling().
  virtual LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT default_handling(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window_, message, wparam, lparam);
  }
  // Called once the window is gone (its last message), window() already null.
  virtual void on_gone() {}

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
};

}  // namespace quadrivo::win
