// Every text the trainer shows or logs, in one place. Narrow literals are compiled to GBK, so
// each of these is already the byte string the controls, message boxes and log entries carry;
// kAllTexts lets a test check that every one of them is valid code page 936.
// Portable: no Windows header. Window class names and file names stay with their code.
#pragma once

#include <string_view>

#include "common/version.h"

namespace quadrivo::texts {

// Main window caption and the credit appended after three blanks.
inline constexpr const char* kMainCaption = "Quadrivo";
inline constexpr const char* kCaptionGap = "   ";
inline constexpr const char* kCredit = "作者：Quadrivo 开发组";

// Captions of the form's controls.
inline constexpr const char* kCardArea = "出题区";
inline constexpr const char* kJudgingBox = "正确判定";
inline constexpr const char* kGroupOne = "第一组";
inline constexpr const char* kGroupTwo = "第二组";
inline constexpr const char* kGroupThree = "第三组";
inline constexpr const char* kSecondMethod = "第二种方法答对";
inline constexpr const char* kThirdMethod = "第三种方法答对";
inline constexpr const char* kConfirm = "确定";
inline constexpr const char* kDeal = "出题";
inline constexpr const char* kNextDeal = "下一题";
inline constexpr const char* kShowAnswer = "正确答案";
inline constexpr const char* kClearScores = "清空得分";
inline constexpr const char* kZeroScore = "0";

// Font faces; nullptr in a font table means the default face of the GB2312 character set.
inline constexpr const char* kSongTypeface = "宋体";

// Menu bar.
inline constexpr const char* kFileMenu = "文件";
inline constexpr const char* kCheckUpdate = "检查更新";
inline constexpr const char* kExit = "退出";
inline constexpr const char* kHelpMenu = "帮助";
inline constexpr const char* kHelpDocument = "帮助文档";
inline constexpr const char* kAbout = "关于Quadrivo";

// Lifecycle log messages.
inline constexpr const char* kStartMessage = "Start";
inline constexpr const char* kStopMessage = "Stop";

// Dealing.
inline constexpr const char* kQuestionGap = "    ";
inline constexpr const char* kQuestionSeparator = "、";

// Showing the answer.
inline constexpr const char* kNotDealtYet = "还没有出题哦!";
inline constexpr const char* kDealPromptTitle = "出题提示";
inline constexpr const char* kAnswerCaptionHead = "速算Cardomi  本题共有";
inline constexpr const char* kAnswerCaptionTail = "种算法";
inline constexpr const char* kNoSolution = "本题无解";
inline constexpr const char* kListingHead = "共有";
inline constexpr const char* kListingHeadTail = "种算法 \r\n";
inline constexpr const char* kLineBreak = "\r\n";

// Group scoring.
inline constexpr const char* kNobodyCanScore = "还没有出题呢,怎么会有人得分?";
inline constexpr const char* kChooseGroup = "哪一组算正确了呢?请你选择好哦";
inline constexpr const char* kScorePromptTitle = "得分提示";
inline constexpr const char* kBothMethods = "出错了，【第一种方法】和【第二种方法】不能同时选中哦~";
inline constexpr const char* kErrorPromptTitle = "出错提示";
inline constexpr const char* kCongratulationsTitle = "恭喜";
// [points case][group]: first method (3 points), second (2), third (1); groups one to three.
inline constexpr const char* kAwardMessages[3][3] = {
    {"恭喜第一组得三分", "恭喜第二组得三分", "恭喜第三组得三分"},
    {"恭喜第一组再得二分", "恭喜第二组再得二分", "恭喜第三组再得二分"},
    {"恭喜第一组再得一分", "恭喜第二组再得一分", "恭喜第三组再得一分"},
};
inline constexpr const char* kScoresCleared = "Empty score";

// Companion modules and the help command.
inline constexpr const char* kModuleMissing = "未找到关键dll文件";
inline constexpr const char* kErrorTitle = "错误提示";
inline constexpr const char* kHelpMissing = "未找到帮助文件";
inline constexpr const char* kHelpViewer = "hh.exe ";
inline constexpr const char* kHelpFileOnCommandLine = "\\help.chm";
inline constexpr const char* kStackUnbalanced =
    "调用动态链接库“Scribbet.dll”中的函数“Scribbet”后堆栈不平衡，程序将退出。";
inline constexpr const char* kFatalTitle = "致命错误";
inline constexpr const char* kMainWindowFailed = "无法创建主窗口，程序将退出。";

// About window.
inline constexpr const char* kAboutCaption = "关于 Quadrivo";
inline constexpr const char* kAboutText =
    "Quadrivo V" QUADRIVO_PRODUCT_VERSION_TEXT "\r\n"
    "\r\n"
    "版本" QUADRIVO_RELEASE_TEXT "（内部版本号 " QUADRIVO_FILE_VERSION_TEXT "） \r\n"
    "\r\n"
    "版权所有 (C) Quadrivo 开发组\r\n"
    "联系：quadrivo@example.org\r\n"
    "主页：http://quadrivo.example.org";
inline constexpr const char* kLicenceLink = "最终用户协议";

inline constexpr const char* kAllTexts[] = {
    kMainCaption, kCaptionGap, kCredit, kCardArea, kJudgingBox, kGroupOne, kGroupTwo, kGroupThree,
    kSecondMethod, kThirdMethod, kConfirm, kDeal, kNextDeal, kShowAnswer, kClearScores, kZeroScore,
    kSongTypeface, kFileMenu, kCheckUpdate, kExit, kHelpMenu, kHelpDocument, kAbout, kStartMessage,
    kStopMessage, kQuestionGap, kQuestionSeparator, kNotDealtYet, kDealPromptTitle, kAnswerCaptionHead,
    kAnswerCaptionTail, kNoSolution, kListingHead, kListingHeadTail, kLineBreak, kNobodyCanScore,
    kChooseGroup, kScorePromptTitle, kBothMethods, kErrorPromptTitle, kCongratulationsTitle,
    kAwardMessages[0][0], kAwardMessages[0][1], kAwardMessages[0][2], kAwardMessages[1][0],
    kAwardMessages[1][1], kAwardMessages[1][2], kAwardMessages[2][0], kAwardMessages[2][1],
    kAwardMessages[2][2], kScoresCleared, kModuleMissing, kErrorTitle, kHelpMissing, kHelpViewer,
    kHelpFileOnCommandLine, kStackUnbalanced, kFatalTitle, kMainWindowFailed, kAboutCaption, kAboutText,
    kLicenceLink,
};

}  // namespace quadrivo::texts
