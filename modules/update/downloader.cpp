#include "downloader.h"

#include <limits>
#include <vector>

namespace quadrivo::update {
namespace {

constexpr wchar_t kTemporarySuffix[] = L".part";
constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr std::uint64_t kLargestFile = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());

// The module this code lives in: Novavis.dll, or the test program that links it statically.
HMODULE this_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

bool write_all(HANDLE file, const char* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

Downloader::~Downloader() {
  stop_ = true;
  // A worker that has finished may be the very thread unloading the module (it drops its
  // reference on the way out): never wait for it then, nor for the current thread.
  if (thread_ && state_.load() == TransferState::kRunning && GetThreadId(thread_.get()) != GetCurrentThreadId()) {
    WaitForSingleObject(thread_.get(), INFINITE);
  }
}

std::wstring Downloader::temporary_path(const std::wstring& save_path) { return save_path + kTemporarySuffix; }

std::uint32_t Downloader::start(const std::string& address, const std::wstring& save_path,
                                const HttpTimeouts& timeouts) {
  if (state_.load() == TransferState::kRunning) {
    return address == address_ && save_path == save_path_ ? last_transfer_ : 0;
  }
  if (thread_) {
    WaitForSingleObject(thread_.get(), INFINITE);  // it has ended its work; let it leave
    thread_.reset();
  }
  address_ = address;
  save_path_ = save_path;
  temporary_path_ = temporary_path(save_path);
  timeouts_ = timeouts;
  stop_ = false;
  received_ = 0;
  speed_count_ = 0;

  // The worker holds a reference on the module while it runs, so that a host freeing the module
  // cannot pull the code from under it; it drops it as it leaves.
  pinned_module_ = nullptr;
  const HMODULE module = this_module();
  if (module && module != GetModuleHandleW(nullptr)) {
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&this_module),
                       &pinned_module_);
  }
  state_ = TransferState::kRunning;
  thread_.reset(CreateThread(nullptr, 0, &Downloader::thread_main, this, 0, nullptr));
  if (!thread_) {
    state_ = TransferState::kFailed;
    if (pinned_module_) FreeLibrary(pinned_module_);
    pinned_module_ = nullptr;
    return 0;
  }
  return ++last_transfer_;
}

DWORD WINAPI Downloader::thread_main(void* self) {
  auto* downloader = static_cast<Downloader*>(self);
  const HMODULE pinned = downloader->pinned_module_;
  bool complete = false;
  try {
    complete = downloader->transfer();
  } catch (...) {
    complete = false;
  }
  if (!complete) {
    downloader->close_temporary_file();
    DeleteFileW(downloader->temporary_path_.c_str());
  }
  downloader->received_ = 0;
  downloader->speed_count_ = 0;
  // The last touch of the object: after this the user-interface thread may start another transfer.
  downloader->state_ = complete ? TransferState::kComplete : TransferState::kFailed;
  if (pinned) FreeLibraryAndExitThread(pinned, 0);
  return 0;
}

bool Downloader::transfer() {
  HttpGet get;
  if (!get.send(address_, timeouts_)) return false;
  if (get.status() != HTTP_STATUS_OK) return false;
  const auto announced = get.announced_length();
  if (announced && *announced > kLargestFile) return false;

  const HANDLE file = CreateFileW(temporary_path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  temporary_file_ = file;

  // The file gets its whole length at once: the progress tick reads the size of the file as the
  // size of the new version.
  if (announced) {
    LARGE_INTEGER length;
    length.QuadPart = static_cast<LONGLONG>(*announced);
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, length, nullptr, FILE_BEGIN) || !SetEndOfFile(file) ||
        !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
      return false;
    }
  }
  if (!receive_into_file(get, file)) return false;
  if (!FlushFileBuffers(file)) return false;
  close_temporary_file();
  return MoveFileExW(temporary_path_.c_str(), save_path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         0;
}

bool Downloader::receive_into_file(HttpGet& get, HANDLE file) {
  const auto announced = get.announced_length();
  std::uint64_t total = 0;
  std::vector<char> buffer(kReadChunkBytes);
  for (;;) {
    if (stop_) return false;
    const auto read = get.read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (!read) return false;  // time-out, or the connection dropped
    if (*read == 0) break;
    total += *read;
    // More than announced (a chunked body that overruns its Content-Length) is not the file the
    // server described; neither is a body that would not fit the 32-bit sizes of the progress.
    if ((announced && total > *announced) || total > kLargestFile) return false;
    if (!write_all(file, buffer.data(), *read)) return false;
    received_ += static_cast<std::int32_t>(*read);
    speed_count_ += static_cast<std::int32_t>(*read);
  }
  return !announced || total == *announced;
}

void Downloader::close_temporary_file() {
  const HANDLE file = temporary_file_.exchange(INVALID_HANDLE_VALUE);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

TransferState Downloader::state(std::uint32_t transfer) const {
  if (transfer == 0 || transfer != last_transfer_) return TransferState::kFailed;
  return state_.load();
}

std::int32_t Downloader::take_speed() {
  const std::int32_t count = speed_count_.exchange(0);
  return state_.load() == TransferState::kRunning ? count : 0;
}

std::int32_t Downloader::received() const {
  return state_.load() == TransferState::kRunning ? received_.load() : 0;
}

void Downloader::wait_until_idle() {
  if (thread_ && GetThreadId(thread_.get()) != GetCurrentThreadId()) WaitForSingleObject(thread_.get(), INFINITE);
}

void Downloader::abandon_at_process_end() {
  if (state_.load() != TransferState::kRunning) return;
  close_temporary_file();
  DeleteFileW(temporary_path_.c_str());
}

}  // namespace quadrivo::update
