// Judging an answer as a host types it, against the four dealt numbers: the expression is read,
// its numbers are compared with the dealt ones and its exact value is computed.
//
// What is read (GBK text): ASCII or full-width digits; + - * / × ÷ x X and the full-width ＋ － ＊ ／;
// ASCII or full-width parentheses; blanks (space, tab, ideographic space) anywhere between tokens.
// Only the four operations and parentheses exist. Decisions where typing is open to doubt:
// - A blank ends a number: "1 2" is two numbers with no operator between them, not 12.
// - A number that is not dealt but is dealt numbers written one after the other ("12" for 1 and 2,
//   "11" for two 1s) joins digits, which the game forbids: malformed, as is a power (^ or **).
// - A minus directly before a number, where an operand is expected, is that number's sign: "-1" is
//   the number -1, which differs from a dealt 1. A minus before a parenthesis would be a fifth
//   operation (negation) and is malformed, as is a plus sign in front of an operand.
// - A number is written without leading zeros; at most 18 digits; at most 256 tokens in all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/engine/exact_solver.h"
#include "app/engine/expression.h"
#include "app/engine/fraction.h"

namespace quadrivo {

enum class Verdict {
  valid,             // the dealt numbers, each once, exactly 24
  malformed,         // not an expression of the four operations
  numbers_differ,    // well formed, but its numbers are not the dealt ones
  division_by_zero,  // the dealt numbers, but a divisor is 0
  out_of_range,      // the dealt numbers, but a value leaves 64-bit fractions
  not_24,            // the dealt numbers, exact value other than 24
};

enum class Malformation {
  none,
  empty,
  unknown_symbol,     // symbol: the character
  power,              // symbol: ^ or **
  joined_digits,      // symbol: the number as read
  leading_zero,       // symbol: the number
  number_too_long,    // symbol: the number
  too_long,
  missing_operator,   // two operands side by side; symbol: the second one
  missing_operand,    // symbol: the operator or parenthesis with nothing to work on, empty at the end
  unbalanced,         // a parenthesis without its partner
  sign_not_before_number,  // a minus before a parenthesis or another sign
};

// An expression read from GBK text, before it is held against a deal.
struct ParsedExpression {
  ExpressionNodes nodes;  // empty when malformed
  int root = -1;
  Malformation malformation = Malformation::none;  // joined digits are judged with the deal only
  std::string symbol;
};

ParsedExpression parse_expression(std::string_view gbk);

struct AnswerCheck {
  Verdict verdict = Verdict::malformed;
  Malformation malformation = Malformation::none;
  std::string symbol;        // GBK, as typed; see Malformation
  std::string written;       // the expression as read, with × ÷ (GBK) and fewest parentheses
  std::optional<Fraction> value;     // absent after a division by zero or a value beyond 64 bits
  std::string zero_divisor;          // the first divisor that is 0, as written
  std::vector<std::int64_t> used;    // the expression's numbers, ascending
  std::vector<std::int64_t> dealt;   // the dealt numbers, ascending
};

AnswerCheck check_answer(std::string_view expression_gbk, const FourNumbers& dealt);

}  // namespace quadrivo
