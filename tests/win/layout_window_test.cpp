// The resize layout on the real main window: after every change of its size each control stands
// where the portable layout pass puts it for the sizes the window reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "app/engine/chain_solver.h"
#include "common/gbk_utf8.h"
#include "app/engine/layout.h"
#include "app/win/layout_shell.h"
#include "app/win/main_form.h"
#include "app/win/main_window.h"
#include "common/win/message_box.h"
#include "app/win/companion_modules.h"
#include "tests/win/support/test_support.h"

namespace quadrivo {
namespace {

using app::MainWindow;

std::string describe(const LayoutControl& control, const Box& box) {
  return gbk_to_utf8(control.name) + " " + std::to_string(box.left) + "," + std::to_string(box.top) + " " +
         std::to_string(box.width) + "x" + std::to_string(box.height);
}

class LayoutWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    win::set_message_box_answerer([](const std::string&, const std::string&, unsigned) { return IDOK; });
    app::MainWindowHost host;
    host.run_directory = run_dir_.path();
    host.message_box = win::message_box;
    window_ = std::make_unique<MainWindow>(results_, std::move(host));
    ASSERT_TRUE(window_->load());
  }
  void TearDown() override {
    window_.reset();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT) DispatchMessageW(&message);
    }
    win::set_message_box_answerer(nullptr);
  }

  HWND main() const { return window_->window(); }
  LayoutGeometry geometry() const {
    return app::read_layout_geometry(main(), window_->controls(), window_->initial_window_width(),
                                     window_->initial_window_height());
  }

  // What one pass makes of `before` at the sizes the window reports now.
  LayoutGeometry one_pass_from(const LayoutGeometry& before) const {
    const LayoutGeometry now = geometry();
    LayoutGeometry expected = before;
    expected.window_width = now.window_width;
    expected.window_height = now.window_height;
    expected.client_width = now.client_width;
    expected.client_height = now.client_height;
    run_layout_pass(expected);
    return expected;
  }

  static void expect_same_boxes(const LayoutGeometry& expected, const LayoutGeometry& actual) {
    for (const LayoutControl& control : kLayoutControls) {
      EXPECT_EQ(actual.*control.box, expected.*control.box)
          << "expected " << describe(control, expected.*control.box) << ", found " << describe(control, actual.*control.box);
    }
  }

  void resize(int width, int height) {
    SetWindowPos(main(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  ResultsList results_;
  test::ScratchDirectory run_dir_{L"layout"};
  std::unique_ptr<MainWindow> window_;
};

TEST_F(LayoutWindowTest, TheFirstPassRanOnceOnTheFormWithRatiosOne) {
  const LayoutGeometry now = geometry();
  ASSERT_EQ(now.window_width, 800);
  ASSERT_EQ(now.window_height, 660);
  LayoutGeometry expected = app::form_layout_geometry(now.window_width, now.window_height, now.client_width, now.client_height);
  run_layout_pass(expected);
  expect_same_boxes(expected, now);
  std::printf("client area of the 800 x 660 window: %d x %d\n", now.client_width, now.client_height);
}

TEST_F(LayoutWindowTest, EachResizeMovesTheControlsWhereOnePassPutsThem) {
  const SIZE sizes[] = {{840, 660}, {1000, 800}, {640, 480}, {801, 661}, {800, 660}, {1010, 760}};
  for (const SIZE size : sizes) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    const LayoutGeometry before = geometry();
    resize(size.cx, size.cy);
    const LayoutGeometry after = geometry();
    ASSERT_EQ(after.window_width, size.cx);
    ASSERT_EQ(after.window_height, size.cy);
    expect_same_boxes(one_pass_from(before), after);
  }
}

TEST_F(LayoutWindowTest, AWiderWindowScalesTheScoreBoxesAndLowerButtons) {
  resize(1000, 800);
  const LayoutGeometry now = geometry();
  EXPECT_EQ(now.编辑框_第一组.width, 125);
  EXPECT_EQ(now.编辑框_第一组.height, 121);
  EXPECT_EQ(now.按钮_正确答案.width, 478);
  EXPECT_EQ(now.按钮_清空得分.height, 36);
  EXPECT_EQ(now.分组框_出题区.width, now.client_width - 10);
  EXPECT_EQ(now.编辑框_答案.left, now.client_width / 2);
}

TEST_F(LayoutWindowTest, MinimisingAndRestoringLeavesTheLayoutAsItWas) {
  resize(900, 700);
  const LayoutGeometry before = geometry();
  ShowWindow(main(), SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(main()));
  ShowWindow(main(), SW_RESTORE);
  EXPECT_FALSE(IsIconic(main()));
  const LayoutGeometry after = geometry();
  EXPECT_EQ(after.window_width, 900);
  EXPECT_EQ(after.window_height, 700);
  expect_same_boxes(before, after);
  EXPECT_GT(after.分组框_出题区.height, 300);
}

// Dragged down to a few pixels of height and back, again and again: the window stops at its
// minimum tracking size, and the card area, whose height each pass computes from its own, keeps
// the answer box below the number labels.
TEST_F(LayoutWindowTest, ShrinkingToAFewPixelsStopsAtTheMinimumAndTheAnswerBoxStaysBelowTheNumbers) {
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    resize(800, 5);
    ASSERT_EQ(geometry().window_height, app::kMainMinimumHeight);
    resize(800, 660);
    ASSERT_EQ(geometry().window_height, 660);
  }
  const LayoutGeometry now = geometry();
  EXPECT_GE(now.编辑框_答案.top, now.标签_第一个数.top + now.标签_第一个数.height)
      << "the answer box lies over the number labels; the card area is " << now.分组框_出题区.height << " high";
  resize(5, 660);
  EXPECT_EQ(geometry().window_width, app::kMainMinimumWidth);
}

TEST_F(LayoutWindowTest, MaximisingAndRestoringAreTwoChangesOfSize) {
  const LayoutGeometry before = geometry();
  ShowWindow(main(), SW_MAXIMIZE);
  const LayoutGeometry maximised = geometry();
  ASSERT_GT(maximised.window_width, 800);
  expect_same_boxes(one_pass_from(before), maximised);
  ShowWindow(main(), SW_RESTORE);
  expect_same_boxes(one_pass_from(maximised), geometry());
}

TEST_F(LayoutWindowTest, ASizeMessageWithoutAChangeMovesNothing) {
  const LayoutGeometry before = geometry();
  RECT client;
  GetClientRect(main(), &client);
  SendMessageW(main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  expect_same_boxes(before, geometry());
}

}  // namespace
}  // namespace quadrivo
