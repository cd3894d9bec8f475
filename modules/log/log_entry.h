// The activity-log entry as the portable code and the tests handle it: the bytes of
// log_format.h in a std::string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modules/log/log_format.h"

namespace quadrivo::log {

// "2024年3月5日14时7分9秒"; trailing zero fields are left out, midnight is the date alone.
std::string timestamp_text(const LocalTime& time);

// The whole entry as it is appended to log.txt, or nothing for an unlisted kind.
std::optional<std::string> entry_bytes(std::string_view message, int kind, const LocalTime& time);

}  // namespace quadrivo::log
