// Exact rational numbers for judging answers: always in lowest terms with a positive denominator,
// 64-bit parts, every overflow caught. An operation whose result does not fit gives nothing instead
// of a wrapped value, so a wrong number can never pass for 24.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quadrivo {

class Fraction {
 public:
  constexpr Fraction() = default;
  // A whole number. The most negative 64-bit value is out of range and must not be passed.
  constexpr Fraction(std::int64_t whole) : numerator_(whole) {}  // NOLINT: a whole number is a fraction

  // numerator / denominator in lowest terms; nothing for a zero denominator or a part that is the
  // most negative 64-bit value (it has no negation, and every part here stays negatable).
  static std::optional<Fraction> ratio(std::int64_t numerator, std::int64_t denominator);

  std::int64_t numerator() const { return numerator_; }
  std::int64_t denominator() const { return denominator_; }
  bool is_zero() const { return numerator_ == 0; }
  bool is_whole() const { return denominator_ == 1; }

  // "24", "-3", "27/2", "-1/3".
  std::string text() const;

  friend bool operator==(const Fraction&, const Fraction&) = default;

 private:
  std::int64_t numerator_ = 0;
  std::int64_t denominator_ = 1;
};

std::optional<Fraction> add(Fraction a, Fraction b);
std::optional<Fraction> subtract(Fraction a, Fraction b);
std::optional<Fraction> multiply(Fraction a, Fraction b);
// Nothing for a zero divisor as well.
std::optional<Fraction> divide(Fraction a, Fraction b);

}  // namespace quadrivo
