#include "app/engine/fraction.h"

#include <limits>
#include <numeric>

namespace quadrivo {
namespace {

constexpr std::int64_t kUnusable = std::numeric_limits<std::int64_t>::min();

std::optional<std::int64_t> checked_multiply(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product) || product == kUnusable) return std::nullopt;
  return product;
}

std::optional<std::int64_t> checked_add(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum) || sum == kUnusable) return std::nullopt;
  return sum;
}

// Both parts are negatable (never the most negative value), so std::gcd sees defined magnitudes.
std::int64_t common_divisor(std::int64_t a, std::int64_t b) { return std::gcd(a, b); }

}  // namespace

std::optional<Fraction> Fraction::ratio(std::int64_t numerator, std::int64_t denominator) {
  if (denominator == 0 || numerator == kUnusable || denominator == kUnusable) return std::nullopt;
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  const std::int64_t divisor = common_divisor(numerator, denominator);
  Fraction result;
  result.numerator_ = numerator / divisor;
  result.denominator_ = denominator / divisor;
  return result;
}

std::string Fraction::text() const {
  std::string text = std::to_string(numerator_);
  if (denominator_ != 1) text += '/' + std::to_string(denominator_);
  return text;
}

std::optional<Fraction> add(Fraction a, Fraction b) {
  // Over the least common denominator: smaller intermediate values than the plain cross product.
  const std::int64_t divisor = common_divisor(a.denominator(), b.denominator());
  const std::int64_t a_scale = b.denominator() / divisor;
  const std::int64_t b_scale = a.denominator() / divisor;
  const auto a_part = checked_multiply(a.numerator(), a_scale);
  const auto b_part = checked_multiply(b.numerator(), b_scale);
  if (!a_part || !b_part) return std::nullopt;
  const auto numerator = checked_add(*a_part, *b_part);
  const auto denominator = checked_multiply(a.denominator(), a_scale);
  if (!numerator || !denominator) return std::nullopt;
  return Fraction::ratio(*numerator, *denominator);
}

std::optional<Fraction> subtract(Fraction a, Fraction b) {
  return add(a, *Fraction::ratio(-b.numerator(), b.denominator()));
}

std::optional<Fraction> multiply(Fraction a, Fraction b) {
  // Cross-reduced first, so the product is in lowest terms and as small as it can be.
  const std::int64_t first = common_divisor(a.numerator(), b.denominator());
  const std::int64_t second = common_divisor(b.numerator(), a.denominator());
  const auto numerator = checked_multiply(a.numerator() / first, b.numerator() / second);
  const auto denominator = checked_multiply(a.denominator() / second, b.denominator() / first);
  if (!numerator || !denominator) return std::nullopt;
  return Fraction::ratio(*numerator, *denominator);
}

std::optional<Fraction> divide(Fraction a, Fraction b) {
  if (b.is_zero()) return std::nullopt;
  return multiply(a, *Fraction::ratio(b.denominator(), b.numerator()));
}

}  // namespace quadrivo
