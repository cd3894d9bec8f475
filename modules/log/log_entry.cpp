#include "modules/log/log_entry.h"

#include <cstdio>

namespace quadrivo::log {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kSeparatorLength = 67;

}  // namespace

const char* kind_label(int kind) {
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

std::string timestamp_text(const LocalTime& time) {
  char text[96];
  int length = std::snprintf(text, sizeof text, "%d年%d月%d日", time.year, time.month, time.day);
  const auto append = [&](const char* format, auto... fields) {
    length += std::snprintf(text + length, sizeof text - length, format, fields...);
  };
  if (time.second != 0) {
    append("%d时%d分%d秒", time.hour, time.minute, time.second);
  } else if (time.minute != 0) {
    append("%d时%d分", time.hour, time.minute);
  } else if (time.hour != 0) {
    append("%d时", time.hour);
  }
  return std::string(text, length);
}

std::optional<std::string> entry_bytes(std::string_view message, int kind, const LocalTime& time) {
  const char* label = kind_label(kind);
  if (label == nullptr) return std::nullopt;
  std::string entry = timestamp_text(time);
  entry += label;
  entry += message;
  entry += kLineEnd;
  entry += kLineEnd;
  if (kind == kExit) {
    entry.append(kSeparatorLength, '-');
    entry += kLineEnd;
    entry += kLineEnd;
  }
  return entry;
}

}  // namespace quadrivo::log
