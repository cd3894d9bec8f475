// The Win32 boundary: text of the system <-> UTF-16 of the W functions. Every conversion names its
// code page; the system's own text is GBK, code page 936, never the thread's ANSI code page, so a
// non-Chinese Windows shows the same text. Results are new strings owned by the caller.
#pragma once

#include <string>
#include <string_view>

namespace quadrivo::win {

inline constexpr unsigned kGbkCodePage = 936;
inline constexpr unsigned kUtf8CodePage = 65001;  // CP_UTF8
inline constexpr unsigned kAnsiCodePage = 0;      // CP_ACP, the process's ANSI code page

// Bytes that are not valid in the code page become U+FFFD; characters the code page lacks
// become its default character. Empty in, empty out.
std::wstring to_wide(unsigned code_page, std::string_view text);
std::string from_wide(unsigned code_page, std::wstring_view wide);

inline std::wstring gbk_to_wide(std::string_view gbk) { return to_wide(kGbkCodePage, gbk); }
inline std::string wide_to_gbk(std::wstring_view wide) { return from_wide(kGbkCodePage, wide); }
inline std::string wide_to_utf8(std::wstring_view wide) { return from_wide(kUtf8CodePage, wide); }
// For the few functions that only take ANSI text (WinExec).
inline std::string wide_to_ansi(std::wstring_view wide) { return from_wide(kAnsiCodePage, wide); }

}  // namespace quadrivo::win
