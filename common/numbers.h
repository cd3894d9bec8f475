// The system's conversions between numbers and text. Every deliverable uses these, so a score box,
// a number label, a version text and a log entry all read and write numbers the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quadrivo {

// Plain decimal, a leading "-" for negatives, no grouping ("%d").
std::string int_to_text(std::int32_t value);

// At most 13 significant digits, no trailing zeros or point ("%.13g"): 3 -> "3", 4.5 -> "4.5".
std::string double_to_text(double value);

// A single-precision real with at most 6 significant digits ("%.6g"): 1.18f -> "1.18".
std::string single_to_text(float value);

// Reads the longest leading decimal number of a GBK text: full-width forms (lead byte A3) count as
// their ASCII characters, the ideographic space as a blank; leading white space, an optional sign,
// digits with an optional point, an optional exponent introduced by e, E, d or D. No number gives 0.
double text_to_number(std::string_view gbk_text);

// Drops the fraction toward zero. Not finite gives 0; a finite value outside the 32-bit range is
// clamped to the nearest end of that range.
std::int32_t real_to_whole(double value);

// The mapping text_to_number applies before it reads: each full-width character of row A3 becomes
// the ASCII character of the low seven bits of its second byte, A1 A1 a blank, A1 AB "~",
// A1 EE and A1 EF "*"; every other character is kept as it is.
std::string fold_full_width(std::string_view gbk_text);

}  // namespace quadrivo
