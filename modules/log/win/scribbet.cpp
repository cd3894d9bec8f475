// Scribbet.dll: appends one entry to log.txt in the run directory per call.
//
// The file is opened with full sharing and closed again before the call returns. Two processes
// may append at once (two copies of the program in one folder, or the program and its update
// module's host): each entry goes out in one write at the end of the file while this call holds
// an exclusive lock on one byte far past any real size. Appending alone is not atomic under every
// Windows implementation, and a lock on the real bytes would block readers of the log.
//
// The module is written against kernel32 alone, without a C or C++ runtime (linked with
// -nostdlib): the entry's bytes come from log_format.h, memory from the process heap, and nothing
// here can throw. It loads in a few pages and has no start-up code of its own.
#include <windows.h>

#include "common/win/handles.h"
#include "modules/log/log_format.h"

namespace {

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kFarLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kFarLockOffsetHigh = 0x7FFFFFFF;
constexpr wchar_t kLogFileName[] = L"log.txt";
constexpr DWORD kFirstPathCapacity = MAX_PATH;
constexpr DWORD kLongestPath = 32768;  // the longest path Windows has, in UTF-16 units

quadrivo::log::LocalTime local_time_now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// A block of the process heap, released when it goes out of scope; empty when the heap refused.
template <typename Element>
class HeapBlock {
 public:
  explicit HeapBlock(SIZE_T count)
      : data_(count <= ~SIZE_T{0} / sizeof(Element)
                  ? static_cast<Element*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(Element)))
                  : nullptr) {}
  ~HeapBlock() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  Element* get() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  Element* data_;
};

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

SIZE_T text_length(const char* text) {
  SIZE_T length = 0;
  if (text) {
    while (text[length] != '\0') ++length;
  }
  return length;
}

// The path of log.txt beside the host executable, written into a heap block of kLongestPath
// units; false when the executable's name cannot be had or the whole path does not fit.
bool log_path(wchar_t* path) {
  const DWORD length = GetModuleFileNameW(nullptr, path, kLongestPath);
  if (length == 0 || length >= kLongestPath) return false;
  DWORD directory_end = length;
  while (directory_end > 0 && path[directory_end - 1] != L'\\' && path[directory_end - 1] != L'/') --directory_end;
  if (directory_end == 0) return false;
  const DWORD name_length = sizeof kLogFileName / sizeof kLogFileName[0];  // with its NUL
  if (directory_end + name_length > kLongestPath) return false;
  for (DWORD i = 0; i < name_length; ++i) path[directory_end + i] = kLogFileName[i];
  return true;
}

// The module's own whole-buffer write: the shared one (common/win/files.h) needs the C++ runtime
// this module goes without.
bool write_all(HANDLE file, const char* data, SIZE_T size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

void append_entry(const char* message, int kind) {
  const SIZE_T message_length = text_length(message);  // the caller's buffer is only read
  if (message_length > ~SIZE_T{0} - quadrivo::log::kEntryOverhead) return;

  const HeapBlock<wchar_t> path(kLongestPath);
  if (!path || !log_path(path.get())) return;
  // Windows refuses to open a read-only file for writing; say so here as well, so that the
  // refusal does not depend on the file system below (Wine run as root would write anyway).
  const DWORD attributes = GetFileAttributesW(path.get());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
  const quadrivo::win::UniqueFile file(CreateFileW(path.get(), GENERIC_READ | GENERIC_WRITE, kShareEverything,
                                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  // An unlisted kind still creates the file, as every call does; it writes nothing.
  if (!file || quadrivo::log::kind_label(kind) == nullptr) return;
  const HeapBlock<char> entry(message_length + quadrivo::log::kEntryOverhead);
  if (!entry) return;
  const SIZE_T entry_length =
      quadrivo::log::put_entry(entry.get(), message ? message : "", message_length, kind, local_time_now());

  const AppendLock lock(file.get());
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(file.get(), end, nullptr, FILE_END)) return;
  write_all(file.get(), entry.get(), entry_length);
}

}  // namespace

// What the compiler may call for copies and clears of its own; no C runtime provides them here.
extern "C" void* memcpy(void* target, const void* source, size_t size) {
  auto* to = static_cast<volatile unsigned char*>(target);
  const auto* from = static_cast<const unsigned char*>(source);
  while (size-- > 0) *to++ = *from++;
  return target;
}

extern "C" void* memset(void* target, int value, size_t size) {
  auto* to = static_cast<volatile unsigned char*>(target);
  while (size-- > 0) *to++ = static_cast<unsigned char>(value);
  return target;
}

// The module's entry point in place of the C runtime's: there is nothing to set up or tear down.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" int __stdcall Scribbet(const char* message, int kind) {
  // Nothing here throws; a failing entry is never noticed by the caller.
  append_entry(message, kind);
  return 0;
}
