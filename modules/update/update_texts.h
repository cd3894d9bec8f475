// Every text the update module shows or logs, in one place: the window and its captions, the
// message boxes, the log entries and the parts of the names it forms. Narrow literals are GBK bytes
// (the sources are compiled with -fexec-charset=GB18030).
#pragma once

namespace quadrivo::update {

// The update window and the captions its labels start with.
inline constexpr char kWindowTitle[] = "在线检测更新";
inline constexpr char kSpeedCaptionAtStart[] = "速度：0000KB";
inline constexpr char kReceivedCaptionAtStart[] = "已下载：0000KB";
inline constexpr char kTotalCaptionAtStart[] = "总大小：0000KB";
// Also the completion signal: a progress tick that writes exactly this caption ends the download.
inline constexpr char kPercentCaptionAtStart[] = "进度：0%";

// Pieces of the captions a progress tick writes.
inline constexpr char kSpeedLabel[] = "速度：";
inline constexpr char kReceivedLabel[] = "已下载：";
inline constexpr char kTotalLabel[] = "总大小：";
inline constexpr char kPercentLabel[] = "进度：";
inline constexpr char kKilobyteUnit[] = "KB";
inline constexpr char kPercentSign[] = "%";

// Message boxes.
inline constexpr char kUpToDateText[] = "您正在使用最新版本程序！";
inline constexpr char kUpToDateTitle[] = "最新版本";
inline constexpr char kNewVersionText[] = "检测到服务器上有新版本";
inline constexpr char kNewVersionTitle[] = "有新版本程序可用";
inline constexpr char kRunNowText[] = "下载完毕！是否马上运行？";
inline constexpr char kRunNowTitle[] = "询问";
inline constexpr char kBadVersionText[] = "服务器上的版本信息有误";
inline constexpr char kBadAddressText[] = "服务器上的下载地址有误";
inline constexpr char kDownloadFailedText[] = "下载失败，请检查网络后重试";
inline constexpr char kErrorTitle[] = "错误提示";

// Log entries (kind Update).
inline constexpr char kLogOldVersion[] = "Old Version:";
inline constexpr char kLogNewVersion[] = "  New Version:";  // two spaces before "New"
inline constexpr char kLogDownloadSucceeded[] = "Download successfully";
inline constexpr char kLogDownloadFailed[] = "Download Error";

// Names, each appended to the run directory.
inline constexpr char kConfigFileSuffix[] = "\\Config.ini";
inline constexpr char kSaveFilePrefix[] = "\\Quadrivo V";
inline constexpr char kSaveFileExtension[] = ".exe";

}  // namespace quadrivo::update
