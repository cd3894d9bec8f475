#include "common/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <system_error>
#include <vector>

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

// ---------------------------------------------------------------- against a reference
// The conversions were written on std::to_chars and std::from_chars, which are exact by their
// definition; they now run on the C runtime's "%.*g" and strtod. The old code is the reference here,
// over a large sample of values and their edges.

std::string reference_general(double value, int significant_digits) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                    significant_digits);
  return std::string(buffer, result.ptr);
}

// Reads a text already in the form text_to_number collects: [sign] digits [. digits] [e [sign] digits].
double reference_read(const std::string& number) {
  const char* first = number.data();
  const char* last = number.data() + number.size();
  const bool negative = *first == '-';
  if (*first == '+' || *first == '-') ++first;
  double magnitude = 0.0;
  const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    magnitude = std::strtod(std::string(first, last).c_str(), nullptr);
  }
  return negative ? -magnitude : magnitude;
}

double from_bits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Values where "%.13g" and "%.6g" are most likely to go wrong: signed zeros, subnormals, the ends of
// the range, the 32-bit range's neighbours, integers of 13 digits and more (exact ties of the
// rounding among them), powers of ten and two and their neighbours; then random bit patterns and
// random short decimals.
std::vector<double> sample_values() {
  std::vector<double> values = {0.0, -0.0, std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::epsilon(), 0.5, 1.18, 1.19, 0.1 + 0.2};
  for (double base : {2147483647.0, -2147483648.0, 4294967296.0, 9007199254740992.0}) {
    for (int step = -3; step <= 3; ++step) {
      values.push_back(base + step);
      values.push_back(base + step + 0.5);
      values.push_back(std::nextafter(base + step, 0.0));
      values.push_back(std::nextafter(base + step, base * 2));
    }
  }
  for (double ten = 1e-320; ten < 1e308; ten *= 10) {
    values.push_back(ten);
    values.push_back(std::nextafter(ten, 0.0));
    values.push_back(std::nextafter(ten, 1e308));
  }
  for (int exponent = -1074; exponent <= 1023; ++exponent) values.push_back(std::ldexp(1.0, exponent));
  std::mt19937_64 random(20240305);
  // Integers from 1e12 to 1e17: every one that ends in 5 after 13 or 6 digits is a tie.
  for (int i = 0; i < 20000; ++i) {
    const double integer = static_cast<double>(random() % 100000000000000000ULL);
    values.push_back(integer);
    values.push_back(std::trunc(integer / 10) * 10 + 5);
  }
  for (int i = 0; i < 100000; ++i) values.push_back(from_bits(random()));
  for (int i = 0; i < 50000; ++i) {
    // Subnormals: a zero exponent field, any fraction.
    values.push_back(from_bits(random() & 0x800FFFFFFFFFFFFFULL));
  }
  for (int i = 0; i < 50000; ++i) {
    values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) / 1000.0);
  }
  std::vector<double> finite;
  for (double value : values) {
    if (std::isfinite(value)) finite.push_back(value);
  }
  return finite;
}

TEST(NumberTextsAgainstReference, ThirteenAndSixDigitsOverTheSample) {
  int mismatches = 0;
  for (double value : sample_values()) {
    const float single = static_cast<float>(value);
    const std::string texts[] = {double_to_text(value), single_to_text(single)};
    const std::string expected[] = {reference_general(value, 13),
                                    std::isfinite(single) ? reference_general(single, 6) : texts[1]};
    for (int i = 0; i < 2; ++i) {
      if (texts[i] != expected[i] && ++mismatches <= 20) {
        ADD_FAILURE() << "value " << reference_general(value, 17) << ": " << texts[i] << " instead of "
                      << expected[i];
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(NumberTextsAgainstReference, ReadingOverTheSample) {
  std::mt19937_64 random(19700101);
  std::vector<std::string> numbers = {"0", "-0", "+0", "0.0", "-0e5", "1e-400", "-1e-400", "1e400",
                                      "2.4703282292062327e-324", "2.4703282292062328e-324",
                                      "4.9406564584124654e-324", "2.2250738585072011e-308",
                                      "1.7976931348623157e308", "1.7976931348623159e308",
                                      "2147483647", "2147483648", "-2147483648", "-2147483649",
                                      "2147483647.5", "9007199254740993", "12345678901234567890123"};
  // The shortest texts of the sample's values and 17-digit ones, which round to the very double.
  for (double value : sample_values()) {
    if (numbers.size() > 400000) break;
    numbers.push_back(reference_general(value, 17));
    numbers.push_back(reference_general(value, 13));
  }
  // Random digit strings with points and exponents, many digits included.
  for (int i = 0; i < 100000; ++i) {
    std::string number = random() % 3 == 0 ? "-" : random() % 2 ? "" : "+";
    const int whole = static_cast<int>(random() % 25);
    const int fraction = whole == 0 ? 1 + static_cast<int>(random() % 25) : static_cast<int>(random() % 25);
    for (int d = 0; d < whole; ++d) number += static_cast<char>('0' + random() % 10);
    if (fraction > 0 || random() % 2) number += '.';
    for (int d = 0; d < fraction; ++d) number += static_cast<char>('0' + random() % 10);
    if (random() % 2) {
      number += 'e';
      if (random() % 2) number += random() % 2 ? '-' : '+';
      number += std::to_string(random() % 400);
    }
    numbers.push_back(number);
  }
  int mismatches = 0;
  for (const std::string& number : numbers) {
    const double read = text_to_number(number);
    const double expected = reference_read(number);
    if (!same_bits(read, expected) && ++mismatches <= 20) {
      ADD_FAILURE() << number << ": " << reference_general(read, 17) << " instead of "
                    << reference_general(expected, 17);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace quadrivo
