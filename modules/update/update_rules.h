// The decisions of the update check and the download progress, as plain functions: the Win32
// window, the HTTP fetch, the XML reader and the downloader read their values, call these and
// show what they return. Portable, so every rule is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "modules/update/update_texts.h"

namespace quadrivo::update {

// Config.ini: the installed version (written after a download) and the address of the update
// description document (only read).
inline constexpr char kVersionSection[] = "currentVersion";
inline constexpr char kVersionKey[] = "Version";
inline constexpr char kUpdateInfoSection[] = "UpdateInfo";
inline constexpr char kUrlKey[] = "Url";

// Queries of the update description document: first and second child of the root "Update".
inline constexpr char kDownloadAddressQuery[] = "Update/@1";
inline constexpr char kVersionQuery[] = "Update/@2";

// What a message box asks for; the Win32 shell gives each kind its Windows style (MB_* constants).
enum class NoticeKind {
  kPlain,           // OK, no icon
  kYesNo,           // Yes and No, no icon
  kError,           // error icon, OK
  kQuestionYesNo,   // question icon, Yes and No
};

// One message box: text, title, kind.
struct Notice {
  const char* text;
  const char* title;
  NoticeKind kind;
};

inline constexpr Notice kUpToDateNotice{kUpToDateText, kUpToDateTitle, NoticeKind::kPlain};
inline constexpr Notice kNewVersionQuestion{kNewVersionText, kNewVersionTitle, NoticeKind::kYesNo};
inline constexpr Notice kRunNowQuestion{kRunNowText, kRunNowTitle, NoticeKind::kQuestionYesNo};
inline constexpr Notice kBadVersionNotice{kBadVersionText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kBadAddressNotice{kBadAddressText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kDownloadFailedNotice{kDownloadFailedText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kNoValidSignatureNotice{kNoValidSignatureText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kSignatureMismatchNotice{kSignatureMismatchText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kCannotSaveNotice{kCannotSaveText, kErrorTitle, NoticeKind::kError};
inline constexpr Notice kTransferStillRunningNotice{kTransferStillRunningText, kErrorTitle, NoticeKind::kError};

// Version comparison ---------------------------------------------------------------------------

// Both texts are read with text_to_number ("1.19beta" is 1.19, full-width digits count, no number
// is 0). Up to date when installed − offered ≥ −1e-7. The installed version is kept as a double:
// narrowed to single precision, an installed 7.7 would lie 1.9e-7 below an offered 7.7 and the
// same version would be offered again. Numeric, so 1.2 is newer than 1.19.
bool is_up_to_date(std::string_view installed_text, std::string_view offered_text);

// The log entry of a check: "Old Version:" + the installed version as a single-precision "%.6g"
// text (1.18 stays "1.18", 2 gives "2", nothing gives "0") + "  New Version:" + the offered text as
// loggable_server_text makes it.
std::string old_new_version_log_text(std::string_view installed_text, std::string_view new_version_text);

// What comes from the server before a download -----------------------------------------------

enum class Refusal { kNone, kBadVersionText, kBadDownloadAddress };

// Longest version text accepted, in bytes.
inline constexpr std::size_t kVersionTextLimit = 64;

// The version text becomes part of a file name in the run directory, so it must not be able to
// name another place or an invalid file: refused when empty, longer than kVersionTextLimit bytes,
// not well-formed GBK (a lone lead byte, a bad trail byte, 0x80 or 0xFF), or holding, as a
// character of its own, "\" "/" ":" "<" ">" "\"" "|" "?" "*", a control character (below 0x20,
// 0x7F) or "..". The bytes 0x5C and 0x7C inside a double-byte character ("誠" is D5 5C) are part
// of that character, not a separator: the name reaches Windows through code page 936. Letters,
// "1.19beta" and full-width digits ("１.１９") are accepted.
bool is_acceptable_version_text(std::string_view version_text);

// The download address must be "http://" or "https://" (scheme in any letter case) followed by a
// host name, and hold no control character and no space. file:, ftp:, bare paths and the empty
// text are refused.
bool is_acceptable_download_address(std::string_view address);

// Both checks, the version text first (it is read, logged and compared before the address is).
Refusal download_refusal(std::string_view version_text, std::string_view address);

// The error box for a refusal: kBadVersionNotice or kBadAddressNotice; nullptr for kNone.
const Notice* refusal_notice(Refusal refusal);

// run directory + save_file_suffix(version text) is where the new version is saved:
// "\Quadrivo V" + the version text exactly as read + ".exe".
std::string save_file_suffix(std::string_view version_text);

// Progress of the download ---------------------------------------------------------------------

// A byte count as whole kilobytes: bytes / 1024 with the fraction dropped toward zero, written
// with double_to_text (1536 gives "1", -1 gives "0").
std::string kilobyte_text(std::int32_t bytes);

// received / file size × 100, fraction dropped toward zero, and always within 0..100: a file size
// of 0 gives 0 (the quotient is not finite), 0 received of a missing file (size -1) gives 0, more
// received than the size gives 100 and a negative quotient 0.
std::int32_t download_percent(std::int32_t received_bytes, std::int32_t file_size);

struct ProgressCaptions {
  std::string speed;            // "速度：" + KB + "KB"
  std::string received;         // "已下载：" + KB + "KB"
  std::string total;            // "总大小：" + KB + "KB"
  std::string percent_caption;  // "进度：" + percent + "%"
  std::int32_t percent;         // also the position of the progress bar
};

// The captions of one progress tick from the downloader's speed and received counts and the size
// of the new version (-1 when there is none).
ProgressCaptions progress_captions(std::int32_t speed_bytes, std::int32_t received_bytes,
                                   std::int32_t file_size);

// The same while the server has announced no length: the total reads "总大小：未知" and the
// percentage stays 0, since neither is known until the transfer ends.
ProgressCaptions progress_captions_without_total(std::int32_t speed_bytes, std::int32_t received_bytes);

// The captions once the whole file of size bytes has arrived: both sizes, "进度：100%", a full bar.
ProgressCaptions completed_captions(std::int32_t size);

// Texts from the server in log.txt ------------------------------------------------------------

// Longest piece of server text written into one log entry, in bytes.
inline constexpr std::size_t kLoggedServerTextLimit = 200;

// A text the server chose (the offered version, the download address), made safe for a log entry:
// every control character (below 0x20, and 0x7F) becomes a blank, so the text cannot start lines
// that read like entries of their own, and it is cut to at most kLoggedServerTextLimit bytes,
// never inside a double-byte character. An ordinary text comes back unchanged.
std::string loggable_server_text(std::string_view text);

}  // namespace quadrivo::update
