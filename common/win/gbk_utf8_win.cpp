// GBK <-> UTF-8 on Windows, through UTF-16 with the code pages named explicitly.
#include <windows.h>

#include "../gbk_utf8.h"

namespace quadrivo {
namespace {

constexpr UINT kGbk = 936;

std::wstring to_wide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string from_wide(UINT code_page, const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  }
  return text;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) { return from_wide(CP_UTF8, to_wide(kGbk, gbk)); }
std::string utf8_to_gbk(std::string_view utf8) { return from_wide(kGbk, to_wide(CP_UTF8, utf8)); }

bool is_valid_gbk(std::string_view gbk) {
  if (gbk.empty()) return true;
  return MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0) > 0;
}

}  // namespace quadrivo
