// The bytes of one activity-log entry: timestamp, kind label, message, CR LF, CR LF, and for the
// Exit kind the separator line after it. Portable: the DLL only adds the file and the clock.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// "    Start    " and the rest, four spaces each side; nullptr for an unlisted kind.
const char* kind_label(int kind);

// "2024年3月5日14时7分9秒"; trailing zero fields are left out, midnight is the date alone.
std::string timestamp_text(const LocalTime& time);

// The whole entry as it is appended to log.txt, or nothing for an unlisted kind.
std::optional<std::string> entry_bytes(std::string_view message, int kind, const LocalTime& time);

}  // namespace quadrivo::log
