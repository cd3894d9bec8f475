#include "modules/update/win/config_file.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "common/win/files.h"
#include "common/win/handles.h"
#include "common/ini.h"

namespace quadrivo::update {
namespace {

constexpr DWORD kShareForReading = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr wchar_t kTemporarySuffix[] = L".new";

// The whole file; an empty text when there is none, nothing when it exists and cannot be read.
std::optional<std::string> read_whole_file(const std::wstring& path) {
  const win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, kShareForReading, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

}  // namespace

std::string read_config_value(const std::wstring& path, std::string_view section, std::string_view key) {
  const auto bytes = read_whole_file(path);
  return bytes ? ini_read(*bytes, section, key) : std::string();
}

bool write_config_value(const std::wstring& path, std::string_view section, std::string_view key,
                        std::string_view value) {
  // Windows refuses to replace a read-only file; say so here as well, so that the refusal does not
  // depend on the file system below (Wine run as root would replace it anyway).
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const auto old_bytes = read_whole_file(path);
  if (!old_bytes) return false;  // writing now would lose the lines that could not be read
  const std::string new_bytes = ini_write(*old_bytes, section, key, value);

  const std::wstring temporary = path + kTemporarySuffix;
  {
    const win::UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (!win::write_all(file.get(), new_bytes) || !FlushFileBuffers(file.get())) {
      DeleteFileW(temporary.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace quadrivo::update
