#include "app/engine/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"

namespace quadrivo {

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{" << box.left << ", " << box.top << ", " << box.width << ", " << box.height << "}";
}

namespace {

constexpr std::int32_t kFormWidth = 800;
constexpr std::int32_t kFormHeight = 660;

struct FormBox {
  Box LayoutGeometry::*box;
  Box place;
};

// The main window's controls as the form creates them (container client coordinates).
const FormBox kForm[] = {
    {&LayoutGeometry::分组框_出题区, {8, 7, 780, 343}},
    {&LayoutGeometry::分组框_答题情况, {134, 263, 641, 70}},
    {&LayoutGeometry::第一张图片框, {16, 23, 150, 200}},
    {&LayoutGeometry::第二张图片框, {211, 23, 150, 200}},
    {&LayoutGeometry::第三张图片框, {406, 23, 150, 200}},
    {&LayoutGeometry::第四张图片框, {602, 23, 150, 200}},
    {&LayoutGeometry::标签_第一个数, {13, 233, 150, 35}},
    {&LayoutGeometry::标签_第二个数, {209, 233, 150, 35}},
    {&LayoutGeometry::标签_第三个数, {404, 233, 150, 35}},
    {&LayoutGeometry::标签_第四个数, {601, 233, 150, 35}},
    {&LayoutGeometry::单选框_第一组, {34, 16, 157, 32}},
    {&LayoutGeometry::单选框_第二组, {188, 16, 151, 32}},
    {&LayoutGeometry::单选框_第三组, {358, 15, 118, 32}},
    {&LayoutGeometry::按钮_确定, {513, 17, 104, 40}},
    {&LayoutGeometry::标签_第一组, {40, 373, 64, 32}},
    {&LayoutGeometry::标签_第二组, {168, 373, 64, 32}},
    {&LayoutGeometry::标签_第三组, {277, 373, 64, 32}},
    {&LayoutGeometry::编辑框_第一组, {24, 416, 100, 100}},
    {&LayoutGeometry::编辑框_第二组, {145, 414, 100, 100}},
    {&LayoutGeometry::编辑框_第三组, {266, 413, 100, 100}},
    {&LayoutGeometry::编辑框_答案, {392, 360, 394, 239}},
    {&LayoutGeometry::按钮_正确答案, {8, 533, 375, 30}},
    {&LayoutGeometry::按钮_清空得分, {8, 573, 375, 30}},
};

// The form's controls in a window of the given outer and client size, created at 800 x 660.
LayoutGeometry form_geometry(std::int32_t window_width, std::int32_t window_height, std::int32_t client_width,
                             std::int32_t client_height) {
  LayoutGeometry g{};
  g.window_width = window_width;
  g.window_height = window_height;
  g.initial_window_width = kFormWidth;
  g.initial_window_height = kFormHeight;
  g.client_width = client_width;
  g.client_height = client_height;
  for (const auto& control : kForm) g.*control.box = control.place;
  return g;
}

// The size of the first pass: the form's 800 x 660 with its 792 x 606 client area.
LayoutGeometry created_window() { return form_geometry(kFormWidth, kFormHeight, 792, 606); }

std::string name_of(const LayoutControl& control) { return gbk_to_utf8(control.name); }

// The table's entry for a box (its name, for messages and the name check).
const LayoutControl* control_of(Box LayoutGeometry::*box) {
  for (const auto& control : kLayoutControls) {
    if (control.box == box) return &control;
  }
  return nullptr;
}

std::string name_of(Box LayoutGeometry::*box) {
  const LayoutControl* control = control_of(box);
  return control != nullptr ? name_of(*control) : "(not in the table)";
}

TEST(LayoutFirstPass, FormSizeGivesTheKnownGeometry) {
  LayoutGeometry g = created_window();
  LayoutLocals locals{};
  run_layout_pass(g, &locals);

  EXPECT_EQ(g.height_ratio, 1.0f);
  EXPECT_EQ(g.width_ratio, 1.0f);
  EXPECT_EQ(locals.picture_gap, 45);  // 45.5
  EXPECT_EQ(locals.radio_gap, 14);    // 14.75
  EXPECT_EQ(locals.lower_band, 290);

  // Every box, whole: the sides the pass must not touch keep the form's figures.
  const FormBox expected[] = {
      {&LayoutGeometry::分组框_出题区, {8, 7, 782, 342}},  // 343 * 606 / 660 + 28 = 342.9
      {&LayoutGeometry::分组框_答题情况, {134, 263, 642, 80}},
      {&LayoutGeometry::第一张图片框, {16, 23, 150, 200}},
      {&LayoutGeometry::第二张图片框, {211, 23, 150, 200}},
      {&LayoutGeometry::第三张图片框, {406, 23, 150, 200}},
      {&LayoutGeometry::第四张图片框, {601, 23, 150, 200}},
      {&LayoutGeometry::标签_第一个数, {13, 233, 150, 35}},
      {&LayoutGeometry::标签_第二个数, {211, 233, 150, 35}},
      {&LayoutGeometry::标签_第三个数, {406, 233, 150, 35}},
      {&LayoutGeometry::标签_第四个数, {601, 233, 150, 35}},
      {&LayoutGeometry::单选框_第一组, {34, 16, 157, 32}},
      {&LayoutGeometry::单选框_第二组, {205, 16, 151, 32}},
      {&LayoutGeometry::单选框_第三组, {370, 15, 118, 32}},
      {&LayoutGeometry::按钮_确定, {492, 17, 104, 40}},
      {&LayoutGeometry::标签_第一组, {50, 373, 64, 32}},
      {&LayoutGeometry::标签_第二组, {150, 373, 64, 32}},
      {&LayoutGeometry::标签_第三组, {250, 373, 64, 32}},
      {&LayoutGeometry::编辑框_第一组, {24, 416, 100, 100}},
      {&LayoutGeometry::编辑框_第二组, {154, 414, 100, 100}},
      {&LayoutGeometry::编辑框_第三组, {284, 413, 100, 100}},
      {&LayoutGeometry::编辑框_答案, {396, 354, 396, 303}},
      {&LayoutGeometry::按钮_正确答案, {8, 533, 385, 30}},
      {&LayoutGeometry::按钮_清空得分, {8, 561, 385, 30}},
  };
  for (const auto& box : expected) EXPECT_EQ(g.*box.box, box.place) << name_of(box.box);

  // The window itself is only read.
  EXPECT_EQ(g.window_width, 800);
  EXPECT_EQ(g.window_height, 660);
  EXPECT_EQ(g.client_width, 792);
  EXPECT_EQ(g.client_height, 606);
  EXPECT_EQ(g.initial_window_width, 800);
  EXPECT_EQ(g.initial_window_height, 660);
}

struct Scaled {
  std::int32_t window_width, window_height, client_width, client_height;
  float width_ratio, height_ratio;
  std::int32_t score_width, score_height;    // every score box
  std::int32_t button_width, button_height;  // both lower buttons
};

TEST(LayoutScaling, ScoreBoxesAndLowerButtonsFollowTheStoredRatios) {
  const Scaled cases[] = {
      {800, 660, 792, 606, 1.0f, 1.0f, 100, 100, 385, 30},
      // 1.05 is stored as the single just below it: 104.99999 and 403.74998 truncate down.
      {840, 660, 832, 606, 1.05f, 1.0f, 104, 100, 403, 30},
      {1000, 800, 992, 746, 1.25f, 800.0f / 660.0f, 125, 121, 478, 36},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.window_width << " x " << c.window_height);
    LayoutGeometry g = form_geometry(c.window_width, c.window_height, c.client_width, c.client_height);
    run_layout_pass(g);

    EXPECT_EQ(g.width_ratio, c.width_ratio);
    EXPECT_EQ(g.height_ratio, c.height_ratio);
    for (const Box* score : {&g.编辑框_第一组, &g.编辑框_第二组, &g.编辑框_第三组}) {
      EXPECT_EQ(score->width, c.score_width);
      EXPECT_EQ(score->height, c.score_height);
    }
    // The boxes stand 30 apart, the labels only a box's width apart.
    EXPECT_EQ(g.编辑框_第二组.left, 24 + c.score_width + 30);
    EXPECT_EQ(g.编辑框_第三组.left, 24 + 2 * (c.score_width + 30));
    EXPECT_EQ(g.标签_第二组.left, 50 + c.score_width);
    EXPECT_EQ(g.标签_第三组.left, 50 + 2 * c.score_width);
    for (const Box* button : {&g.按钮_正确答案, &g.按钮_清空得分}) {
      EXPECT_EQ(button->width, c.button_width);
      EXPECT_EQ(button->height, c.button_height);
      EXPECT_EQ(button->left, 8);
    }
  }
}

