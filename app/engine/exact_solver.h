// The exact solver: every distinct way to reach 24 from four whole numbers with + - × ÷ in every
// shape (pairs combined with pairs too), each number used once, with exact fractions. It is the
// host's reference beside the trainer's chain search, which keeps its own rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quadrivo {

// Numbers the exact solver and the answer check take: -10000..10000. Within it no intermediate
// numerator or denominator of four numbers can pass 4 × 10000^4, far inside 64 bits, so every
// value is exact; the CLI refuses numbers outside it.
inline constexpr std::int32_t kExactNumberLimit = 10000;
bool within_exact_range(std::int32_t number);

using FourNumbers = std::array<std::int32_t, 4>;

// Every distinct exact solution, printed as its normal form (see expression.h: infix with + - × ÷,
// the × and ÷ as GBK, fewest parentheses). Sorted: fewer parentheses first, then by text. The
// numbers must be within the exact range.
std::vector<std::string> exact_solutions(const FourNumbers& numbers);

}  // namespace quadrivo
