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
inline constexpr char kPercentCaptionAtStart[] = "进度：0%";

// Pieces of the captions a progress tick writes.
inline constexpr char kSpeedLabel[] = "速度：";
inline constexpr char kReceivedLabel[] = "已下载：";
inline constexpr char kTotalLabel[] = "总大小：";
inline constexpr char kPercentLabel[] = "进度：";
inline constexpr char kKilobyteUnit[] = "KB";
inline constexpr char kPercentSign[] = "%";
// In place of the size while the server has announced none.
inline constexpr char kUnknownTotal[] = "未知";

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
inline constexpr char kNoValidSignatureText[] = "服务器上的更新没有有效的签名";
inline constexpr char kSignatureMismatchText[] = "下载的文件未通过签名校验，已删除";
inline constexpr char kCannotSaveText[] = "无法保存下载的文件";
inline constexpr char kTransferStillRunningText[] = "上一次的下载还没有结束，请稍后再试";
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
