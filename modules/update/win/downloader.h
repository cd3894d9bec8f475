// The background downloader of the update module: one transfer at a time on a worker thread of
// its own, with the counts a progress tick reads from the user-interface thread.
//
// A transfer writes into a temporary file of its own beside the save path, given the announced
// length as soon as the response head is in. When the body is complete (status 200 and exactly the
// announced length, or, with none announced, a body that ended cleanly) the task's check reads the
// file; only a file it accepts is renamed into place. On any other end the temporary file is
// deleted, so the save path never holds a partial or unchecked program.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/win/handles.h"
#include "modules/update/win/http_fetch.h"

namespace quadrivo::update {

enum class TransferState {
  kRunning,
  kComplete,   // checked and renamed into place
  kFailed,     // the server or the network: no usable response, a body cut short or overlong
  kNotSaved,   // the temporary file could not be created, written or renamed
  kRefused,    // the complete file did not pass the task's check; deleted
};

struct DownloadTask {
  std::string address;     // GBK
  std::wstring save_path;
  HttpTimeouts timeouts;
  // Runs on the worker thread with the complete temporary file open for reading; true accepts it.
  std::function<bool(HANDLE file)> accept;
};

// What a progress tick shows, taken in one step so that the count and the size belong together.
struct TransferProgress {
  std::int32_t received = 0;             // 0 while no transfer runs
  std::optional<std::int32_t> total;     // the announced length; nothing when none was announced
};

class Downloader {
 public:
  Downloader() = default;
  // Stops a transfer that is still running, waits for its thread, and so deletes its file.
  ~Downloader();
  Downloader(const Downloader&) = delete;
  Downloader& operator=(const Downloader&) = delete;

  // Starts the task and returns the transfer's number, never 0. While a transfer runs, the same
  // address and save path again return the running transfer's number, and any other task is
  // refused with 0; so is a task whose thread cannot start.
  std::uint32_t start(DownloadTask task);

  // True while a transfer runs whose address or save path differ from these: start() would
  // refuse them.
  bool busy_with_another(const std::string& address, const std::wstring& save_path) const;

  // What became of a transfer; kFailed for 0 and numbers this downloader never gave.
  TransferState state(std::uint32_t transfer) const;

  // Bytes received since the previous speed query (the query resets the count); 0 while no
  // transfer runs.
  std::int32_t take_speed();

  // Bytes received so far by the running transfer; 0 while none runs.
  std::int32_t received() const;

  // The received count and the announced length, read together.
  TransferProgress progress() const;

  // The size of the file the last transfer completed (0 when it did not complete).
  std::int32_t completed_size() const { return completed_size_.load(); }

  // The temporary file of the running or last transfer: unique to it, so two programs in one
  // folder never share one. Empty before the first transfer. Read it while no transfer runs: the
  // worker may still change it while it looks for a free name.
  std::wstring temporary_path() const;

  // Blocks until no transfer runs any more (for tests and orderly shutdowns).
  void wait_until_idle();

  // For the end of the process, when Windows has already ended the worker thread: closes the
  // temporary file the worker held and deletes it. Uses nothing but kernel32, so it may run from
  // DllMain.
  void abandon_at_process_end();

 private:
  static DWORD WINAPI thread_main(void* self);
  TransferState transfer();
  TransferState receive_into_file(HttpGet& get, HANDLE file);
  TransferState keep_if_accepted(HANDLE file);
  bool create_temporary_file();
  void close_temporary_file();
  void delete_temporary_file();
  void set_progress(std::int32_t received, std::optional<std::int32_t> total);

  // Written by start() before the worker begins, read-only while it runs.
  DownloadTask task_;
  std::uint32_t temporary_number_ = 0;
  std::wstring temporary_path_;
  HMODULE pinned_module_ = nullptr;
  win::UniqueKernelHandle thread_;

  std::uint32_t last_transfer_ = 0;
  std::atomic<TransferState> state_{TransferState::kFailed};
  std::atomic<bool> stop_{false};
  std::atomic<std::int32_t> speed_count_{0};
  std::atomic<std::int32_t> completed_size_{0};
  std::atomic<HANDLE> temporary_file_{INVALID_HANDLE_VALUE};
  std::atomic<bool> created_temporary_file_{false};

  // The received count and the announced length change together under this lock.
  mutable SRWLOCK progress_lock_ = SRWLOCK_INIT;
  std::int32_t received_ = 0;
  std::optional<std::int32_t> total_;
};

}  // namespace quadrivo::update
