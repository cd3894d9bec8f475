#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/gbk_utf8.h"

namespace quadrivo {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

TEST(IntToText, PlainDecimal) {
  EXPECT_EQ(int_to_text(0), "0");
  EXPECT_EQ(int_to_text(384), "384");
  EXPECT_EQ(int_to_text(-16), "-16");
  EXPECT_EQ(int_to_text(2147483647), "2147483647");
  EXPECT_EQ(int_to_text(-2147483647 - 1), "-2147483648");
}

TEST(DoubleToText, ThirteenSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {3, "3"},           {4.5, "4.5"},         {0, "0"},
      {-2.5, "-2.5"},     {0.1 + 0.2, "0.3"},   {1e13, "1e+13"},
      {9999999999999.0, "9999999999999"},       {12345678901234.0, "1.234567890123e+13"},
      {1.0 / 3, "0.3333333333333"},             {0.0001, "0.0001"},
      {0.00001, "1e-05"}, {1e100, "1e+100"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(double_to_text(value), text) << value;
}

TEST(SingleToText, SixSignificantDigits) {
  EXPECT_EQ(single_to_text(1.18f), "1.18");
  EXPECT_EQ(single_to_text(2.0f), "2");
  EXPECT_EQ(single_to_text(0.0f), "0");
  EXPECT_EQ(single_to_text(7.7f), "7.7");
  EXPECT_EQ(single_to_text(1234567.0f), "1.23457e+06");
}

struct Reading {
  const char8_t* text;
  double value;
};

TEST(TextToNumber, ReadsTheLongestLeadingNumber) {
  const Reading cases[] = {
      {u8"", 0},          {u8"abc", 0},        {u8"12", 12},          {u8"  12", 12},
      {u8"\t\r\n7", 7},   {u8"-3", -3},        {u8"+3", 3},           {u8"2.5", 2.5},
      {u8"7分", 7},       {u8"1.19beta", 1.19}, {u8".5", 0.5},         {u8"5.", 5},
      {u8".", 0},         {u8"-", 0},          {u8"- 3", 0},          {u8"1e3", 1000},
      {u8"1E3", 1000},    {u8"1d3", 1000},     {u8"1D-2", 0.01},      {u8"1e", 1},
      {u8"1e+", 1},       {u8"2e-1x", 0.2},    {u8"3..4", 3},         {u8"1,5", 1},
      {u8"0x1A", 0},      {u8"inf", 0},        {u8"nan", 0},          {u8"١٢", 0},
      {u8"１２", 12},     {u8"１．５", 1.5},   {u8"－３", -3},        {u8"＋３", 3},
      {u8"　１２", 12},   {u8"１ｅ２", 100},   {u8"１Ｄ２", 100},     {u8"12 34", 12},
      {u8"1.18", 1.18},   {u8"00012", 12},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_to_number(gbk(c.text)), c.value) << reinterpret_cast<const char*>(c.text);
  }
}

TEST(TextToNumber, HugeAndTinyValues) {
  EXPECT_TRUE(std::isinf(text_to_number("1e999")));
  EXPECT_GT(text_to_number("1e999"), 0);
  EXPECT_LT(text_to_number("-1e999"), 0);
  EXPECT_EQ(text_to_number("1e-999"), 0.0);
  EXPECT_EQ(text_to_number("123456789012345678901234567890"), 123456789012345678901234567890.0);
}

TEST(TextToNumber, OnlyLeadBytesStartAFullWidthForm) {
  // "分" is B7 D6 and "７" is A3 B7; a trail byte equal to A3 must not be read as a lead byte.
  EXPECT_EQ(fold_full_width(gbk(u8"７分")), gbk(u8"7分"));
  EXPECT_EQ(fold_full_width("\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"), " ~**");
  EXPECT_EQ(fold_full_width(gbk(u8"、")), gbk(u8"、"));
  EXPECT_EQ(fold_full_width("\xA3"), "\xA3");  // a lone lead byte at the end stays
}

TEST(RealToWhole, TruncatesTowardZero) {
  const std::pair<double, std::int32_t> cases[] = {
      {3.5, 3},   {-3.75, -3}, {0.999, 0},     {-0.5, 0},          {24.0, 24},
      {1e10, 2147483647},      {-1e10, -2147483647 - 1},          {2147483647.9, 2147483647},
      {-2147483648.9, -2147483647 - 1},
  };
  for (const auto& [value, whole] : cases) EXPECT_EQ(real_to_whole(value), whole) << value;
  EXPECT_EQ(real_to_whole(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(real_to_whole(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(real_to_whole(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace quadrivo