TEST(LayoutScaling, LargerWindowMovesEverythingThatFollowsTheClientArea) {
  LayoutGeometry g = form_geometry(1000, 800, 992, 746);
  LayoutLocals locals{};
  run_layout_pass(g, &locals);

  EXPECT_EQ(g.分组框_出题区, (Box{8, 7, 982, 347}));  // 343 * 746 / 800 + 28 = 347.8
  EXPECT_EQ(g.分组框_答题情况, (Box{134, 263, 842, 80}));
  EXPECT_EQ(locals.picture_gap, 95);  // (982 - 600 - 32) / 4 + 8 = 95.5
  EXPECT_EQ(locals.radio_gap, 64);    // (842 - 471 - 32) / 4 - 20 = 64.75
  EXPECT_EQ(g.第二张图片框.left, 261);
  EXPECT_EQ(g.第三张图片框.left, 506);
  EXPECT_EQ(g.第四张图片框.left, 751);
  EXPECT_EQ(g.标签_第四个数.left, 751);
  EXPECT_EQ(g.单选框_第二组.left, 255);
  EXPECT_EQ(g.单选框_第三组.left, 470);
  EXPECT_EQ(g.按钮_确定.left, 642);
  EXPECT_EQ(g.编辑框_答案, (Box{496, 359, 496, 373}));
  EXPECT_EQ(locals.lower_band, 451);             // 746 - 416 + 121
  EXPECT_EQ(g.按钮_正确答案.top, 563);             // 416 + 121 + 26.5
  EXPECT_EQ(g.按钮_清空得分.top, 641);             // 225.5 + 416
}

