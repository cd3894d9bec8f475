#include "modules/update/update_rules.h"

#include <cmath>
#include <limits>

#include "common/gbk.h"
#include "common/numbers.h"

namespace quadrivo::update {
namespace {

// Versions closer than this count as the same, so a rounding remnant never offers the installed
// version again.
constexpr double kSameVersionTolerance = 1e-7;

constexpr double kBytesPerKilobyte = 1024.0;
constexpr double kPercentScale = 100.0;
constexpr std::int32_t kLowestPercent = 0;
constexpr std::int32_t kHighestPercent = 100;

// Characters Windows forbids in a file name, or that would name another directory or drive.
constexpr std::string_view kForbiddenInFileName = "\\/:<>\"|?*";

constexpr std::string_view kHttpScheme = "http://";
constexpr std::string_view kHttpsScheme = "https://";

bool is_control(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (ascii_lower(text[i]) != ascii_lower(prefix[i])) return false;
  }
  return true;
}

// The installed version as the log shows it. A finite double beyond the single-precision range
// becomes infinity here rather than through an out-of-range conversion, which C++ leaves undefined.
float to_single(double value) {
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
    return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

}  // namespace

bool is_up_to_date(std::string_view installed_text, std::string_view offered_text) {
  const double installed = text_to_number(installed_text);
  const double offered = text_to_number(offered_text);
  return installed - offered >= -kSameVersionTolerance;
}

std::string old_new_version_log_text(std::string_view installed_text, std::string_view new_version_text) {
  std::string text = kLogOldVersion;
  text += single_to_text(to_single(text_to_number(installed_text)));
  text += kLogNewVersion;
  text += loggable_server_text(new_version_text);
  return text;
}

bool is_acceptable_version_text(std::string_view version_text) {
  if (version_text.empty() || version_text.size() > kVersionTextLimit) return false;
  // "." (0x2E) is never a GBK trail byte, so a byte search finds only real dots.
  if (version_text.find("..") != std::string_view::npos) return false;
  for (std::size_t i = 0; i < version_text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(version_text[i]);
    if (is_gbk_lead(byte)) {
      if (i + 1 >= version_text.size() || !is_gbk_trail(static_cast<unsigned char>(version_text[i + 1]))) {
        return false;
      }
      ++i;  // the trail byte belongs to the character, whatever ASCII byte it equals
      continue;
    }
    if (byte >= 0x80) return false;  // 0x80 and 0xFF start no GBK character
    if (is_control(byte)) return false;
    if (kForbiddenInFileName.find(static_cast<char>(byte)) != std::string_view::npos) return false;
  }
  return true;
}

bool is_acceptable_download_address(std::string_view address) {
  for (const char c : address) {
    if (is_control(static_cast<unsigned char>(c)) || c == ' ') return false;
  }
  std::size_t rest;
  if (starts_with_ignoring_case(address, kHttpScheme)) {
    rest = kHttpScheme.size();
  } else if (starts_with_ignoring_case(address, kHttpsScheme)) {
    rest = kHttpsScheme.size();
  } else {
    return false;
  }
  std::string_view authority = address.substr(rest);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  // "[::1]:8080" keeps its colons inside the brackets; otherwise the host ends at the port.
  const std::string_view host =
      authority.starts_with('[') ? authority.substr(0, authority.find(']') + 1) : authority.substr(0, authority.find(':'));
  return !host.empty() && host != "[" && host != "[]";
}

Refusal download_refusal(std::string_view version_text, std::string_view address) {
  if (!is_acceptable_version_text(version_text)) return Refusal::kBadVersionText;
  if (!is_acceptable_download_address(address)) return Refusal::kBadDownloadAddress;
  return Refusal::kNone;
}

const Notice* refusal_notice(Refusal refusal) {
  switch (refusal) {
    case Refusal::kBadVersionText: return &kBadVersionNotice;
    case Refusal::kBadDownloadAddress: return &kBadAddressNotice;
    case Refusal::kNone: break;
  }
  return nullptr;
}

std::string save_file_suffix(std::string_view version_text) {
  std::string suffix = kSaveFilePrefix;
  suffix += version_text;
  suffix += kSaveFileExtension;
  return suffix;
}

std::string kilobyte_text(std::int32_t bytes) {
  // Through a whole number first: a negative count under 1 KB gives "0", never "-0".
  return double_to_text(real_to_whole(static_cast<double>(bytes) / kBytesPerKilobyte));
}

std::int32_t download_percent(std::int32_t received_bytes, std::int32_t file_size) {
  if (file_size == 0) return 0;  // the quotient would not be finite
  const std::int32_t percent =
      real_to_whole(static_cast<double>(received_bytes) / static_cast<double>(file_size) * kPercentScale);
  return percent < kLowestPercent ? kLowestPercent : percent > kHighestPercent ? kHighestPercent : percent;
}

ProgressCaptions progress_captions(std::int32_t speed_bytes, std::int32_t received_bytes,
                                   std::int32_t file_size) {
  ProgressCaptions captions;
  captions.speed = std::string(kSpeedLabel) + kilobyte_text(speed_bytes) + kKilobyteUnit;
  captions.received = std::string(kReceivedLabel) + kilobyte_text(received_bytes) + kKilobyteUnit;
  captions.total = std::string(kTotalLabel) + kilobyte_text(file_size) + kKilobyteUnit;
  captions.percent = download_percent(received_bytes, file_size);
  captions.percent_caption = std::string(kPercentLabel) + int_to_text(captions.percent) + kPercentSign;
  return captions;
}

ProgressCaptions progress_captions_without_total(std::int32_t speed_bytes, std::int32_t received_bytes) {
  ProgressCaptions captions = progress_captions(speed_bytes, received_bytes, 0);
  captions.total = std::string(kTotalLabel) + kUnknownTotal;
  return captions;
}

ProgressCaptions completed_captions(std::int32_t size) {
  ProgressCaptions captions = progress_captions(0, size, size);
  captions.percent = kHighestPercent;  // an empty file, too, is all there is
  captions.percent_caption = std::string(kPercentLabel) + int_to_text(captions.percent) + kPercentSign;
  return captions;
}

std::string loggable_server_text(std::string_view text) {
  std::string loggable;
  loggable.reserve(text.size() < kLoggedServerTextLimit ? text.size() : kLoggedServerTextLimit);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // A trail byte is never a control byte: a lead byte before one stands alone.
    const bool pair = is_gbk_lead(byte) && i + 1 < text.size() && is_gbk_trail(static_cast<unsigned char>(text[i + 1]));
    const std::size_t length = pair ? 2 : 1;
    if (loggable.size() + length > kLoggedServerTextLimit) break;
    if (pair) {
      loggable.append(text.substr(i, 2));
      ++i;
    } else {
      loggable += is_control(byte) ? ' ' : static_cast<char>(byte);
    }
  }
  return loggable;
}

}  // namespace quadrivo::update
