#include "app/engine/layout.h"

#include <cstddef>
#include <iterator>

#include "common/numbers.h"

namespace quadrivo {

// The shell fills and writes back boxes only through kLayoutControls: a box added to the geometry
// but missing from the table would silently keep its stale value.
static_assert(std::size(kLayoutControls) * sizeof(Box) ==
                  sizeof(LayoutGeometry) - offsetof(LayoutGeometry, 分组框_出题区),
              "kLayoutControls must list every box of LayoutGeometry");

namespace {

// Every formula works on reals; the whole numbers read from the window become doubles first.
double real(std::int32_t value) { return static_cast<double>(value); }
double real(float value) { return static_cast<double>(value); }

}  // namespace

void run_layout_pass(LayoutGeometry& g, LayoutLocals* locals) {
  // The statements follow one another as the writes must: several later formulas read a value an
  // earlier one has just written (the card area's width, the pictures' and radio buttons' lefts,
  // the score boxes' sizes), and the card area's height is computed from its own previous height.

  // Steps 1 and 2: current size over initial size, rounded to single precision on storing.
  const std::int32_t current_height = g.window_height;
  const std::int32_t current_width = g.window_width;
  g.height_ratio = static_cast<float>(real(current_height) / real(g.initial_window_height));
  g.width_ratio = static_cast<float>(real(current_width) / real(g.initial_window_width));

  // Steps 3 to 5: the card area and the judging box follow the client width. The card area's
  // height reads CH, then its own height, then the window's outer height.
  g.分组框_出题区.width = real_to_whole(real(g.client_width) - 10);
  {
    const double client_height = real(g.client_height);
    const double own_height = real(g.分组框_出题区.height);
    const double window_height = real(g.window_height);
    g.分组框_出题区.height = real_to_whole((own_height * client_height) / window_height + 28);
  }
  g.分组框_答题情况.width = real_to_whole(real(g.client_width) - 150);

  // Steps 6 and 7: the spacing of four pictures across the card area and of three radio buttons
  // across the judging box.
  std::int32_t picture_gap;
  {
    const double picture_width = real(g.第一张图片框.width);
    picture_gap = real_to_whole(((real(g.分组框_出题区.width) - picture_width * 4) - 32) / 4 + 8);
  }
  std::int32_t radio_gap;
  {
    const double radio_width = real(g.单选框_第一组.width);
    radio_gap = real_to_whole(((real(g.分组框_答题情况.width) - radio_width * 3) - 32) / 4 - 20);
  }

  // Steps 8 to 11: each picture after the first is placed from the one before, all with the first
  // picture's width; the number labels then take the pictures' lefts.
  g.第二张图片框.left = real_to_whole(real(g.第一张图片框.left) + real(picture_gap) + real(g.第一张图片框.width));
  g.第三张图片框.left = real_to_whole(real(g.第二张图片框.left) + real(picture_gap) + real(g.第一张图片框.width));
  g.第四张图片框.left = real_to_whole(real(g.第三张图片框.left) + real(picture_gap) + real(g.第一张图片框.width));
  g.标签_第二个数.left = g.第二张图片框.left;
  g.标签_第三个数.left = g.第三张图片框.left;
  g.标签_第四个数.left = g.第四张图片框.left;

  // Steps 12 to 14: the radio buttons each after the one before, with its own width, and the award
  // button after the last, drawn 10 back.
  g.单选框_第二组.left = real_to_whole(real(g.单选框_第一组.left) + real(g.单选框_第一组.width) + real(radio_gap));
  g.单选框_第三组.left = real_to_whole(real(g.单选框_第二组.left) + real(g.单选框_第二组.width) + real(radio_gap));
  g.按钮_确定.left = real_to_whole(real(g.单选框_第三组.left) + real(g.单选框_第三组.width) + real(radio_gap) - 10);

  // Steps 15 to 18: the answer box takes the right half of the client area under the card area.
  g.编辑框_答案.left = real_to_whole(real(g.client_width) / 2);
  g.编辑框_答案.top = real_to_whole(real(g.分组框_出题区.top) + real(g.分组框_出题区.height) + 5);
  g.编辑框_答案.width = real_to_whole(real(g.client_width) / 2);
  g.编辑框_答案.height = real_to_whole(real(g.client_height) / 2);

  // Steps 19 to 21: the score boxes scale with the window; the second and third stand 30 after the
  // one before.
  g.编辑框_第一组.width = real_to_whole(real(g.width_ratio) * 100);
  g.编辑框_第一组.height = real_to_whole(real(g.height_ratio) * 100);
  g.编辑框_第二组.left = real_to_whole(real(g.编辑框_第一组.left) + real(g.编辑框_第一组.width) + 30);
  g.编辑框_第二组.width = real_to_whole(real(g.width_ratio) * 100);
  g.编辑框_第二组.height = real_to_whole(real(g.height_ratio) * 100);
  g.编辑框_第三组.left = real_to_whole(real(g.编辑框_第二组.left) + real(g.编辑框_第二组.width) + 30);
  g.编辑框_第三组.width = real_to_whole(real(g.width_ratio) * 100);
  g.编辑框_第三组.height = real_to_whole(real(g.height_ratio) * 100);

  // Steps 22 to 24: the score labels are spaced by the boxes' widths alone, without the boxes' 30.
  g.标签_第一组.left = 50;
  g.标签_第二组.left = real_to_whole(real(g.标签_第一组.left) + real(g.编辑框_第一组.width));
  g.标签_第三组.left = real_to_whole(real(g.标签_第二组.left) + real(g.编辑框_第二组.width));

  // Step 25: the band the two lower buttons are placed in. The score box's height is added, not
  // subtracted, so the band is larger than the free space below the boxes.
  const std::int32_t lower_band =
      real_to_whole(real(g.client_height) - real(g.编辑框_第一组.top) + real(g.编辑框_第一组.height));

  // Steps 26 to 31: the two lower buttons.
  g.按钮_正确答案.top = real_to_whole(real(g.编辑框_第一组.top) + real(g.编辑框_第一组.height) + real(lower_band) / 17);
  g.按钮_正确答案.height = real_to_whole(real(g.height_ratio) * 30);
  g.按钮_正确答案.width = real_to_whole(real(g.width_ratio) * 375 + 10);
  g.按钮_清空得分.top = real_to_whole(real(lower_band) / 2 + real(g.编辑框_第一组.top));
  g.按钮_清空得分.height = real_to_whole(real(g.height_ratio) * 30);
  g.按钮_清空得分.width = real_to_whole(real(g.width_ratio) * 375 + 10);

  // Step 32: the judging box's height is fixed, whatever the form gave it.
  g.分组框_答题情况.height = 80;

  if (locals != nullptr) *locals = {picture_gap, radio_gap, lower_band};
}

}  // namespace quadrivo
