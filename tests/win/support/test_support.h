// Helpers shared by the tests that run under Wine: scratch run directories, child processes,
// file bytes, and the export table of a built module.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quadrivo::test {

// A fresh, empty directory under the temporary folder; removed with its contents at the end.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::wstring& name_hint = L"quadrivo");
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
  // Names (not paths) of the files here that match a wildcard pattern such as L"*.part".
  std::vector<std::wstring> files_matching(const std::wstring& pattern) const;

 private:
  std::wstring path_;
};

// The folder of the running test program: where the build put the deliverables.
std::wstring build_bin_directory();

// Copies a file of the build folder into a directory; false on failure.
bool copy_from_build(const std::wstring& name, const std::wstring& directory);

std::optional<std::string> read_file_bytes(const std::wstring& path);
bool write_file_bytes(const std::wstring& path, const std::string& bytes);
bool file_exists(const std::wstring& path);

// Starts a program (its command line quoted as given), waits at most timeout_ms, and returns its
// exit code, or nothing when it could not be started or did not end in time (it is then killed).
std::optional<DWORD> run_process(const std::wstring& command_line, const std::wstring& working_directory,
                                 DWORD timeout_ms = 60000);

// A started child process that is killed if it is still running at the end of the scope.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& command_line, const std::wstring& working_directory);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  bool started() const { return info_.hProcess != nullptr; }
  std::optional<DWORD> wait(DWORD timeout_ms);
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// The names in the export table of a module file.
std::vector<std::string> exported_names(const std::wstring& module_path);

std::wstring quote(const std::wstring& argument);

// A visible top-level window of the given class that belongs to the process; nullptr when there is
// none (yet).
HWND visible_window(DWORD process, const wchar_t* class_name);
// The same, waiting at most timeout_ms for it to appear.
HWND wait_for_window(DWORD process, const wchar_t* class_name, DWORD timeout_ms = 30000);

}  // namespace quadrivo::test
