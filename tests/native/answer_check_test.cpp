#include "app/engine/answer_check.h"

#include <gtest/gtest.h>

#include <string>

#include "common/gbk_utf8.h"

namespace quadrivo {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

struct Answer {
  const char8_t* typed;  // as a host types it; UTF-8 here, GBK to the check
  FourNumbers dealt;
  Verdict verdict;
  const char* value;  // the exact value's text, nullptr when there is none
};

TEST(CheckAnswer, WellFormedAnswersAsciiAndFullWidth) {
  const Answer answers[] = {
      {u8"(1+2)*(1+7)", {1, 1, 2, 7}, Verdict::valid, "24"},
      {u8"（１＋２）＊（１＋７）", {7, 2, 1, 1}, Verdict::valid, "24"},
      {u8"（1+2）×（1+7）", {1, 1, 2, 7}, Verdict::valid, "24"},
      {u8"8/(3-8/3)", {3, 3, 8, 8}, Verdict::valid, "24"},
      {u8"８／（３－８／３）", {3, 3, 8, 8}, Verdict::valid, "24"},
      {u8" 8 ÷ ( 3 － 8 ÷ 3 ) ", {3, 3, 8, 8}, Verdict::valid, "24"},
      {u8"\t4x3X2x1", {1, 2, 3, 4}, Verdict::valid, "24"},
      {u8"4　×　6　÷　1　÷　1", {1, 1, 4, 6}, Verdict::valid, "24"},  // ideographic spaces
      {u8"10-4+10+4+3-3", {10, 4, 10, 4}, Verdict::numbers_differ, "20"},
      {u8"8*(7/(1+1))", {1, 1, 7, 8}, Verdict::not_24, "28"},  // the chain's 7÷2=3 read exactly
      {u8"(8-3)*(8-3)", {3, 3, 8, 8}, Verdict::not_24, "25"},
      {u8"1/(2*3*4)", {1, 2, 3, 4}, Verdict::not_24, "1/24"},
      {u8"3-8*8/3", {3, 3, 8, 8}, Verdict::not_24, "-55/3"},
      {u8"1+2+3", {1, 2, 3, 4}, Verdict::numbers_differ, "6"},                // a card left out
      {u8"1+2+3+4+4", {1, 2, 3, 4}, Verdict::numbers_differ, "14"},
      {u8"20+4", {1, 1, 2, 7}, Verdict::numbers_differ, "24"},                // not dealt, not joined
      {u8"-1+5*5", {1, 5, 5, 5}, Verdict::numbers_differ, "24"},              // -1 is not the card 1
      {u8"-1+5*5*1", {-1, 5, 5, 1}, Verdict::valid, "24"},                   // a dealt -1
      {u8"5*5*1+(-1)", {-1, 5, 5, 1}, Verdict::valid, "24"},
      {u8"8/(3-3)*8", {3, 3, 8, 8}, Verdict::division_by_zero, nullptr},
      {u8"8／（３－３）＊８", {3, 3, 8, 8}, Verdict::division_by_zero, nullptr},
      {u8"1/(2-2)", {1, 2, 2, 5}, Verdict::numbers_differ, nullptr},
  };
  for (const auto& a : answers) {
    const AnswerCheck check = check_answer(gbk(a.typed), a.dealt);
    SCOPED_TRACE(reinterpret_cast<const char*>(a.typed));
    EXPECT_EQ(check.malformation, Malformation::none);
    EXPECT_EQ(check.verdict, a.verdict);
    ASSERT_EQ(check.value.has_value(), a.value != nullptr);
    if (a.value) {
      EXPECT_EQ(check.value->text(), a.value);
    }
  }
}

TEST(CheckAnswer, WhatWasReadAndWhy) {
  const AnswerCheck full_width = check_answer(gbk(u8"（１＋２）＊（１＋７）"), {1, 1, 2, 7});
  EXPECT_EQ(full_width.written, gbk(u8"(1+2)×(1+7)"));
  const AnswerCheck shaped = check_answer("8/(3-(8/3))", {3, 3, 8, 8});
  EXPECT_EQ(shaped.written, gbk(u8"8÷(3-8÷3)"));  // only the parentheses that keep the shape
  EXPECT_EQ(check_answer("1-(2-3)+4", {1, 2, 3, 4}).written, "1-(2-3)+4");
  EXPECT_EQ(check_answer("1-2-(3+4)", {1, 2, 3, 4}).written, "1-2-(3+4)");

  const AnswerCheck differ = check_answer("2*12", {1, 2, 12, 4});
  EXPECT_EQ(differ.used, (std::vector<std::int64_t>{2, 12}));
  EXPECT_EQ(differ.dealt, (std::vector<std::int64_t>{1, 2, 4, 12}));

  const AnswerCheck zero = check_answer("4*6/(1-1)", {1, 1, 4, 6});
  EXPECT_EQ(zero.verdict, Verdict::division_by_zero);
  EXPECT_EQ(zero.zero_divisor, "1-1");
}

struct Malformed {
  const char8_t* typed;
  FourNumbers dealt;
  Malformation malformation;
  const char8_t* symbol;
};

TEST(CheckAnswer, MalformedInput) {
  const Malformed cases[] = {
      {u8"", {1, 2, 3, 4}, Malformation::empty, u8""},
      {u8"  　", {1, 2, 3, 4}, Malformation::empty, u8""},
      {u8"12*2*1", {1, 2, 3, 4}, Malformation::joined_digits, u8"12"},  // the cards 1 and 2 side by side
      {u8"１２×２", {1, 2, 3, 4}, Malformation::joined_digits, u8"12"},
      {u8"(11+2)-7", {1, 1, 2, 7}, Malformation::joined_digits, u8"11"},
      {u8"-21+45", {1, 2, 4, 5}, Malformation::joined_digits, u8"-21"},
      {u8"1 2*3*4", {1, 2, 3, 4}, Malformation::missing_operator, u8"2"},  // a blank ends a number
      {u8"2(3+9)", {2, 3, 9, 1}, Malformation::missing_operator, u8"("},
      {u8"(1+2)(3+5)", {1, 2, 3, 5}, Malformation::missing_operator, u8"("},
      {u8"2^3*3", {2, 3, 3, 1}, Malformation::power, u8"^"},
      {u8"2**3*3", {2, 3, 3, 1}, Malformation::power, u8"**"},
      {u8"２＊＊３", {2, 3, 3, 1}, Malformation::power, u8"＊＊"},
      {u8"1+2=3", {1, 2, 3, 4}, Malformation::unknown_symbol, u8"="},
      {u8"1.5*16", {1, 5, 1, 6}, Malformation::unknown_symbol, u8"."},
      {u8"（1+2）×8【", {1, 2, 8, 1}, Malformation::unknown_symbol, u8"【"},
      {u8"-(1+2)*8", {1, 2, 8, 1}, Malformation::sign_not_before_number, u8"-"},
      {u8"2*--12", {2, 12, 1, 1}, Malformation::sign_not_before_number, u8"-"},
      {u8"+24", {24, 1, 1, 1}, Malformation::missing_operand, u8"+"},
      {u8"3*/8", {3, 8, 1, 1}, Malformation::missing_operand, u8"/"},
      {u8"1+2+3+", {1, 2, 3, 4}, Malformation::missing_operand, u8""},
      {u8"()+24", {24, 1, 1, 1}, Malformation::missing_operand, u8")"},
      {u8"(1+2", {1, 2, 3, 4}, Malformation::unbalanced, u8"("},
      {u8"1+2)", {1, 2, 3, 4}, Malformation::unbalanced, u8")"},
      {u8")1+2", {1, 2, 3, 4}, Malformation::unbalanced, u8")"},
      {u8"08+16", {8, 16, 1, 1}, Malformation::leading_zero, u8"08"},
      {u8"1234567890123456789", {1, 2, 3, 4}, Malformation::number_too_long, u8"1234567890123456789"},
  };
  for (const auto& c : cases) {
    const AnswerCheck check = check_answer(gbk(c.typed), c.dealt);
    SCOPED_TRACE(reinterpret_cast<const char*>(c.typed));
    EXPECT_EQ(check.verdict, Verdict::malformed);
    EXPECT_EQ(check.malformation, c.malformation);
    EXPECT_EQ(check.symbol, gbk(c.symbol));
  }
}

TEST(CheckAnswer, HugeInputIsRefusedNotRecursedInto) {
  EXPECT_EQ(check_answer(std::string(100000, '('), {1, 2, 3, 4}).malformation, Malformation::too_long);
  std::string chain = "1";
  for (int i = 0; i < 200; ++i) chain += "-1";
  EXPECT_EQ(check_answer(chain, {1, 2, 3, 4}).malformation, Malformation::too_long);
  // A long, valid-looking number of the right size is still read.
  EXPECT_EQ(check_answer("999999999999999999", {1, 2, 3, 4}).verdict, Verdict::numbers_differ);
}

TEST(CheckAnswer, ValuesBeyondSixtyFourBitsAreReportedNotWrapped) {
  const AnswerCheck check = check_answer("10000*10000*10000*10000*10000", {10000, 10000, 10000, 10000});
  EXPECT_EQ(check.verdict, Verdict::numbers_differ);
  EXPECT_FALSE(check.value.has_value());
  EXPECT_TRUE(check.zero_divisor.empty());
}

}  // namespace
}  // namespace quadrivo