TEST(LayoutTruncation, NegativeGapsAndHalvesTruncateTowardZero) {
  // Client width 595: card area 585 gives a picture gap of -3.75, judging box 445 a radio gap of
  // -34.5; an odd client width halves to .5.
  LayoutGeometry g = form_geometry(603, 660, 595, 606);
  LayoutLocals locals{};
  run_layout_pass(g, &locals);

  EXPECT_EQ(locals.picture_gap, -3);
  EXPECT_EQ(locals.radio_gap, -34);
  EXPECT_EQ(g.第二张图片框.left, 163);
  EXPECT_EQ(g.第三张图片框.left, 310);
  EXPECT_EQ(g.第四张图片框.left, 457);
  EXPECT_EQ(g.单选框_第二组.left, 157);
  EXPECT_EQ(g.单选框_第三组.left, 274);
  EXPECT_EQ(g.按钮_确定.left, 348);
  EXPECT_EQ(g.编辑框_答案.left, 297);
  EXPECT_EQ(g.编辑框_答案.width, 297);
  // 603 / 800 = 0.75375: 75.375 and 292.66 truncate.
  EXPECT_EQ(g.编辑框_第一组.width, 75);
  EXPECT_EQ(g.按钮_正确答案.width, 292);
}

TEST(LayoutSmallClient, MinimisedAndNarrowClientAreasAreNotGuarded) {
  struct Case {
    std::int32_t window_width, window_height, client_width, client_height;
    std::int32_t card_width, card_height, judging_width;
    Box answer;
  };
  const Case cases[] = {
      // A minimised window: its outer size is the small caption bar, its client area empty.
      {160, 28, 0, 0, -10, 28, -150, {0, 40, 0, 0}},
      // Narrower than the judging box's margin: negative width, the rest still computed.
      // Card area 343 * 246 / 300 + 28 = 309.3.
      {108, 300, 100, 246, 90, 309, -50, {50, 321, 50, 123}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.client_width << " x " << c.client_height);
    LayoutGeometry g = form_geometry(c.window_width, c.window_height, c.client_width, c.client_height);
    run_layout_pass(g);
    EXPECT_EQ(g.分组框_出题区.width, c.card_width);
    EXPECT_EQ(g.分组框_出题区.height, c.card_height);
    EXPECT_EQ(g.分组框_答题情况.width, c.judging_width);
    EXPECT_EQ(g.分组框_答题情况.height, 80);
    EXPECT_EQ(g.编辑框_答案, c.answer);
  }
}

