// Arithmetic expressions over whole numbers with the four operations: their exact values, their
// text as written, and the normal form that decides when two solutions count as the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/engine/fraction.h"

namespace quadrivo {

enum class Operator : std::uint8_t { add, subtract, multiply, divide };

// The exact result of left op right; nothing for a zero divisor or a result beyond 64 bits.
std::optional<Fraction> apply(Operator op, Fraction left, Fraction right);

struct ExpressionNode {
  std::int64_t number = 0;  // a leaf's number
  Operator op = Operator::add;
  int left = -1;  // both operands are indices of earlier nodes; -1 for a leaf
  int right = -1;

  bool is_number() const { return left < 0; }
};

// A tree in one vector: the operands of a node stand before it, a node is named by its index.
using ExpressionNodes = std::vector<ExpressionNode>;

// The tree under root as written, with x and / shown as × and ÷ (GBK), ASCII digits, and only the
// parentheses that keep its shape: a+(b-c) keeps them, (a+b)-c does not need them. A negative
// number always stands in parentheses, "(-3)", so that no two signs meet.
std::string written_text(const ExpressionNodes& nodes, int root);

// The normal form of the tree under root, printed. Sums are flattened into added and subtracted
// terms, products into multiplied and divided factors, at every depth, and equal numbers are
// interchangeable; nothing else is identified. So a-(b-c) and a+c-b print the same, a÷(b÷c) and
// a×c÷b print the same. Two trees have the same normal form exactly when they print the same text.
//
// Printed order: within a sum the added terms come before the subtracted ones, within a product the
// multiplied factors before the divided ones. In each group of a product the parenthesised sums come
// first, then the numbers; in each group of a sum the numbers come first, then the products. Numbers
// go in ascending order, compound parts compared part by part. So 1 2 3 4 gives 1×2×3×4, 2×3×4÷1,
// (1+2+3)×4 and (1+3)×(2+4); 3 3 8 8 gives 8÷(3-8÷3); 3 3 7 7 gives (3+3÷7)×7.
// Parentheses stand only around a sum that is a factor, and around a negative number.
std::string normal_form_text(const ExpressionNodes& nodes, int root);

}  // namespace quadrivo
