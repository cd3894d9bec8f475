#include "common/win/files.h"

#include <algorithm>

namespace quadrivo::win {
namespace {

constexpr std::size_t kLargestWrite = 0x10000000;

}  // namespace

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace quadrivo::win