// The card area's height is the one figure computed from its own previous value, so it carries the
// history of earlier passes; the answer box's top follows it.
TEST(LayoutHistory, CardAreaHeightDriftsOverRepeatedPassesAndAnswerBoxFollows) {
  // At the form size the fixed point is 28 / (1 - 606 / 660) = 342.2: from 343 it steps down once
  // and stays.
  LayoutGeometry g = created_window();
  run_layout_pass(g);
  EXPECT_EQ(g.分组框_出题区.height, 342);
  run_layout_pass(g);
  EXPECT_EQ(g.分组框_出题区.height, 342);
  EXPECT_EQ(g.编辑框_答案.top, 354);

  // Minimising leaves 28; restoring does not bring the earlier height back at once.
  LayoutGeometry minimised = g;
  minimised.window_width = 160;
  minimised.window_height = 28;
  minimised.client_width = 0;
  minimised.client_height = 0;
  run_layout_pass(minimised);
  EXPECT_EQ(minimised.分组框_出题区.height, 28);

  LayoutGeometry restored = minimised;
  restored.window_width = 800;
  restored.window_height = 660;
  restored.client_width = 792;
  restored.client_height = 606;
  std::vector<std::int32_t> heights;
  for (int pass = 0; pass < 80; ++pass) {
    run_layout_pass(restored);
    heights.push_back(restored.分组框_出题区.height);
    EXPECT_EQ(restored.编辑框_答案.top, 7 + restored.分组框_出题区.height + 5) << "pass " << pass;
  }
  EXPECT_EQ(heights[0], 53);  // 28 * 606 / 660 + 28 = 53.7
  EXPECT_EQ(heights[1], 76);
  for (std::size_t i = 1; i < heights.size(); ++i) {
    EXPECT_GE(heights[i], heights[i - 1]);
    if (heights[i] == heights[i - 1]) {
      EXPECT_EQ(heights[i], heights.back()) << "stalled, then moved again";
    }
  }
  // Truncation stops it short of the fixed point.
  EXPECT_EQ(heights.back(), 331);
  EXPECT_LT(heights.back(), 28 / (1 - 606.0 / 660.0));

  // One pass at a taller size moves only part of the way toward the new fixed point (414.8).
  LayoutGeometry taller = form_geometry(1000, 800, 992, 746);
  run_layout_pass(taller);
  EXPECT_EQ(taller.分组框_出题区.height, 347);
  run_layout_pass(taller);
  EXPECT_EQ(taller.分组框_出题区.height, 351);
  EXPECT_EQ(taller.编辑框_答案.top, 7 + 351 + 5);
}

TEST(LayoutControls, TableNamesEveryBoxOnce) {
  std::set<std::string> names;
  for (std::size_t i = 0; i < std::size(kLayoutControls); ++i) {
    const auto& control = kLayoutControls[i];
    EXPECT_TRUE(is_valid_gbk(control.name)) << i;
    EXPECT_TRUE(names.insert(control.name).second) << name_of(control);
    for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(kLayoutControls[j].box == control.box) << name_of(control);
    EXPECT_EQ(control.written & ~(kLayoutLeft | kLayoutTop | kLayoutWidth | kLayoutHeight), 0) << name_of(control);
  }
  // A name is the control's name on the form, in GBK.
  ASSERT_NE(control_of(&LayoutGeometry::按钮_确定), nullptr);
  EXPECT_EQ(std::string(control_of(&LayoutGeometry::按钮_确定)->name), "\xB0\xB4\xC5\xA5_\xC8\xB7\xB6\xA8");
}

// The shell writes back only the sides the table marks, so the table must hold every side the pass
// changes (or a change would be lost) and no side it never changes (or the shell would write a
// value the pass did not compute).
TEST(LayoutControls, WrittenSidesAreExactlyTheOnesThePassChanges) {
  const LayoutGeometry sizes[] = {
      created_window(),
      form_geometry(840, 660, 832, 606),
      form_geometry(1000, 800, 992, 746),
      form_geometry(603, 660, 595, 606),
      form_geometry(160, 28, 0, 0),
  };
  using Side = std::int32_t Box::*;
  const std::pair<std::uint8_t, Side> sides[] = {
      {kLayoutLeft, &Box::left}, {kLayoutTop, &Box::top}, {kLayoutWidth, &Box::width}, {kLayoutHeight, &Box::height}};

  for (const auto& control : kLayoutControls) {
    std::uint8_t changed = 0;
    for (const auto& before : sizes) {
      LayoutGeometry after = before;
      run_layout_pass(after);
      for (const auto& [bit, side] : sides) {
        if ((after.*control.box).*side != (before.*control.box).*side) changed |= bit;
      }
    }
    EXPECT_EQ(changed, control.written) << name_of(control);
  }
}

}  // namespace
}  // namespace quadrivo
