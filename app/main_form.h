// The main window's form: every control with its container, place, size, caption and font, and
// the menu bar. The window creates its controls from this table in one loop, and the tests
// compare what they find against the same table.
#pragma once

#include <windows.h>

#include <cstddef>

#include "form.h"
#include "texts.h"

namespace quadrivo::app {

// The main window's controls, by their names on the form. Null until the window has created
// them, and again once it is destroyed.
struct MainControls {
  HWND 分组框_出题区 = nullptr;
  HWND 第一张图片框 = nullptr, 第二张图片框 = nullptr, 第三张图片框 = nullptr, 第四张图片框 = nullptr;
  HWND 标签_第一个数 = nullptr, 标签_第二个数 = nullptr, 标签_第三个数 = nullptr, 标签_第四个数 = nullptr;
  HWND 出题按钮 = nullptr;
  HWND 分组框_答题情况 = nullptr;
  HWND 单选框_第一组 = nullptr, 单选框_第二组 = nullptr, 单选框_第三组 = nullptr;
  HWND 选择框_第二种方法答对 = nullptr, 选择框_第三种方法答对 = nullptr;
  HWND 按钮_确定 = nullptr;
  HWND 标签_第一组 = nullptr, 标签_第二组 = nullptr, 标签_第三组 = nullptr;
  HWND 编辑框_第一组 = nullptr, 编辑框_第二组 = nullptr, 编辑框_第三组 = nullptr;
  HWND 编辑框_答案 = nullptr;
  HWND 按钮_正确答案 = nullptr, 按钮_清空得分 = nullptr;
};

enum class ControlKind {
  kGroupBox,      // a container with a caption in its frame
  kPicture,       // a card picture, centred in its box
  kNumberLabel,   // a dealt rank, centred
  kScoreLabel,    // a group's name above its score
  kButton,
  kRadioButton,   // the three form one group: checking one unchecks the others
  kCheckBox,
  kScoreBox,      // one line, centred, red on white
  kAnswerBox,     // several lines, both scroll bars, black on white
};

struct FormControl {
  const char* name;  // GBK, for messages
  HWND MainControls::*handle;
  HWND MainControls::*container;  // nullptr: the main window's client area
  ControlKind kind;
  int left, top, width, height;  // in the container's client coordinates
  const char* caption;           // GBK; nullptr: empty
  FontSpec font;                 // height 0: no font of its own
  int id;                        // the control id its notifications carry
};

inline constexpr const char* kDefaultFace = nullptr;
inline constexpr FontSpec kNoFont{nullptr, 0};

// Control ids start well above IDOK and IDCANCEL: Enter and Escape in the window's controls
// make the dialog keyboard handling send those two, and no control must answer them.
enum ControlId : int {
  kIdCardArea = 1001,
  kIdFirstPicture, kIdSecondPicture, kIdThirdPicture, kIdFourthPicture,
  kIdFirstNumber, kIdSecondNumber, kIdThirdNumber, kIdFourthNumber,
  kIdDealButton,
  kIdJudgingBox,
  kIdGroupOneRadio, kIdGroupTwoRadio, kIdGroupThreeRadio,
  kIdSecondMethodCheck, kIdThirdMethodCheck,
  kIdAwardButton,
  kIdGroupOneLabel, kIdGroupTwoLabel, kIdGroupThreeLabel,
  kIdGroupOneScore, kIdGroupTwoScore, kIdGroupThreeScore,
  kIdAnswerBox,
  kIdShowAnswerButton, kIdClearScoresButton,
};

namespace main_form {
using C = MainControls;
inline constexpr FormControl kControls[] = {
    {"分组框_出题区", &C::分组框_出题区, nullptr, ControlKind::kGroupBox, 8, 7, 780, 343, texts::kCardArea, {texts::kSongTypeface, 16}, kIdCardArea},
    {"第一张图片框", &C::第一张图片框, nullptr, ControlKind::kPicture, 16, 23, 150, 200, nullptr, kNoFont, kIdFirstPicture},
    {"第二张图片框", &C::第二张图片框, nullptr, ControlKind::kPicture, 211, 23, 150, 200, nullptr, kNoFont, kIdSecondPicture},
    {"第三张图片框", &C::第三张图片框, nullptr, ControlKind::kPicture, 406, 23, 150, 200, nullptr, kNoFont, kIdThirdPicture},
    {"第四张图片框", &C::第四张图片框, nullptr, ControlKind::kPicture, 602, 23, 150, 200, nullptr, kNoFont, kIdFourthPicture},
    {"标签_第一个数", &C::标签_第一个数, nullptr, ControlKind::kNumberLabel, 13, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdFirstNumber},
    {"标签_第二个数", &C::标签_第二个数, nullptr, ControlKind::kNumberLabel, 209, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdSecondNumber},
    {"标签_第三个数", &C::标签_第三个数, nullptr, ControlKind::kNumberLabel, 404, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdThirdNumber},
    {"标签_第四个数", &C::标签_第四个数, nullptr, ControlKind::kNumberLabel, 601, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdFourthNumber},
    {"出题按钮", &C::出题按钮, nullptr, ControlKind::kButton, 27, 285, 99, 50, texts::kDeal, {texts::kSongTypeface, 29}, kIdDealButton},
    {"分组框_答题情况", &C::分组框_答题情况, &C::分组框_出题区, ControlKind::kGroupBox, 134, 263, 641, 70, texts::kJudgingBox, {texts::kSongTypeface, 16}, kIdJudgingBox},
    {"单选框_第一组", &C::单选框_第一组, &C::分组框_答题情况, ControlKind::kRadioButton, 34, 16, 157, 32, texts::kGroupOne, {kDefaultFace, 16}, kIdGroupOneRadio},
    {"单选框_第二组", &C::单选框_第二组, &C::分组框_答题情况, ControlKind::kRadioButton, 188, 16, 151, 32, texts::kGroupTwo, {kDefaultFace, 16}, kIdGroupTwoRadio},
    {"单选框_第三组", &C::单选框_第三组, &C::分组框_答题情况, ControlKind::kRadioButton, 358, 15, 118, 32, texts::kGroupThree, {kDefaultFace, 16}, kIdGroupThreeRadio},
    {"选择框_第二种方法答对", &C::选择框_第二种方法答对, &C::分组框_答题情况, ControlKind::kCheckBox, 115, 39, 134, 29, texts::kSecondMethod, {kDefaultFace, 16}, kIdSecondMethodCheck},
    {"选择框_第三种方法答对", &C::选择框_第三种方法答对, &C::分组框_答题情况, ControlKind::kCheckBox, 309, 39, 134, 29, texts::kThirdMethod, {kDefaultFace, 16}, kIdThirdMethodCheck},
    {"按钮_确定", &C::按钮_确定, &C::分组框_答题情况, ControlKind::kButton, 513, 17, 104, 40, texts::kConfirm, {texts::kSongTypeface, 29}, kIdAwardButton},
    {"标签_第一组", &C::标签_第一组, nullptr, ControlKind::kScoreLabel, 40, 373, 64, 32, texts::kGroupOne, {texts::kSongTypeface, 19, true}, kIdGroupOneLabel},
    {"标签_第二组", &C::标签_第二组, nullptr, ControlKind::kScoreLabel, 168, 373, 64, 32, texts::kGroupTwo, {texts::kSongTypeface, 19, true}, kIdGroupTwoLabel},
    {"标签_第三组", &C::标签_第三组, nullptr, ControlKind::kScoreLabel, 277, 373, 64, 32, texts::kGroupThree, {texts::kSongTypeface, 19, true}, kIdGroupThreeLabel},
    {"编辑框_第一组", &C::编辑框_第一组, nullptr, ControlKind::kScoreBox, 24, 416, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupOneScore},
    {"编辑框_第二组", &C::编辑框_第二组, nullptr, ControlKind::kScoreBox, 145, 414, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupTwoScore},
    {"编辑框_第三组", &C::编辑框_第三组, nullptr, ControlKind::kScoreBox, 266, 413, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupThreeScore},
    {"编辑框_答案", &C::编辑框_答案, nullptr, ControlKind::kAnswerBox, 392, 360, 394, 239, nullptr, {texts::kSongTypeface, 19}, kIdAnswerBox},
    {"按钮_正确答案", &C::按钮_正确答案, nullptr, ControlKind::kButton, 8, 533, 375, 30, texts::kShowAnswer, {kDefaultFace, 16}, kIdShowAnswerButton},
    {"按钮_清空得分", &C::按钮_清空得分, nullptr, ControlKind::kButton, 8, 573, 375, 30, texts::kClearScores, {kDefaultFace, 16}, kIdClearScoresButton},
};
}  // namespace main_form
inline constexpr const auto& kMainForm = main_form::kControls;

// The main window itself.
inline constexpr int kMainLeft = 50, kMainTop = 50, kMainWidth = 800, kMainHeight = 660;

// Menu commands.
enum MenuCommand : int {
  kCommandCheckUpdate = 40001,
  kCommandExit,
  kCommandHelpDocument,
  kCommandAbout,
};

// An entry with the caption "-" is a separator.
inline constexpr const char* kSeparator = "-";
struct MenuEntry {
  const char* caption;  // GBK
  int command;
};
struct MenuDefinition {
  const char* caption;
  const MenuEntry* entries;
  std::size_t count;
};

inline constexpr MenuEntry kFileMenuEntries[] = {
    {texts::kCheckUpdate, kCommandCheckUpdate},
    {kSeparator, 0},
    {texts::kExit, kCommandExit},
};
inline constexpr MenuEntry kHelpMenuEntries[] = {
    {texts::kHelpDocument, kCommandHelpDocument},
    {texts::kAbout, kCommandAbout},
};
inline constexpr MenuDefinition kMainMenu[] = {
    {texts::kFileMenu, kFileMenuEntries, std::size(kFileMenuEntries)},
    {texts::kHelpMenu, kHelpMenuEntries, std::size(kHelpMenuEntries)},
};

}  // namespace quadrivo::app
