// GBK <-> UTF-8 on Windows, through UTF-16 with the code pages named explicitly.
#include <windows.h>

#include "common/gbk_utf8.h"
#include "common/win/wide_text.h"

namespace quadrivo {

std::string gbk_to_utf8(std::string_view gbk) { return win::wide_to_utf8(win::gbk_to_wide(gbk)); }
std::string utf8_to_gbk(std::string_view utf8) { return win::wide_to_gbk(win::to_wide(win::kUtf8CodePage, utf8)); }

bool is_valid_gbk(std::string_view gbk) {
  if (gbk.empty()) return true;
  return MultiByteToWideChar(win::kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                             nullptr, 0) > 0;
}

}  // namespace quadrivo
