// The Win32 boundary: GBK text of the system <-> UTF-16 of the W functions. The code page is
// always 936, never the thread's ANSI code page, so a non-Chinese Windows shows the same text.
#pragma once

#include <string>
#include <string_view>

namespace quadrivo::win {

constexpr unsigned kGbkCodePage = 936;

std::wstring gbk_to_wide(std::string_view gbk);
std::string wide_to_gbk(std::wstring_view wide);
std::string wide_to_utf8(std::wstring_view wide);
std::wstring utf8_to_wide(std::string_view utf8);

}  // namespace quadrivo::win
