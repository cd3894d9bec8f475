// The update window of Novavis: its form, the check that runs as soon as it is shown, and the
// progress tick that follows the download and hands over to the new version.
//
// Everything the module keeps between calls lives in one UpdateModule; everything the host
// program provides (the run directory, the log, message boxes, ending the process) comes in an
// UpdateHost, so that the tests can run the same window in their own process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/win/message_box.h"
#include "modules/update/win/downloader.h"
#include "modules/update/win/signature_check.h"
#include "modules/update/win/xml_query.h"

namespace quadrivo::update {

// The progress tick's period while a download runs.
inline constexpr UINT kProgressPeriodMs = 1500;

// The controls of the form, by their names; the values are their control ids.
enum UpdateWindowControl : int {
  标签_下载速度 = 101,
  标签_已经下载大小 = 102,
  标签_总大小 = 103,
  进度条_下载进度 = 104,
  标签_下载进度 = 105,
};
// The progress timer's id (its period is 0, off, until a download starts).
inline constexpr UINT_PTR 时钟1 = 1;

// The window class of the update window.
inline constexpr wchar_t kUpdateWindowClass[] = L"QuadrivoUpdateWindow";

// Module-wide state, created when the module loads and kept until it unloads: one run of the
// program shares it between all its checks.
struct UpdateModule {
  std::string new_version_text;   // replaced only by a successful "Update/@2"
  std::string download_address;   // replaced only by a successful "Update/@1"
  std::string signature_text;     // "Update/@3" of the last document that loaded; empty if it had none
  UpdateDocument document;        // the last document loaded
  Downloader downloader;          // one transfer at a time
  HWND open_window = nullptr;     // the update window while one is shown
};

struct UpdateHost {
  std::wstring run_directory;                                  // without a trailing backslash
  std::function<void(const std::string& gbk_text, int kind)> write_log;
  win::MessageBoxFunction message_box = win::message_box;     // the module's boxes; empty: answered OK
  std::function<void()> end_process;                           // after the hand-over; never returns in the DLL
  UINT progress_period_ms = kProgressPeriodMs;
  PublicKeyBlob publisher_key = publisher_public_key();       // whose signature a download must carry
  HttpTimeouts timeouts;
  std::function<void(HWND update_window)> after_tick;          // tests watch the ticks; empty otherwise
};

// Shows the update window, runs the check and, while a download runs, keeps dispatching every
// message of the thread, the host's windows included (none of them is disabled), until the
// window closes. Called again while the window is open (from a menu of the host that the loop
// dispatched), it brings the open window to the front and returns at once.
void run_update_window(UpdateModule& module, const UpdateHost& host);

}  // namespace quadrivo::update
