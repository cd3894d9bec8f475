#include "modules/update/win/downloader.h"

#include <limits>
#include <string_view>
#include <vector>

#include "common/win/files.h"
#include "common/win/module.h"

namespace quadrivo::update {
namespace {

constexpr wchar_t kTemporarySuffix[] = L".part";
constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr std::uint64_t kLargestFile = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
// Another name is tried when a file of an earlier process with the same id was left behind.
constexpr int kTemporaryNameAttempts = 16;

// Numbers the temporary files of every downloader of the process.
std::atomic<std::uint32_t> g_temporary_files{0};

// Plain decimal. std::to_wstring would bring in the C runtime's whole wide printf.
std::wstring decimal(std::uint32_t value) {
  wchar_t digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::wstring text;
  while (count > 0) text += digits[--count];
  return text;
}

// "<save path>.<process id>-<number>[-<attempt>].part": the process id keeps two programs in one
// folder apart, the number the transfers of one program.
std::wstring temporary_name(const std::wstring& save_path, std::uint32_t number, int attempt) {
  std::wstring name = save_path + L"." + decimal(GetCurrentProcessId()) + L"-" + decimal(number);
  if (attempt > 0) name += L"-" + decimal(static_cast<std::uint32_t>(attempt));
  return name + kTemporarySuffix;
}

// Holds an SRW lock for a scope. The progress is written at every piece of the body and read at
// every tick: exclusive both ways, since a reader holds it only for two copies.
class LockScope {
 public:
  explicit LockScope(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~LockScope() { ReleaseSRWLockExclusive(&lock_); }
  LockScope(const LockScope&) = delete;
  LockScope& operator=(const LockScope&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

Downloader::~Downloader() {
  stop_ = true;
  // A worker that has finished may be the very thread unloading the module (it drops its
  // reference on the way out): never wait for it then, nor for the current thread.
  if (thread_ && state_.load() == TransferState::kRunning && GetThreadId(thread_.get()) != GetCurrentThreadId()) {
    WaitForSingleObject(thread_.get(), INFINITE);
  }
}

bool Downloader::busy_with_another(const std::string& address, const std::wstring& save_path) const {
  return state_.load() == TransferState::kRunning && (address != task_.address || save_path != task_.save_path);
}

std::uint32_t Downloader::start(DownloadTask task) {
  if (state_.load() == TransferState::kRunning) {
    return task.address == task_.address && task.save_path == task_.save_path ? last_transfer_ : 0;
  }
  if (thread_) {
    WaitForSingleObject(thread_.get(), INFINITE);  // it has ended its work; let it leave
    thread_.reset();
  }
  task_ = std::move(task);
  const std::uint32_t number = last_transfer_ + 1;
  temporary_number_ = ++g_temporary_files;
  temporary_path_ = temporary_name(task_.save_path, temporary_number_, 0);
  stop_ = false;
  speed_count_ = 0;
  completed_size_ = 0;
  created_temporary_file_ = false;
  set_progress(0, std::nullopt);

  // The worker holds a reference on the module while it runs, so that a host freeing the module
  // cannot pull the code from under it; it drops it as it leaves.
  pinned_module_ = nullptr;
  const HMODULE module = win::this_module();
  if (module && module != GetModuleHandleW(nullptr)) {
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&win::this_module),
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
  last_transfer_ = number;
  return number;
}

DWORD WINAPI Downloader::thread_main(void* self) {
  auto* downloader = static_cast<Downloader*>(self);
  const HMODULE pinned = downloader->pinned_module_;
  const TransferState end = downloader->transfer();
  if (end != TransferState::kComplete) downloader->delete_temporary_file();
  downloader->set_progress(0, std::nullopt);
  downloader->speed_count_ = 0;
  // The last touch of the object: after this the user-interface thread may start another transfer.
  downloader->state_ = end;
  if (pinned) FreeLibraryAndExitThread(pinned, 0);
  return 0;
}

TransferState Downloader::transfer() {
  HttpGet get;
  if (!get.send(task_.address, task_.timeouts)) return TransferState::kFailed;
  if (get.status() != HTTP_STATUS_OK) return TransferState::kFailed;
  const auto announced = get.announced_length();
  if (announced && *announced > kLargestFile) return TransferState::kFailed;
  if (announced) set_progress(0, static_cast<std::int32_t>(*announced));

  if (!create_temporary_file()) return TransferState::kNotSaved;
  const HANDLE file = temporary_file_.load();
  // The file gets its whole length at once, so a full disk shows before the transfer, not after.
  if (announced) {
    LARGE_INTEGER length;
    length.QuadPart = static_cast<LONGLONG>(*announced);
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, length, nullptr, FILE_BEGIN) || !SetEndOfFile(file) ||
        !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
      return TransferState::kNotSaved;
    }
  }
  const TransferState received = receive_into_file(get, file);
  if (received != TransferState::kComplete) return received;
  if (!FlushFileBuffers(file)) return TransferState::kNotSaved;
  return keep_if_accepted(file);
}

TransferState Downloader::receive_into_file(HttpGet& get, HANDLE file) {
  const auto announced = get.announced_length();
  const std::optional<std::int32_t> total =
      announced ? std::optional<std::int32_t>(static_cast<std::int32_t>(*announced)) : std::nullopt;
  std::uint64_t count = 0;
  std::vector<char> buffer(kReadChunkBytes);
  for (;;) {
    if (stop_) return TransferState::kFailed;
    const auto read = get.read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (!read) return TransferState::kFailed;  // time-out, or the connection dropped
    if (*read == 0) break;
    count += *read;
    // More than announced (a chunked body that overruns its Content-Length) is not the file the
    // server described; neither is a body that would not fit the 32-bit sizes of the progress.
    if ((announced && count > *announced) || count > kLargestFile) return TransferState::kFailed;
    if (!win::write_all(file, std::string_view(buffer.data(), *read))) return TransferState::kNotSaved;
    set_progress(static_cast<std::int32_t>(count), total);
    speed_count_ += static_cast<std::int32_t>(*read);
  }
  if (announced && count != *announced) return TransferState::kFailed;
  completed_size_ = static_cast<std::int32_t>(count);
  return TransferState::kComplete;
}

TransferState Downloader::keep_if_accepted(HANDLE file) {
  if (task_.accept && !task_.accept(file)) return TransferState::kRefused;
  // Renamed while still open: the handle lets others read and delete but not write, so the file
  // that was checked is the file that lands at the save path.
  if (!MoveFileExW(temporary_path_.c_str(), task_.save_path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return TransferState::kNotSaved;
  }
  close_temporary_file();
  created_temporary_file_ = false;  // it is the saved file now
  return TransferState::kComplete;
}

bool Downloader::create_temporary_file() {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary_path_ = temporary_name(task_.save_path, temporary_number_, attempt);
    // CREATE_NEW: a file that exists is someone else's, never overwritten nor deleted.
    const HANDLE file = CreateFileW(temporary_path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      temporary_file_ = file;
      created_temporary_file_ = true;
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

void Downloader::close_temporary_file() {
  const HANDLE file = temporary_file_.exchange(INVALID_HANDLE_VALUE);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void Downloader::delete_temporary_file() {
  close_temporary_file();
  if (created_temporary_file_.exchange(false)) DeleteFileW(temporary_path_.c_str());
}

void Downloader::set_progress(std::int32_t received, std::optional<std::int32_t> total) {
  const LockScope lock(progress_lock_);
  received_ = received;
  total_ = total;
}

TransferState Downloader::state(std::uint32_t transfer) const {
  if (transfer == 0 || transfer != last_transfer_) return TransferState::kFailed;
  return state_.load();
}

std::int32_t Downloader::take_speed() {
  const std::int32_t count = speed_count_.exchange(0);
  return state_.load() == TransferState::kRunning ? count : 0;
}

std::int32_t Downloader::received() const { return progress().received; }

TransferProgress Downloader::progress() const {
  if (state_.load() != TransferState::kRunning) return {};
  const LockScope lock(progress_lock_);
  return {received_, total_};
}

std::wstring Downloader::temporary_path() const { return temporary_path_; }

void Downloader::wait_until_idle() {
  if (thread_ && GetThreadId(thread_.get()) != GetCurrentThreadId()) WaitForSingleObject(thread_.get(), INFINITE);
}

void Downloader::abandon_at_process_end() {
  if (state_.load() != TransferState::kRunning) return;
  delete_temporary_file();
}

}  // namespace quadrivo::update
