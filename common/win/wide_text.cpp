#include "common/win/wide_text.h"

#include <windows.h>

namespace quadrivo::win {

std::wstring to_wide(unsigned code_page, std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string from_wide(unsigned code_page, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace quadrivo::win
