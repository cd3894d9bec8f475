// The main window's form: every control with its container, place, size, caption and font, and
// the menu bar. The window creates its controls from this table in one loop, and the tests
// compare what they find against the same table.
#pragma once

#include <windows.h>

#include <cstddef>

#include "app/engine/texts.h"
#include "common/win/form.h"

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

using FormControl = win::FormControl<MainControls>;
using win::FontSpec;
using win::kDefaultFace;
using win::kNoFont;

// The kinds of control of the main form. Siblings clip each other: the card area lies under the
// pictures, labels and the deal button.
namespace main_kinds {
inline constexpr DWORD kChild = WS_CLIPSIBLINGS;
// A container with a caption in its frame.
inline constexpr win::ControlKind kGroupBox{L"BUTTON", kChild | WS_GROUP | WS_CLIPCHILDREN | BS_GROUPBOX,
                                            WS_EX_CONTROLPARENT, win::kContainer};
// A card picture; SS_CENTERIMAGE keeps the box at its size and centres the slightly smaller card.
inline constexpr win::ControlKind kPicture{L"STATIC", kChild | SS_BITMAP | SS_CENTERIMAGE, 0, 0};
// A dealt rank, or a group's name above its score; centred.
inline constexpr win::ControlKind kLabel{L"STATIC", kChild | SS_CENTER, 0, 0};
inline constexpr win::ControlKind kButton{L"BUTTON", kChild | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0, 0};
// The three form one group: checking one unchecks the others. The first opens the group.
inline constexpr win::ControlKind kRadioButton{L"BUTTON", kChild | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 0};
inline constexpr win::ControlKind kCheckBox{L"BUTTON", kChild | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0};
// One line, centred, red on white.
inline constexpr win::ControlKind kScoreBox{L"EDIT", kChild | WS_GROUP | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
                                            WS_EX_CLIENTEDGE, win::kUnlimitedText};
// Several lines, both scroll bars, black on white; Tab leaves it.
inline constexpr win::ControlKind kAnswerBox{
    L"EDIT",
    kChild | WS_GROUP | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL |
        ES_AUTOHSCROLL | ES_WANTRETURN,
    WS_EX_CLIENTEDGE, win::kUnlimitedText | win::kPassesTab};
}  // namespace main_kinds

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
using namespace main_kinds;
inline constexpr FormControl kControls[] = {
    {"分组框_出题区", &C::分组框_出题区, nullptr, &kGroupBox, 8, 7, 780, 343, texts::kCardArea, {texts::kSongTypeface, 16}, kIdCardArea},
    {"第一张图片框", &C::第一张图片框, nullptr, &kPicture, 16, 23, 150, 200, nullptr, kNoFont, kIdFirstPicture},
    {"第二张图片框", &C::第二张图片框, nullptr, &kPicture, 211, 23, 150, 200, nullptr, kNoFont, kIdSecondPicture},
    {"第三张图片框", &C::第三张图片框, nullptr, &kPicture, 406, 23, 150, 200, nullptr, kNoFont, kIdThirdPicture},
    {"第四张图片框", &C::第四张图片框, nullptr, &kPicture, 602, 23, 150, 200, nullptr, kNoFont, kIdFourthPicture},
    {"标签_第一个数", &C::标签_第一个数, nullptr, &kLabel, 13, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdFirstNumber},
    {"标签_第二个数", &C::标签_第二个数, nullptr, &kLabel, 209, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdSecondNumber},
    {"标签_第三个数", &C::标签_第三个数, nullptr, &kLabel, 404, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdThirdNumber},
    {"标签_第四个数", &C::标签_第四个数, nullptr, &kLabel, 601, 233, 150, 35, nullptr, {texts::kSongTypeface, 29}, kIdFourthNumber},
    {"出题按钮", &C::出题按钮, nullptr, &kButton, 27, 285, 99, 50, texts::kDeal, {texts::kSongTypeface, 29}, kIdDealButton},
    {"分组框_答题情况", &C::分组框_答题情况, &C::分组框_出题区, &kGroupBox, 134, 263, 641, 70, texts::kJudgingBox, {texts::kSongTypeface, 16}, kIdJudgingBox},
    {"单选框_第一组", &C::单选框_第一组, &C::分组框_答题情况, &kRadioButton, 34, 16, 157, 32, texts::kGroupOne, {kDefaultFace, 16}, kIdGroupOneRadio, WS_GROUP},
    {"单选框_第二组", &C::单选框_第二组, &C::分组框_答题情况, &kRadioButton, 188, 16, 151, 32, texts::kGroupTwo, {kDefaultFace, 16}, kIdGroupTwoRadio},
    {"单选框_第三组", &C::单选框_第三组, &C::分组框_答题情况, &kRadioButton, 358, 15, 118, 32, texts::kGroupThree, {kDefaultFace, 16}, kIdGroupThreeRadio},
    {"选择框_第二种方法答对", &C::选择框_第二种方法答对, &C::分组框_答题情况, &kCheckBox, 115, 39, 134, 29, texts::kSecondMethod, {kDefaultFace, 16}, kIdSecondMethodCheck},
    {"选择框_第三种方法答对", &C::选择框_第三种方法答对, &C::分组框_答题情况, &kCheckBox, 309, 39, 134, 29, texts::kThirdMethod, {kDefaultFace, 16}, kIdThirdMethodCheck},
    {"按钮_确定", &C::按钮_确定, &C::分组框_答题情况, &kButton, 513, 17, 104, 40, texts::kConfirm, {texts::kSongTypeface, 29}, kIdAwardButton},
    {"标签_第一组", &C::标签_第一组, nullptr, &kLabel, 40, 373, 64, 32, texts::kGroupOne, {texts::kSongTypeface, 19, true}, kIdGroupOneLabel},
    {"标签_第二组", &C::标签_第二组, nullptr, &kLabel, 168, 373, 64, 32, texts::kGroupTwo, {texts::kSongTypeface, 19, true}, kIdGroupTwoLabel},
    {"标签_第三组", &C::标签_第三组, nullptr, &kLabel, 277, 373, 64, 32, texts::kGroupThree, {texts::kSongTypeface, 19, true}, kIdGroupThreeLabel},
    {"编辑框_第一组", &C::编辑框_第一组, nullptr, &kScoreBox, 24, 416, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupOneScore},
    {"编辑框_第二组", &C::编辑框_第二组, nullptr, &kScoreBox, 145, 414, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupTwoScore},
    {"编辑框_第三组", &C::编辑框_第三组, nullptr, &kScoreBox, 266, 413, 100, 100, nullptr, {texts::kSongTypeface, 48}, kIdGroupThreeScore},
    {"编辑框_答案", &C::编辑框_答案, nullptr, &kAnswerBox, 392, 360, 394, 239, nullptr, {texts::kSongTypeface, 19}, kIdAnswerBox},
    {"按钮_正确答案", &C::按钮_正确答案, nullptr, &kButton, 8, 533, 375, 30, texts::kShowAnswer, {kDefaultFace, 16}, kIdShowAnswerButton},
    {"按钮_清空得分", &C::按钮_清空得分, nullptr, &kButton, 8, 573, 375, 30, texts::kClearScores, {kDefaultFace, 16}, kIdClearScoresButton},
};
}  // namespace main_form
inline constexpr const auto& kMainForm = main_form::kControls;

// The main window itself.
inline constexpr int kMainLeft = 50, kMainTop = 50, kMainWidth = 800, kMainHeight = 660;
// The smallest outer size the window can be given (its minimum tracking size). The card area's
// height is computed from its own, so passes at a small size drag it down and one pass at the
// form's size brings it only part of the way back. Kept at 480 high and above, the card area keeps
// the answer box clear of the number labels however often the window is shrunk and enlarged
// again: passes at 480 settle it at 28 x 480 / 54 = 248, one pass at 660 makes that 256, and the
// answer box then starts at 7 + 256 + 5 = 268, where the labels end.
inline constexpr int kMainMinimumWidth = 640, kMainMinimumHeight = 480;

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
