#include "app/win/layout_shell.h"

#include <string_view>

namespace quadrivo::app {
namespace {

constexpr HWND MainControls::*handle_named(std::string_view name) {
  for (const FormControl& control : kMainForm) {
    if (name == control.name) return control.handle;
  }
  return nullptr;
}

constexpr bool every_layout_box_is_a_form_control() {
  for (const LayoutControl& control : kLayoutControls) {
    if (handle_named(control.name) == nullptr) return false;
  }
  return true;
}
static_assert(every_layout_box_is_a_form_control(), "a layout box names no control of the form");

Box box_of(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Only the sides the pass writes take its values; the others stay as the control has them.
Box written_sides(const Box& now, const Box& computed, std::uint8_t written) {
  Box box = now;
  if (written & kLayoutLeft) box.left = computed.left;
  if (written & kLayoutTop) box.top = computed.top;
  if (written & kLayoutWidth) box.width = computed.width;
  if (written & kLayoutHeight) box.height = computed.height;
  return box;
}

}  // namespace

HWND MainControls::*layout_handle(const LayoutControl& control) { return handle_named(control.name); }

LayoutGeometry read_layout_geometry(HWND window, const MainControls& controls, std::int32_t initial_width,
                                    std::int32_t initial_height) {
  LayoutGeometry geometry{};
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  geometry.window_width = outer.right - outer.left;
  geometry.window_height = outer.bottom - outer.top;
  geometry.client_width = client.right - client.left;
  geometry.client_height = client.bottom - client.top;
  geometry.initial_window_width = initial_width;
  geometry.initial_window_height = initial_height;
  for (const LayoutControl& control : kLayoutControls) {
    geometry.*control.box = box_of(controls.*layout_handle(control));
  }
  return geometry;
}

LayoutGeometry form_layout_geometry(std::int32_t window_width, std::int32_t window_height, std::int32_t client_width,
                                    std::int32_t client_height) {
  LayoutGeometry geometry{};
  geometry.window_width = window_width;
  geometry.window_height = window_height;
  geometry.client_width = client_width;
  geometry.client_height = client_height;
  geometry.initial_window_width = kMainWidth;
  geometry.initial_window_height = kMainHeight;
  for (const LayoutControl& layout : kLayoutControls) {
    for (const FormControl& control : kMainForm) {
      if (control.handle == layout_handle(layout)) {
        geometry.*layout.box = {control.left, control.top, control.width, control.height};
      }
    }
  }
  return geometry;
}

void run_layout_pass_on(HWND window, const MainControls& controls, std::int32_t initial_width,
                        std::int32_t initial_height) {
  const LayoutGeometry before = read_layout_geometry(window, controls, initial_width, initial_height);
  LayoutGeometry after = before;
  run_layout_pass(after);

  for (const LayoutControl& control : kLayoutControls) {
    const Box& now = before.*control.box;
    const Box box = written_sides(now, after.*control.box, control.written);
    if (box == now) continue;
    // Windows takes a negative width or height as 0, as it does for any window.
    SetWindowPos(controls.*layout_handle(control), nullptr, box.left, box.top, box.width, box.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
  }
  // One repaint of everything, frames and group-box captions included.
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace quadrivo::app
