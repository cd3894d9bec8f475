// The main window's layout pass: one fixed sequence of formulas that moves and resizes the controls
// when the window changes size. It works on plain numbers so it can be tested without a window; the
// Win32 shell fills a LayoutGeometry from the real window, runs the pass and writes back exactly the
// properties that kLayoutControls marks as written.
#pragma once

#include <cstdint>

namespace quadrivo {

// A control's place in the client coordinates of its container, and its outer size.
struct Box {
  std::int32_t left, top, width, height;

  bool operator==(const Box&) const = default;
};

// Everything the pass reads or writes. The shell refills the window and client sizes and every box
// before each pass; the initial size is the one the creation handler recorded (height first, then
// width) and never changes. The radio buttons and 按钮_确定 lie in 分组框_答题情况, which lies in
// 分组框_出题区; every other box is in the main window's client area.
struct LayoutGeometry {
  // Outer size of the main window (frame, caption and menu bar included): the current one, read at
  // the start of the pass, and the one recorded right after creation, the divisor of the ratios.
  std::int32_t window_width, window_height;
  std::int32_t initial_window_width, initial_window_height;
  // Size of the main window's client area (CW, CH).
  std::int32_t client_width, client_height;

  // Current size over initial size, kept in single precision: the score boxes and the lower buttons
  // are scaled by these rounded values, which is why 840 / 800 gives a box of 104, not 105. The pass
  // writes both before it reads them, so whatever they held before a pass does not matter; they live
  // here so the shell can keep them with the rest of the window's state.
  float height_ratio, width_ratio;

  Box 分组框_出题区, 分组框_答题情况;
  Box 第一张图片框, 第二张图片框, 第三张图片框, 第四张图片框;
  Box 标签_第一个数, 标签_第二个数, 标签_第三个数, 标签_第四个数;
  Box 单选框_第一组, 单选框_第二组, 单选框_第三组;
  Box 按钮_确定;
  Box 编辑框_答案;
  Box 编辑框_第一组, 编辑框_第二组, 编辑框_第三组;
  Box 标签_第一组, 标签_第二组, 标签_第三组;
  Box 按钮_正确答案, 按钮_清空得分;
};

// The three whole numbers the pass forms on the way; only tests look at them.
struct LayoutLocals {
  std::int32_t picture_gap, radio_gap, lower_band;
};

// Runs the 32 steps in order on geometry. Each read sees the writes made before it, each formula is
// evaluated in double precision in the order written, and each written value (and each local) is
// truncated toward zero. The pass does not guard small or empty client areas: a minimised window
// gets negative widths, exactly as the formulas give them. The outer window height must not be 0
// (it never is while the window exists), nor the initial size. When locals is given it receives
// the three intermediate numbers.
void run_layout_pass(LayoutGeometry& geometry, LayoutLocals* locals = nullptr);

// Which properties of a box the pass writes, as bits.
enum LayoutSide : std::uint8_t {
  kLayoutLeft = 1,
  kLayoutTop = 2,
  kLayoutWidth = 4,
  kLayoutHeight = 8,
};

// One control the pass knows: its name on the form (GBK, as narrow literals are compiled), its box
// in LayoutGeometry, and the sides the pass writes. A control with no side written is only read, as
// an anchor; the shell must leave it, and every side not listed, exactly as it is.
struct LayoutControl {
  const char* name;
  Box LayoutGeometry::*box;
  std::uint8_t written;
};

// Every box of LayoutGeometry, in declaration order.
inline constexpr LayoutControl kLayoutControls[] = {
    {"分组框_出题区", &LayoutGeometry::分组框_出题区, kLayoutWidth | kLayoutHeight},
    {"分组框_答题情况", &LayoutGeometry::分组框_答题情况, kLayoutWidth | kLayoutHeight},
    {"第一张图片框", &LayoutGeometry::第一张图片框, 0},
    {"第二张图片框", &LayoutGeometry::第二张图片框, kLayoutLeft},
    {"第三张图片框", &LayoutGeometry::第三张图片框, kLayoutLeft},
    {"第四张图片框", &LayoutGeometry::第四张图片框, kLayoutLeft},
    {"标签_第一个数", &LayoutGeometry::标签_第一个数, 0},
    {"标签_第二个数", &LayoutGeometry::标签_第二个数, kLayoutLeft},
    {"标签_第三个数", &LayoutGeometry::标签_第三个数, kLayoutLeft},
    {"标签_第四个数", &LayoutGeometry::标签_第四个数, kLayoutLeft},
    {"单选框_第一组", &LayoutGeometry::单选框_第一组, 0},
    {"单选框_第二组", &LayoutGeometry::单选框_第二组, kLayoutLeft},
    {"单选框_第三组", &LayoutGeometry::单选框_第三组, kLayoutLeft},
    {"按钮_确定", &LayoutGeometry::按钮_确定, kLayoutLeft},
    {"编辑框_答案", &LayoutGeometry::编辑框_答案, kLayoutLeft | kLayoutTop | kLayoutWidth | kLayoutHeight},
    {"编辑框_第一组", &LayoutGeometry::编辑框_第一组, kLayoutWidth | kLayoutHeight},
    {"编辑框_第二组", &LayoutGeometry::编辑框_第二组, kLayoutLeft | kLayoutWidth | kLayoutHeight},
    {"编辑框_第三组", &LayoutGeometry::编辑框_第三组, kLayoutLeft | kLayoutWidth | kLayoutHeight},
    {"标签_第一组", &LayoutGeometry::标签_第一组, kLayoutLeft},
    {"标签_第二组", &LayoutGeometry::标签_第二组, kLayoutLeft},
    {"标签_第三组", &LayoutGeometry::标签_第三组, kLayoutLeft},
    {"按钮_正确答案", &LayoutGeometry::按钮_正确答案, kLayoutTop | kLayoutWidth | kLayoutHeight},
    {"按钮_清空得分", &LayoutGeometry::按钮_清空得分, kLayoutTop | kLayoutWidth | kLayoutHeight},
};

}  // namespace quadrivo
