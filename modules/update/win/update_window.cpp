#include "modules/update/win/update_window.h"

#include <commctrl.h>

#include <cstdint>

#include "modules/update/win/config_file.h"
#include "common/scoped_flag.h"
#include "common/win/form.h"
#include "common/win/handles.h"
#include "modules/log/log_entry.h"
#include "common/win/message_box.h"
#include "common/win/message_loop.h"
#include "modules/update/signature_rules.h"
#include "modules/update/update_rules.h"
#include "common/win/wide_text.h"
#include "common/win/window.h"

namespace quadrivo::update {
namespace {

// The form. Positions are the window's outer rectangle on the screen and the controls' places in
// its client area, in pixels.
constexpr int kWindowLeft = 50;
constexpr int kWindowTop = 50;
constexpr int kWindowWidth = 371;
constexpr int kWindowHeight = 118;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct UpdateControls {
  HWND 标签_下载速度 = nullptr;
  HWND 标签_已经下载大小 = nullptr;
  HWND 标签_总大小 = nullptr;
  HWND 进度条_下载进度 = nullptr;
  HWND 标签_下载进度 = nullptr;
};

namespace update_kinds {
inline constexpr win::ControlKind kLabel{L"STATIC", SS_LEFT | SS_NOPREFIX, 0, 0};
// The percentage spans the whole window from 8 pixels left of it: centred, it is seen whole. Its
// background is transparent (WM_CTLCOLORSTATIC).
inline constexpr win::ControlKind kPercentLabel{L"STATIC", SS_CENTER | SS_NOPREFIX, 0, 0};
inline constexpr win::ControlKind kProgressBar{PROGRESS_CLASSW, 0, 0, 0};
}  // namespace update_kinds

inline constexpr win::FontSpec kFont{"宋体", 12};

using C = UpdateControls;
constexpr win::FormControl<UpdateControls> kForm[] = {
    {"标签_下载速度", &C::标签_下载速度, nullptr, &update_kinds::kLabel, 19, 8, 88, 24, kSpeedCaptionAtStart, kFont,
     标签_下载速度},
    {"标签_已经下载大小", &C::标签_已经下载大小, nullptr, &update_kinds::kLabel, 131, 8, 95, 24,
     kReceivedCaptionAtStart, kFont, 标签_已经下载大小},
    {"标签_总大小", &C::标签_总大小, nullptr, &update_kinds::kLabel, 257, 8, 95, 24, kTotalCaptionAtStart, kFont,
     标签_总大小},
    {"进度条_下载进度", &C::进度条_下载进度, nullptr, &update_kinds::kProgressBar, 1, 39, 363, 19, nullptr, kFont,
     进度条_下载进度},
    {"标签_下载进度", &C::标签_下载进度, nullptr, &update_kinds::kPercentLabel, -8, 64, 376, 16,
     kPercentCaptionAtStart, kFont, 标签_下载进度},
};

constexpr int kProgressMinimum = 0;
constexpr int kProgressMaximum = 100;

constexpr DWORD kInputIdleWaitMs = 1000;

// Starts the program file itself: the whole path names it (blanks included), no arguments, in a
// normal window, without waiting for it to end. Whether it started is not reported.
void start_program(const std::wstring& path) {
  std::wstring command_line = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return;
  }
  const win::UniqueKernelHandle process_handle(process.hProcess);
  const win::UniqueKernelHandle thread_handle(process.hThread);
  WaitForInputIdle(process.hProcess, kInputIdleWaitMs);
}

// The Windows style of each kind of box.
UINT style_of(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::kPlain: return MB_OK;
    case NoticeKind::kYesNo: return MB_YESNO;
    case NoticeKind::kError: return MB_ICONERROR | MB_OK;
    case NoticeKind::kQuestionYesNo: return MB_ICONQUESTION | MB_YESNO;
  }
  return MB_OK;
}

class UpdateWindow : public win::Window {
 public:
  UpdateWindow(UpdateModule& module, const UpdateHost& host) : module_(module), host_(host) {}
  ~UpdateWindow() override { close(); }

  bool create();
  void check();
  void run_modal_loop();

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void on_gone() override { controls_ = UpdateControls(); }

  void on_tick();
  void show_progress(const ProgressCaptions& captions);
  void finish_download(TransferState state);
  void refuse(const Notice& notice);
  void start_download(const Signature& signature);
  void hand_over();
  bool record_version();

