#include "modules/log/log_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/gbk_utf8.h"

namespace quadrivo::log {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

TEST(Timestamp, LeavesOutTrailingZeroFields) {
  const std::pair<LocalTime, const char8_t*> cases[] = {
      {{2024, 3, 5, 14, 7, 9}, u8"2024年3月5日14时7分9秒"},
      {{2024, 3, 5, 14, 7, 0}, u8"2024年3月5日14时7分"},
      {{2024, 3, 5, 14, 0, 0}, u8"2024年3月5日14时"},
      {{2024, 3, 5, 0, 0, 0}, u8"2024年3月5日"},
      {{2024, 3, 5, 0, 0, 9}, u8"2024年3月5日0时0分9秒"},
      {{2024, 3, 5, 0, 9, 0}, u8"2024年3月5日0时9分"},
      {{2024, 12, 31, 23, 59, 59}, u8"2024年12月31日23时59分59秒"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(timestamp_text(time), gbk(text));
}

TEST(Timestamp, ExtremeFieldsFitTheCapacity) {
  // The clock never gives these, but the formatter writes into a fixed buffer: it must hold them.
  const LocalTime extreme{-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1,
                          -2147483647 - 1};
  const std::string text = timestamp_text(extreme);
  EXPECT_LE(text.size(), kTimestampCapacity);
  EXPECT_EQ(text, gbk(u8"-2147483648年-2147483648月-2147483648日-2147483648时-2147483648分-2147483648秒"));
  EXPECT_EQ(timestamp_text({2147483647, 0, 0, 0, 0, 0}), gbk(u8"2147483647年0月0日"));
}

TEST(KindLabel, FourSpacesEachSideForListedKinds) {
  const std::pair<int, const char*> listed[] = {
      {1, "Start"}, {2, "Question"}, {3, "Answer"}, {4, "Update"}, {6, "Socore"},
      {7, "Exit"},  {8, "Error"},    {9, "Other"},  {10, "Help"},
  };
  for (const auto& [kind, word] : listed) {
    ASSERT_NE(kind_label(kind), nullptr) << kind;
    EXPECT_EQ(std::string(kind_label(kind)), "    " + std::string(word) + "    ");
  }
  for (int kind : {0, 5, 11, 12, 100, -1, -2147483647 - 1}) EXPECT_EQ(kind_label(kind), nullptr) << kind;
}

TEST(EntryBytes, TimestampLabelMessageAndTwoLineEnds) {
  const LocalTime time{2024, 3, 5, 14, 7, 9};
  EXPECT_EQ(*entry_bytes(gbk(u8"1    10、1、4、1"), kQuestion, time),
            gbk(u8"2024年3月5日14时7分9秒    Question    1    10、1、4、1\r\n\r\n"));
  EXPECT_EQ(*entry_bytes("", kStart, time), gbk(u8"2024年3月5日14时7分9秒    Start    \r\n\r\n"));
  EXPECT_EQ(*entry_bytes("a\r\nb", kOther, time), gbk(u8"2024年3月5日14时7分9秒    Other    a\r\nb\r\n\r\n"));
  EXPECT_FALSE(entry_bytes("x", 5, time).has_value());
}

TEST(PutEntry, WritesNothingForAnUnlistedKind) {
  char buffer[kEntryOverhead + 1];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(put_entry(buffer, "x", 1, 5, {2024, 3, 5, 14, 7, 9}), 0u);
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));
}

TEST(EntryBytes, MidnightPutsTheLabelRightAfterTheDate) {
  EXPECT_EQ(*entry_bytes("m", kHelp, {2024, 3, 5, 0, 0, 0}), gbk(u8"2024年3月5日    Help    m\r\n\r\n"));
}

TEST(EntryBytes, ExitIsFollowedByTheSeparatorLine) {
  const std::string separator(67, '-');
  EXPECT_EQ(*entry_bytes("Stop", kExit, {2024, 3, 5, 22, 15, 30}),
            gbk(u8"2024年3月5日22时15分30秒    Exit    Stop\r\n\r\n") + separator + "\r\n\r\n");
}

TEST(EntryBytes, LongMessagesAreWrittenWhole) {
  const std::string message(100000, 'x');
  EXPECT_EQ(entry_bytes(message, kAnswer, {2024, 1, 1, 1, 1, 1})->find(message), gbk(u8"2024年1月1日1时1分1秒").size() + 14);
}

}  // namespace
}  // namespace quadrivo::log
