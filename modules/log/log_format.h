// The bytes of one activity-log entry: timestamp, kind label, message, CR LF, CR LF, and for the
// Exit kind the separator line after it. Formed in a buffer the caller provides, with nothing but
// the language: Scribbet.dll, which runs without a C or C++ runtime, forms its entries with this
// very code, and so does the portable entry_bytes() the native tests check.
#pragma once

#include <cstddef>

#include "common/log_kinds.h"

namespace quadrivo::log {

struct LocalTime {
  int year;
  int month;  // 1..12
  int day;
  int hour;  // 0..23
  int minute;
  int second;
};

// Room for any timestamp: six fields of at most 11 characters ("-2147483648") and six GBK words.
inline constexpr std::size_t kTimestampCapacity = 96;
inline constexpr std::size_t kSeparatorLength = 67;
// Room for an entry besides its message: timestamp, the longest label, two line ends, separator.
inline constexpr std::size_t kEntryOverhead = kTimestampCapacity + 32 + 4 + kSeparatorLength + 4;

// "    Start    " and the rest, four spaces each side; nullptr for an unlisted kind.
constexpr const char* kind_label(int kind) {
  switch (kind) {
    case kStart: return "    Start    ";
    case kQuestion: return "    Question    ";
    case kAnswer: return "    Answer    ";
    case kUpdate: return "    Update    ";
    case kScore: return "    Socore    ";
    case kExit: return "    Exit    ";
    case kError: return "    Error    ";
    case kOther: return "    Other    ";
    case kHelp: return "    Help    ";
    default: return nullptr;
  }
}

namespace format_detail {

inline char* put_text(char* out, const char* text) {
  while (*text) *out++ = *text++;
  return out;
}

// "%d": plain decimal, "-" for negatives, the most negative value included.
inline char* put_int(char* out, int value) {
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  if (value < 0) *out++ = '-';
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

inline char* put_field(char* out, int value, const char* unit) { return put_text(put_int(out, value), unit); }

}  // namespace format_detail

// "2024年3月5日14时7分9秒"; trailing zero fields are left out, midnight is the date alone. Writes at
// most kTimestampCapacity bytes and returns the end of what it wrote.
inline char* put_timestamp(char* out, const LocalTime& time) {
  using format_detail::put_field;
  out = put_field(out, time.year, "年");
  out = put_field(out, time.month, "月");
  out = put_field(out, time.day, "日");
  if (time.hour != 0 || time.minute != 0 || time.second != 0) out = put_field(out, time.hour, "时");
  if (time.minute != 0 || time.second != 0) out = put_field(out, time.minute, "分");
  if (time.second != 0) out = put_field(out, time.second, "秒");
  return out;
}

// Writes the whole entry as it is appended to log.txt into out, which has room for
// message_length + kEntryOverhead bytes, and returns its length; 0 for an unlisted kind, for which
// nothing is written.
inline std::size_t put_entry(char* out, const char* message, std::size_t message_length, int kind,
                             const LocalTime& time) {
  using format_detail::put_text;
  const char* label = kind_label(kind);
  if (label == nullptr) return 0;
  char* const start = out;
  out = put_text(put_timestamp(out, time), label);
  for (std::size_t i = 0; i < message_length; ++i) *out++ = message[i];
  out = put_text(out, "\r\n\r\n");
  if (kind == kExit) {
    for (std::size_t i = 0; i < kSeparatorLength; ++i) *out++ = '-';
    out = put_text(out, "\r\n\r\n");
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace quadrivo::log
