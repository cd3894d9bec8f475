#include "common/win/run_directory.h"

#include <windows.h>

namespace quadrivo::win {

std::wstring host_executable_path() {
  // Paths may be longer than MAX_PATH; grow until the name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring run_directory() {
  std::wstring path = host_executable_path();
  const std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {};
  path.resize(separator);
  return path;
}

std::wstring run_path(std::wstring_view suffix) {
  std::wstring path = run_directory();
  path += suffix;
  return path;
}

std::wstring directory_to_enter(std::wstring_view directory) {
  std::wstring path(directory);
  const bool bare_drive = path.size() == 2 && path[1] == L':';
  if (bare_drive) path += L'\\';
  return path;
}

bool enter_directory(std::wstring_view directory) {
  return SetCurrentDirectoryW(directory_to_enter(directory).c_str()) != 0;
}

}  // namespace quadrivo::win
