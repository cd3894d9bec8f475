#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "common/gbk.h"

namespace quadrivo {
namespace {

constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kSymbolLead = 0xA1;

// The C99 "%.*g" and strtod, correctly rounded (ties of the exact value to even), exponents of at
// least two digits, in the "C" locale the program never leaves. On Windows these are MinGW's own,
// linked into the binary: msvcrt.dll's printf writes three exponent digits and rounds ties away
// from zero, and its strtod is not correctly rounded on every Windows version.
#if defined(__MINGW32__)
int print_general(char* buffer, std::size_t size, int significant_digits, double value) {
  return __mingw_snprintf(buffer, size, "%.*g", significant_digits, value);
}
double read_decimal(const char* text) { return __mingw_strtod(text, nullptr); }
#else
int print_general(char* buffer, std::size_t size, int significant_digits, double value) {
  return std::snprintf(buffer, size, "%.*g", significant_digits, value);
}
double read_decimal(const char* text) { return std::strtod(text, nullptr); }
#endif

std::string general_format(double value, int significant_digits) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // At most 13 significant digits, a point, "e-308" and a sign: far below the buffer.
  char buffer[64];
  const int length = print_general(buffer, sizeof buffer, significant_digits, value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Length of the leading run of digits of text from pos.
std::size_t digit_run(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && is_digit(text[end])) ++end;
  return end - pos;
}

}  // namespace

std::string int_to_text(std::int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string double_to_text(double value) { return general_format(value, 13); }

std::string single_to_text(float value) { return general_format(static_cast<double>(value), 6); }

std::string fold_full_width(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!is_gbk_lead(lead) || i + 1 >= text.size()) {
      folded += text[i];
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    if (lead == kFullWidthLead) {
      folded += static_cast<char>(trail & 0x7F);
    } else if (lead == kSymbolLead && trail == 0xA1) {
      folded += ' ';
    } else if (lead == kSymbolLead && trail == 0xAB) {
      folded += '~';
    } else if (lead == kSymbolLead && (trail == 0xEE || trail == 0xEF)) {
      folded += '*';
    } else {
      folded += text[i];
      folded += text[i + 1];
    }
    ++i;
  }
  return folded;
}

double text_to_number(std::string_view gbk_text) {
  const std::string text = fold_full_width(gbk_text);
  std::size_t pos = 0;
  while (pos < text.size() && is_blank(text[pos])) ++pos;

  // Collect the longest leading number in the form strtod reads, with d/D exponents as e.
  std::string number;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number += text[pos++];
  const std::size_t whole_digits = digit_run(text, pos);
  number.append(text, pos, whole_digits);
  pos += whole_digits;
  std::size_t fraction_digits = 0;
  if (pos < text.size() && text[pos] == '.') {
    fraction_digits = digit_run(text, pos + 1);
    if (whole_digits + fraction_digits > 0) {
      number.append(text, pos, 1 + fraction_digits);
      pos += 1 + fraction_digits;
    }
  }
  if (whole_digits + fraction_digits == 0) return 0.0;

  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
    std::size_t exponent_pos = pos + 1;
    std::string exponent = "e";
    if (exponent_pos < text.size() && (text[exponent_pos] == '+' || text[exponent_pos] == '-')) {
      exponent += text[exponent_pos++];
    }
    const std::size_t exponent_digits = digit_run(text, exponent_pos);
    if (exponent_digits > 0) number += exponent + text.substr(exponent_pos, exponent_digits);
  }

  // strtod reads exactly the text collected above: the "C" locale's point, no hexadecimal or
  // infinity forms left in it; infinity on overflow, zero or a denormal on underflow.
  return read_decimal(number.c_str());
}

std::int32_t real_to_whole(double value) {
  if (!std::isfinite(value)) return 0;
  const double truncated = std::trunc(value);
  if (truncated >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (truncated <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(truncated);
}

}  // namespace quadrivo
