// GBK (code page 936) <-> UTF-8. Text inside the system is GBK; UTF-8 is only for the outside
// (the command-line solver's output, test messages). A byte sequence that is not valid in the
// source encoding is replaced by U+FFFD (to UTF-8) or "?" (to GBK) rather than dropped.
#pragma once

#include <string>
#include <string_view>

namespace quadrivo {

std::string gbk_to_utf8(std::string_view gbk);
std::string utf8_to_gbk(std::string_view utf8);

// True when every byte of the text is part of a valid GBK character.
bool is_valid_gbk(std::string_view gbk);

}  // namespace quadrivo
