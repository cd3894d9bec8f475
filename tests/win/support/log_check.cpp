#include "tests/win/support/log_check.h"

#include <gtest/gtest.h>

#include "common/gbk_utf8.h"
#include "modules/log/log_entry.h"
#include "tests/win/support/test_support.h"

namespace quadrivo::test {
namespace {

log::LocalTime local_time(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}; }

// Every whole second from before to after, as the log stamps them.
std::vector<log::LocalTime> seconds_between(SYSTEMTIME before, const SYSTEMTIME& after) {
  before.wMilliseconds = 0;
  FILETIME from, to;
  SystemTimeToFileTime(&before, &from);
  SystemTimeToFileTime(&after, &to);
  ULARGE_INTEGER at{{from.dwLowDateTime, from.dwHighDateTime}};
  const ULARGE_INTEGER end{{to.dwLowDateTime, to.dwHighDateTime}};
  std::vector<log::LocalTime> seconds;
  for (; at.QuadPart <= end.QuadPart; at.QuadPart += 10'000'000ULL) {
    const FILETIME file{at.LowPart, at.HighPart};
    SYSTEMTIME t;
    FileTimeToSystemTime(&file, &t);
    seconds.push_back(local_time(t));
  }
  return seconds;
}

}  // namespace

SYSTEMTIME local_now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t;
}

void expect_log(const std::wstring& path, const std::vector<ExpectedEntry>& entries, const SYSTEMTIME& before,
                const SYSTEMTIME& after) {
  const auto bytes = read_file_bytes(path);
  ASSERT_TRUE(bytes.has_value()) << "no log.txt";
  const auto stamps = seconds_between(before, after);
  std::size_t at = 0;
  for (const auto& e : entries) {
    bool matched = false;
    for (const auto& stamp : stamps) {
      const std::string expected = *log::entry_bytes(e.message, e.kind, stamp);
      if (bytes->compare(at, expected.size(), expected) == 0) {
        at += expected.size();
        matched = true;
        break;
      }
    }
    ASSERT_TRUE(matched) << "entry of kind " << e.kind << " at byte " << at << ": "
                         << gbk_to_utf8(bytes->substr(at, 120));
  }
  EXPECT_EQ(at, bytes->size()) << "more after the last entry: " << gbk_to_utf8(bytes->substr(at, 120));
}

}  // namespace quadrivo::test