  void close();
  int show(const Notice& notice) const {
    return host_.message_box ? host_.message_box(notice.text, notice.title, style_of(notice.kind)) : IDOK;
  }
  bool is_open() const { return window() != nullptr; }
  void set_caption(UpdateWindowControl control, const std::string& gbk_text);
  void set_timer_period(UINT period_ms);
  void write_log(const std::string& gbk_text) const {
    if (host_.write_log) host_.write_log(gbk_text, log::kUpdate);
  }
  std::wstring config_path() const { return host_.run_directory + win::gbk_to_wide(kConfigFileSuffix); }

  UpdateModule& module_;
  const UpdateHost& host_;
  UpdateControls controls_;
  win::FontCache fonts_;
  std::wstring save_path_;
  std::uint32_t transfer_ = 0;
  bool in_tick_ = false;
};

bool UpdateWindow::create() {
  INITCOMMONCONTROLSEX common_controls{sizeof common_controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&common_controls);
  // No owner: the host's windows stay enabled and usable while this one is open.
  const win::WindowPlacement placement{0, kWindowStyle, kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight};
  if (!win::Window::create({kUpdateWindowClass}, placement, win::gbk_to_wide(kWindowTitle).c_str())) return false;
  if (!win::build_form<UpdateControls>(window(), kForm, controls_, fonts_)) return false;
  SendMessageW(controls_.进度条_下载进度, PBM_SETRANGE32, kProgressMinimum, kProgressMaximum);
  ShowWindow(window(), SW_SHOWNORMAL);
  ::UpdateWindow(window());
  SetForegroundWindow(window());
  return true;
}

LRESULT UpdateWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == 时钟1) on_tick();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lparam) == controls_.标签_下载进度) {
        const HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    default:
      break;
  }
  return default_handling(message, wparam, lparam);
}

void UpdateWindow::close() { destroy(); }

