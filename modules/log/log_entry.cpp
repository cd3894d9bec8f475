#include "modules/log/log_entry.h"

namespace quadrivo::log {

std::string timestamp_text(const LocalTime& time) {
  char text[kTimestampCapacity];
  return std::string(text, put_timestamp(text, time));
}

std::optional<std::string> entry_bytes(std::string_view message, int kind, const LocalTime& time) {
  if (kind_label(kind) == nullptr) return std::nullopt;
  std::string entry(message.size() + kEntryOverhead, '\0');
  entry.resize(put_entry(entry.data(), message.data(), message.size(), kind, time));
  return entry;
}

}  // namespace quadrivo::log
