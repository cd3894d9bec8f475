// The background downloader of the update module: one transfer at a time on a worker thread of
// its own, with the counts a progress tick reads from the user-interface thread.
//
// A transfer writes into a temporary file beside the save path, given the announced length as
// soon as the response head is in, and renames it into place only when it is complete: status 200
// and exactly the announced length (or, with none announced, a body that ended cleanly). On any
// other end the temporary file is deleted, so the save path never holds a partial program.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "handles.h"
#include "http_fetch.h"

namespace quadrivo::update {

enum class TransferState { kRunning, kComplete, kFailed };

class Downloader {
 public:
  Downloader() = default;
  // Stops a transfer that is still running, waits for its thread, and so deletes its file.
  ~Downloader();
  Downloader(const Downloader&) = delete;
  Downloader& operator=(const Downloader&) = delete;

  // Starts fetching address (GBK text) into save_path and returns the transfer's number, never 0.
  // While a transfer runs, asking for the same address and save path again returns the running
  // transfer's number, and any other task is refused with 0; so is a task whose thread cannot
  // start.
  std::uint32_t start(const std::string& address, const std::wstring& save_path, const HttpTimeouts& timeouts);

  // What became of a transfer; kFailed for 0 and numbers this downloader never gave.
  TransferState state(std::uint32_t transfer) const;

  // Bytes received since the previous speed query (the query resets the count); 0 while no
  // transfer runs.
  std::int32_t take_speed();

  // Bytes received so far by the running transfer; 0 while none runs.
  std::int32_t received() const;

  // Blocks until no transfer runs any more (for tests and orderly shutdowns).
  void wait_until_idle();

  // For the end of the process, when Windows has already ended the worker thread: closes the
  // temporary file the worker held and deletes it. Uses nothing but kernel32, so it may run from
  // DllMain.
  void abandon_at_process_end();

  // The temporary file of a transfer into save_path.
  static std::wstring temporary_path(const std::wstring& save_path);

 private:
  static DWORD WINAPI thread_main(void* self);
  bool transfer();
  bool receive_into_file(HttpGet& get, HANDLE file);
  void close_temporary_file();

  // Written by start() before the worker begins, read-only while it runs.
  std::string address_;
  std::wstring save_path_;
  std::wstring temporary_path_;
  HttpTimeouts timeouts_;
  HMODULE pinned_module_ = nullptr;
  win::UniqueKernelHandle thread_;

  std::uint32_t last_transfer_ = 0;
  std::atomic<TransferState> state_{TransferState::kFailed};
  std::atomic<bool> stop_{false};
  std::atomic<std::int32_t> received_{0};
  std::atomic<std::int32_t> speed_count_{0};
  std::atomic<HANDLE> temporary_file_{INVALID_HANDLE_VALUE};
};

}  // namespace quadrivo::update
