#include "tests/win/support/test_support.h"

#include <shellapi.h>

#include "common/win/handles.h"
#include "common/win/run_directory.h"

namespace quadrivo::test {

ScratchDirectory::ScratchDirectory(const std::wstring& name_hint) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base(temp, length);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (unsigned attempt = 0;; ++attempt) {
    path_ = base + L"\\" + name_hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(attempt);
    if (CreateDirectoryW(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

std::vector<std::wstring> ScratchDirectory::files_matching(const std::wstring& pattern) const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(file(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

ScratchDirectory::~ScratchDirectory() {
  if (path_.empty()) return;
  // Read-only files a test made must not stop the clean-up.
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      SetFileAttributesW((path_ + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::wstring from = path_ + L'\0';  // SHFileOperation wants a double-NUL-terminated list
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

std::wstring build_bin_directory() { return win::run_directory(); }

bool copy_from_build(const std::wstring& name, const std::wstring& directory) {
  return CopyFileW((build_bin_directory() + L"\\" + name).c_str(), (directory + L"\\" + name).c_str(), FALSE) != 0;
}

std::optional<std::string> read_file_bytes(const std::wstring& path) {
  const win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool write_file_bytes(const std::wstring& path, const std::string& bytes) {
  const win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ChildProcess::ChildProcess(const std::wstring& command_line, const std::wstring& working_directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring mutable_line = command_line;
  if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      working_directory.empty() ? nullptr : working_directory.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

ChildProcess::~ChildProcess() {
  if (!started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> ChildProcess::wait(DWORD timeout_ms) {
  if (!started() || WaitForSingleObject(info_.hProcess, timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::optional<DWORD> run_process(const std::wstring& command_line, const std::wstring& working_directory,
                                 DWORD timeout_ms) {
  ChildProcess child(command_line, working_directory);
  return child.wait(timeout_ms);
}

std::vector<std::string> exported_names(const std::wstring& module_path) {
  // Read from the file itself: no code of the module runs, and no loader behaviour is involved.
  std::vector<std::string> names;
  const auto file = read_file_bytes(module_path);
  if (!file || file->size() < sizeof(IMAGE_DOS_HEADER)) return names;
  const std::string& bytes = *file;
  const auto at = [&](std::size_t offset, std::size_t size) { return offset + size <= bytes.size(); };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  if (!at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32))) return names;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const auto file_offset = [&](DWORD rva) -> std::size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const auto& section = sections[i];
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData) {
        return rva - section.VirtualAddress + section.PointerToRawData;
      }
    }
    return bytes.size();
  };
  // The 64-bit test build's modules are PE32+, whose optional header is laid out otherwise.
  const bool pe32_plus = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
  if (pe32_plus && !at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64))) return names;
  const IMAGE_DATA_DIRECTORY& directory =
      pe32_plus ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT]
                : nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0) return names;
  const std::size_t exports_at = file_offset(directory.VirtualAddress);
  if (!at(exports_at, sizeof(IMAGE_EXPORT_DIRECTORY))) return names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(bytes.data() + exports_at);
  const std::size_t names_at = file_offset(exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames && at(names_at + 4 * i, 4); ++i) {
    const auto name_rva = *reinterpret_cast<const DWORD*>(bytes.data() + names_at + 4 * i);
    const std::size_t name_at = file_offset(name_rva);
    if (name_at < bytes.size()) names.emplace_back(bytes.c_str() + name_at);
  }
  return names;
}

std::wstring quote(const std::wstring& argument) { return L"\"" + argument + L"\""; }

namespace {

struct WindowSearch {
  DWORD process;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK find_visible(HWND window, LPARAM search_pointer) {
  auto* search = reinterpret_cast<WindowSearch*>(search_pointer);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (process == search->process && IsWindowVisible(window) && std::wstring(name) == search->class_name) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND visible_window(DWORD process, const wchar_t* class_name) {
  WindowSearch search{process, class_name, nullptr};
  EnumWindows(find_visible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND wait_for_window(DWORD process, const wchar_t* class_name, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (const HWND found = visible_window(process, class_name)) return found;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    Sleep(20);
  }
}

}  // namespace quadrivo::test
