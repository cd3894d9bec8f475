#include "app/engine/exact_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/engine/answer_check.h"
#include "app/engine/expression.h"
#include "app/engine/fraction.h"
#include "common/gbk_utf8.h"

namespace quadrivo {
namespace {

// Expected texts are written in UTF-8 here and compared as GBK, the engine's own encoding.
std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }
std::string utf8(const std::string& gbk_text) { return gbk_to_utf8(gbk_text); }

Fraction ratio(std::int64_t numerator, std::int64_t denominator) { return *Fraction::ratio(numerator, denominator); }

// --- Fractions ---

TEST(Fraction, LowestTermsWithAPositiveDenominator) {
  EXPECT_EQ(ratio(6, -4), ratio(-3, 2));
  EXPECT_EQ(ratio(-6, -4).numerator(), 3);
  EXPECT_EQ(ratio(-6, -4).denominator(), 2);
  EXPECT_EQ(ratio(0, -7), Fraction(0));
  EXPECT_FALSE(Fraction::ratio(1, 0));
  EXPECT_FALSE(Fraction::ratio(std::numeric_limits<std::int64_t>::min(), 1));
}

TEST(Fraction, Text) {
  EXPECT_EQ(Fraction(24).text(), "24");
  EXPECT_EQ(Fraction(-3).text(), "-3");
  EXPECT_EQ(ratio(27, 2).text(), "27/2");
  EXPECT_EQ(ratio(1, -3).text(), "-1/3");
}

struct Arithmetic {
  Operator op;
  Fraction left, right;
  std::optional<Fraction> result;
};

TEST(Fraction, OperationsAreExactAndOverflowGivesNothing) {
  constexpr std::int64_t kBig = std::int64_t{1} << 62;
  const Arithmetic cases[] = {
      {Operator::add, ratio(1, 2), ratio(1, 3), ratio(5, 6)},
      {Operator::add, ratio(1, 6), ratio(1, 3), ratio(1, 2)},
      {Operator::subtract, Fraction(3), ratio(8, 3), ratio(1, 3)},
      {Operator::multiply, ratio(2, 3), ratio(9, 4), ratio(3, 2)},
      {Operator::multiply, Fraction(0), ratio(9, 4), Fraction(0)},
      {Operator::divide, Fraction(8), ratio(1, 3), Fraction(24)},
      {Operator::divide, Fraction(-8), ratio(-1, 3), Fraction(24)},
      {Operator::divide, Fraction(8), Fraction(0), std::nullopt},
      {Operator::add, Fraction(kBig), Fraction(kBig), std::nullopt},
      {Operator::subtract, Fraction(-kBig), Fraction(kBig), std::nullopt},  // the one value never used
      {Operator::multiply, Fraction(kBig), Fraction(2), std::nullopt},
      {Operator::divide, ratio(1, kBig), Fraction(4), std::nullopt},
      // The largest numbers the exact solver takes stay far inside 64 bits.
      {Operator::multiply, Fraction(10000LL * 10000 * 10000), Fraction(10000), Fraction(10000000000000000LL)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(apply(c.op, c.left, c.right), c.result)
        << c.left.text() << " op " << static_cast<int>(c.op) << " " << c.right.text();
  }
}

// --- Normal form ---

std::string normal_form(const char* typed) {
  const ParsedExpression parsed = parse_expression(typed);
  EXPECT_EQ(parsed.malformation, Malformation::none) << typed;
  return parsed.root < 0 ? std::string() : normal_form_text(parsed.nodes, parsed.root);
}

struct SameForm {
  const char* a;
  const char* b;
  bool same;
};

TEST(NormalForm, WhatIsIdentifiedAndWhatIsNot) {
  const SameForm cases[] = {
      {"8-(3-1)", "8+1-3", true},            // a sum flattens, a subtracted sum turns its signs over
      {"(1+2)+3", "1+(2+3)", true},
      {"3+1+2", "2+3+1", true},
      {"8/(3/1)", "8*1/3", true},            // likewise a product
      {"(2*3)*4", "4*(3*2)", true},
      {"8-(3-(2-1))", "8-3+2-1", true},      // at every depth
      {"(1+3)*(2+4)", "(4+2)*(3+1)", true},  // inside the parts of a product too
      {"8/(3-8/3)", "8/(3-(8/3))", true},
      {"1*2*3*4", "2*3*4/1", false},         // x1 and ÷1 differ
      {"(8-3)*2", "(3-8)*2", false},         // no sign is moved out of a part
      {"4*(1+5)", "4*1+4*5", false},         // no distribution
      {"6+6+6+6", "6*6-6-6", false},
      {"2+2", "2*2", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(normal_form(c.a) == normal_form(c.b), c.same) << c.a << " / " << c.b;
  }
}

struct Printed {
  const char* typed;
  const char8_t* normal_form;
};

TEST(NormalForm, PrintedOrderAndFewestParentheses) {
  const Printed cases[] = {
      {"4*(3+2+1)", u8"(1+2+3)×4"},        // a product leads with its sums
      {"(4+2)*(3+1)", u8"(1+3)×(2+4)"},    // sums compared part by part
      {"1/4*3*2", u8"1×2×3÷4"},              // multiplied factors, then divided ones, numbers ascending
      {"7*(3/7+3)", u8"(3+3÷7)×7"},        // a sum leads with its numbers
      {"4/(10*10-4)", u8"4÷(10×10-4)"},    // a product in a sum needs no parentheses
      {"2-(3-1)", u8"1+2-3"},              // added terms, then subtracted ones
      {"8/(2*2)", u8"8÷2÷2"},              // a divided product becomes divided factors
      {"(-3)*(-8)", u8"(-8)×(-3)"},        // a negative number in parentheses
      {"8/(3-8/3)", u8"8÷(3-8÷3)"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(normal_form(c.typed)), utf8(gbk(c.normal_form))) << c.typed;
}

// --- Exact solutions ---

struct KnownProblem {
  FourNumbers numbers;
  std::size_t distinct;
  const char8_t* one_of_them;
};

TEST(ExactSolutions, KnownProblems) {
  const KnownProblem problems[] = {
      {{1, 2, 3, 4}, 4, u8"(1+3)×(2+4)"},
      {{3, 3, 8, 8}, 1, u8"8÷(3-8÷3)"},
      {{1, 1, 2, 7}, 1, u8"(1+2)×(1+7)"},      // the chain search lists no path
      {{4, 4, 10, 10}, 1, u8"(10×10-4)÷4"},
      {{1, 5, 5, 5}, 1, u8"(5-1÷5)×5"},
      {{3, 3, 7, 7}, 1, u8"(3+3÷7)×7"},
      {{1, 4, 5, 6}, 2, u8"6÷(5÷4-1)"},
      {{6, 6, 6, 6}, 2, u8"6×6-6-6"},
      {{1, 1, 7, 8}, 0, nullptr},             // the chain lists 8×(7÷2), which is 28
      {{1, 1, 1, 1}, 0, nullptr},
      {{13, 13, 13, 13}, 0, nullptr},
      {{-3, -8, 1, 1}, 6, u8"((-3)+1-1)×(-8)"},
      {{24, 0, 0, 0}, 14, u8"24-(0+0)×0"},     // x0 and -0 in every place
  };
  for (const auto& p : problems) {
    const auto solutions = exact_solutions(p.numbers);
    SCOPED_TRACE(testing::Message() << p.numbers[0] << " " << p.numbers[1] << " " << p.numbers[2] << " "
                                    << p.numbers[3]);
    EXPECT_EQ(solutions.size(), p.distinct);
    if (p.one_of_them) {
      EXPECT_NE(std::find(solutions.begin(), solutions.end(), gbk(p.one_of_them)), solutions.end());
    }
  }
}

TEST(ExactSolutions, OneTwoThreeFourInPrintedOrder) {
  const std::vector<std::string> expected = {gbk(u8"1×2×3×4"), gbk(u8"2×3×4÷1"), gbk(u8"(1+2+3)×4"),
                                             gbk(u8"(1+3)×(2+4)")};
  EXPECT_EQ(exact_solutions({1, 2, 3, 4}), expected);
  EXPECT_EQ(exact_solutions({4, 3, 1, 2}), expected);  // the order of the cards does not matter
}

TEST(ExactSolutions, EverySolutionIsAValidAnswerToItsProblem) {
  // Each printed solution read back by the answer check: the same numbers, exactly 24.
  const FourNumbers problems[] = {{1, 2, 3, 4}, {2, 3, 4, 12}, {1, 4, 5, 6}, {12, 12, 12, 12}, {-3, -8, 1, 1}};
  for (const auto& numbers : problems) {
    for (const auto& solution : exact_solutions(numbers)) {
      EXPECT_EQ(check_answer(solution, numbers).verdict, Verdict::valid) << utf8(solution);
    }
  }
}

TEST(ExactSolutions, TheWholeRangeIsDefined) {
  EXPECT_TRUE(within_exact_range(-10000));
  EXPECT_TRUE(within_exact_range(10000));
  EXPECT_FALSE(within_exact_range(10001));
  EXPECT_FALSE(within_exact_range(-10001));
  // The largest magnitudes at the edge of the range: every value exact, nothing reaches 24.
  EXPECT_TRUE(exact_solutions({10000, -10000, 9999, -9999}).empty());
  EXPECT_EQ(exact_solutions({10000, 10000, 24, 0}).size(), exact_solutions({7, 7, 24, 0}).size());
}

}  // namespace
}  // namespace quadrivo