void UpdateWindow::set_caption(UpdateWindowControl control, const std::string& gbk_text) {
  if (!window()) return;
  const HWND label = GetDlgItem(window(), control);
  win::set_window_text(label, gbk_text);
  if (control == 标签_下载进度) {
    // A transparent label paints over what is behind it: have the old text erased first.
    RECT area;
    GetWindowRect(label, &area);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(window(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

void UpdateWindow::set_timer_period(UINT period_ms) {
  if (!window()) return;
  if (period_ms == 0) {
    KillTimer(window(), 时钟1);
  } else {
    SetTimer(window(), 时钟1, period_ms, nullptr);
  }
}

void UpdateWindow::check() {
  const std::string installed = read_config_value(config_path(), kVersionSection, kVersionKey);
  const std::string address = read_config_value(config_path(), kUpdateInfoSection, kUrlKey);
  const std::string body = http_fetch(address, host_.timeouts);
  if (module_.document.load(body)) {
    // The signature belongs to the document it came in: a document without one has none, even
    // when an earlier one had.
    module_.signature_text.clear();
    module_.document.query(kSignatureQuery, module_.signature_text);
  }
  module_.document.query(kVersionQuery, module_.new_version_text);
  write_log(old_new_version_log_text(installed, module_.new_version_text));

  if (is_up_to_date(installed, module_.new_version_text)) {
    close();
    show(kUpToDateNotice);
    write_log(kUpToDateText);
    return;
  }
  if (show(kNewVersionQuestion) != IDYES || !is_open()) {
    close();
    return;
  }
  module_.document.query(kDownloadAddressQuery, module_.download_address);
  // What the server sent goes into a file name and a request: refuse what could misplace the file
  // or fetch from anywhere but the web, before anything is downloaded.
  if (const Notice* refusal = refusal_notice(download_refusal(module_.new_version_text, module_.download_address))) {
    refuse(*refusal);
    return;
  }
  // Nothing is fetched that its publisher has not signed.
  const std::optional<Signature> signature = decode_signature(module_.signature_text);
  if (!signature) {
    refuse(kNoValidSignatureNotice);
    return;
  }
  save_path_ = host_.run_directory + win::gbk_to_wide(save_file_suffix(module_.new_version_text));
  // The downloader runs one transfer at a time, and one may still be running for a window closed
  // earlier: say so rather than blame the network afterwards.
  if (module_.downloader.busy_with_another(module_.download_address, save_path_)) {
    refuse(kTransferStillRunningNotice);
    return;
  }
  write_log(loggable_server_text(module_.download_address));
  start_download(*signature);
}

void UpdateWindow::refuse(const Notice& notice) {
  close();
  show(notice);
  write_log(notice.text);
}

void UpdateWindow::start_download(const Signature& signature) {
  ExpectedSignature expected{signature, module_.new_version_text, host_.publisher_key};
  DownloadTask task;
  task.address = module_.download_address;
  task.save_path = save_path_;
  task.timeouts = host_.timeouts;
  // On the downloader's thread, before the file is renamed into place.
  task.accept = [expected = std::move(expected)](HANDLE file) { return is_signed_release(file, expected); };
  set_timer_period(host_.progress_period_ms);
  transfer_ = module_.downloader.start(std::move(task));
}

void UpdateWindow::on_tick() {
  // A tick lets waiting events run, and another tick could come among them.
  if (in_tick_ || !window()) return;
  const ScopedFlag ticking(in_tick_);

  const std::int32_t speed = module_.downloader.take_speed();
  // The count and the size in one reading: the percentage never mixes two moments.
  const TransferProgress progress = module_.downloader.progress();
  show_progress(progress.total ? progress_captions(speed, progress.received, *progress.total)
                               : progress_captions_without_total(speed, progress.received));
  if (host_.after_tick) host_.after_tick(window());

  // The end of the download is the downloader's word, not a percentage of 0: that is also what a
  // tick shows before the first 1 % has arrived.
  const TransferState state = module_.downloader.state(transfer_);
  if (state == TransferState::kRunning) {
    win::pump_pending_messages();
    return;
  }
  if (!window()) return;
  set_timer_period(0);
  if (state == TransferState::kComplete) {
    // The question comes over a window that shows the whole file arrived.
    show_progress(completed_captions(module_.downloader.completed_size()));
    ::UpdateWindow(window());
  }
  finish_download(state);
}

void UpdateWindow::show_progress(const ProgressCaptions& captions) {
  set_caption(标签_下载速度, captions.speed);
  set_caption(标签_已经下载大小, captions.received);
  set_caption(标签_总大小, captions.total);
  set_caption(标签_下载进度, captions.percent_caption);
  SendMessageW(controls_.进度条_下载进度, PBM_SETPOS, static_cast<WPARAM>(captions.percent), 0);
}

void UpdateWindow::finish_download(TransferState state) {
  switch (state) {
    case TransferState::kComplete:
      break;
    case TransferState::kRefused:
      // The file is deleted already; nothing is started or recorded.
      refuse(kSignatureMismatchNotice);
      return;
    case TransferState::kNotSaved:
      refuse(kCannotSaveNotice);
      return;
    case TransferState::kRunning:
    case TransferState::kFailed:
      // The temporary file is gone already; nothing is started and Config.ini stays as it was.
      close();
      show(kDownloadFailedNotice);
      write_log(kLogDownloadFailed);
      return;
  }
  if (show(kRunNowQuestion) == IDYES) {
    hand_over();
    return;
  }
  close();
  write_log(record_version() ? kLogDownloadSucceeded : kLogDownloadFailed);
}

void UpdateWindow::hand_over() {
  start_program(save_path_);
  record_version();  // the outcome is not reported: the process ends either way
  if (host_.end_process) host_.end_process();
  close();  // reached only when the host's end_process returns (tests)
}

bool UpdateWindow::record_version() {
  return write_config_value(config_path(), kVersionSection, kVersionKey, module_.new_version_text);
}

void UpdateWindow::run_modal_loop() {
  // Ends when the window is gone; WM_QUIT ends it too and is passed on to the host's loop.
  win::run_message_loop([this] { return window() == nullptr; });
  close();
}

}  // namespace

void run_update_window(UpdateModule& module, const UpdateHost& host) {
  if (module.open_window && IsWindow(module.open_window)) {
    if (IsIconic(module.open_window)) ShowWindow(module.open_window, SW_RESTORE);
    SetForegroundWindow(module.open_window);
    return;
  }
  UpdateWindow window(module, host);
  if (!window.create()) return;
  module.open_window = window.window();
  struct Forget {
    UpdateModule& module;
    ~Forget() { module.open_window = nullptr; }
  } forget{module};
  window.check();
  window.run_modal_loop();
}

}  // namespace quadrivo::update
