#include "common/win/window.h"

#include "common/win/module.h"

namespace quadrivo::win {
namespace {

bool register_once(HINSTANCE module, const WindowClass& window_class, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(module, window_class.name, &existing)) return true;
  WNDCLASSEXW registered{};
  registered.cbSize = sizeof registered;
  registered.lpfnWndProc = procedure;
  registered.hInstance = module;
  registered.hIcon = window_class.icon;
  registered.hIconSm = window_class.small_icon;
  registered.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  registered.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  registered.lpszClassName = window_class.name;
  return RegisterClassExW(&registered) != 0;
}

}  // namespace

Window::~Window() {
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  const HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
}

bool Window::create(const WindowClass& window_class, const WindowPlacement& placement, const wchar_t* caption,
                    HMENU menu) {
  const HINSTANCE module = this_module();
  if (!register_once(module, window_class, &Window::procedure)) return false;
  // window_ is set at WM_NCCREATE, before the first message reaches handle().
  return CreateWindowExW(placement.extended_style, window_class.name, caption, placement.style, placement.left,
                         placement.top, placement.width, placement.height, nullptr, menu, module, this) != nullptr;
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_ = window;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->on_gone();
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // No exception can leave a window procedure: the program is built without them, and a failure
  // of the library (out of memory, a broken precondition) ends the process instead.
  return self->handle(message, wparam, lparam);
}

}  // namespace quadrivo::win
