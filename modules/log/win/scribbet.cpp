// Scribbet.dll: appends one entry to log.txt in the run directory per call.
//
// The file is opened with full sharing and closed again before the call returns. Two processes
// may append at once (two copies of the program in one folder, or the program and its update
// module's host): each entry goes out in one write at the end of the file while this call holds
// an exclusive lock on one byte far past any real size. Appending alone is not atomic under every
// Windows implementation, and a lock on the real bytes would block readers of the log.
#include <windows.h>

#include <cstring>
#include <string>

#include "common/win/files.h"
#include "common/win/handles.h"
#include "modules/log/log_entry.h"
#include "common/win/run_directory.h"

namespace {

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kFarLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kFarLockOffsetHigh = 0x7FFFFFFF;

quadrivo::log::LocalTime local_time_now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

class AppendLock {
 public:
  explicit AppendLock(HANDLE file) : file_(file) {
    locked_ = LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, overlapped()) != 0;
  }
  ~AppendLock() {
    if (locked_) UnlockFileEx(file_, 0, 1, 0, overlapped());
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;

 private:
  OVERLAPPED* overlapped() {
    overlapped_ = {};
    overlapped_.Offset = kFarLockOffsetLow;
    overlapped_.OffsetHigh = kFarLockOffsetHigh;
    return &overlapped_;
  }
  HANDLE file_;
  OVERLAPPED overlapped_{};
  bool locked_ = false;
};

void append_entry(const char* message, int kind) {
  // The caller's buffer is only read.
  const std::string text = message ? std::string(message, std::strlen(message)) : std::string();

  const std::wstring path = quadrivo::win::run_path(L"\\log.txt");
  // Windows refuses to open a read-only file for writing; say so here as well, so that the
  // refusal does not depend on the file system below (Wine run as root would write anyway).
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
  const quadrivo::win::UniqueFile file(CreateFileW(path.c_str(),
                                                   GENERIC_READ | GENERIC_WRITE, kShareEverything, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const auto entry = quadrivo::log::entry_bytes(text, kind, local_time_now());
  if (!entry) return;

  const AppendLock lock(file.get());
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(file.get(), end, nullptr, FILE_END)) return;
  quadrivo::win::write_all(file.get(), *entry);
}

}  // namespace

extern "C" int __stdcall Scribbet(const char* message, int kind) {
  // No exception may cross the module boundary; a failing entry is never noticed by the caller.
  try {
    append_entry(message, kind);
  } catch (...) {
  }
  return 0;
}
