// The resize layout between the real windows and the portable pass: reads the geometry the pass
// needs from the main window and its controls, and writes back exactly what the pass writes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/engine/layout.h"
#include "app/win/main_form.h"

namespace quadrivo::app {

// The control of the form a layout box stands for.
HWND MainControls::*layout_handle(const LayoutControl& control);

// Outer and client size of the window, the recorded initial size, and every layout box as the
// controls are placed now (in their containers' client coordinates).
LayoutGeometry read_layout_geometry(HWND window, const MainControls& controls, std::int32_t initial_width,
                                    std::int32_t initial_height);

// The same geometry as the form places the controls, for a window of the given sizes.
LayoutGeometry form_layout_geometry(std::int32_t window_width, std::int32_t window_height, std::int32_t client_width,
                                    std::int32_t client_height);

// Runs the layout pass on the window: reads, computes, writes back the sides the pass writes,
// and repaints once at the end, so that no control leaves a trail of where it was.
void run_layout_pass_on(HWND window, const MainControls& controls, std::int32_t initial_width,
                        std::int32_t initial_height);

}  // namespace quadrivo::app
