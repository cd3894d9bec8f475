#include "update_window.h"

#include <commctrl.h>

#include <cstdint>

#include "config_file.h"
#include "handles.h"
#include "log_entry.h"
#include "message_box.h"
#include "signature_rules.h"
#include "update_rules.h"
#include "wide_text.h"

namespace quadrivo::update {
namespace {

// The form. Positions are the window's outer rectangle on the screen and the controls' places in
// its client area, in pixels.
constexpr int kWindowLeft = 50;
constexpr int kWindowTop = 50;
constexpr int kWindowWidth = 371;
constexpr int kWindowHeight = 118;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

enum class ControlKind { kLabel, kTransparentLabel, kProgressBar };

struct ControlDefinition {
  UpdateWindowControl id;
  ControlKind kind;
  int left, top, width, height;
  const char* caption;  // GBK; nullptr for none
};

constexpr ControlDefinition kForm[] = {
    {标签_下载速度, ControlKind::kLabel, 19, 8, 88, 24, kSpeedCaptionAtStart},
    {标签_已经下载大小, ControlKind::kLabel, 131, 8, 95, 24, kReceivedCaptionAtStart},
    {标签_总大小, ControlKind::kLabel, 257, 8, 95, 24, kTotalCaptionAtStart},
    {进度条_下载进度, ControlKind::kProgressBar, 1, 39, 363, 19, nullptr},
    {标签_下载进度, ControlKind::kTransparentLabel, -8, 64, 376, 16, kPercentCaptionAtStart},
};

constexpr int kProgressMinimum = 0;
constexpr int kProgressMaximum = 100;

constexpr wchar_t kFontFace[] = L"宋体";
constexpr int kFontHeight = -12;

constexpr DWORD kInputIdleWaitMs = 1000;

HINSTANCE this_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}

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

// Hands a message to its window, with the keyboard navigation of the window it belongs to, as the
// host's own loop does.
void dispatch(MSG& message) {
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int show(const Notice& notice) { return win::message_box(notice.text, notice.title, static_cast<unsigned>(notice.style)); }

class UpdateWindow {
 public:
  UpdateWindow(UpdateModule& module, const UpdateHost& host) : module_(module), host_(host) {}
  ~UpdateWindow() {
    if (window_) DestroyWindow(window_);
  }
  UpdateWindow(const UpdateWindow&) = delete;
  UpdateWindow& operator=(const UpdateWindow&) = delete;

  bool create();
  void check();
  void run_modal_loop();
  HWND window() const { return window_; }

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  void on_tick();
  void show_progress(const ProgressCaptions& captions);
  void finish_download(TransferState state);
  void refuse(const Notice& notice);
  void start_download(const Signature& signature);
  void hand_over();
  bool record_version();

  void close();
  bool is_open() const { return window_ != nullptr; }
  void set_caption(UpdateWindowControl control, const std::string& gbk_text);
  void set_timer_period(UINT period_ms);
  void write_log(const std::string& gbk_text) const {
    if (host_.write_log) host_.write_log(gbk_text, log::kUpdate);
  }
  std::wstring config_path() const { return host_.run_directory + win::gbk_to_wide(kConfigFileSuffix); }
  bool pump_pending_messages();

  UpdateModule& module_;
  const UpdateHost& host_;
  HWND window_ = nullptr;
  win::UniqueFont font_;
  std::wstring save_path_;
  std::uint32_t transfer_ = 0;
  bool in_tick_ = false;
  bool quit_seen_ = false;
  int quit_code_ = 0;
};

bool UpdateWindow::create() {
  const HINSTANCE instance = this_module();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, kUpdateWindowClass, &existing)) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &UpdateWindow::window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kUpdateWindowClass;
    if (!RegisterClassExW(&window_class)) return false;
  }
  // No owner: the host's windows stay enabled and usable while this one is open.
  if (!CreateWindowExW(0, kUpdateWindowClass, win::gbk_to_wide(kWindowTitle).c_str(), kWindowStyle, kWindowLeft,
                       kWindowTop, kWindowWidth, kWindowHeight, nullptr, nullptr, instance, this)) {
    return false;
  }
  font_.reset(CreateFontW(kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
  for (const ControlDefinition& control : kForm) {
    const bool bar = control.kind == ControlKind::kProgressBar;
    // The percentage spans the whole window from 8 pixels left of it: centred, it is seen whole.
    const DWORD alignment = control.kind == ControlKind::kTransparentLabel ? SS_CENTER : SS_LEFT;
    const HWND child = CreateWindowExW(0, bar ? PROGRESS_CLASSW : L"STATIC",
                                       control.caption ? win::gbk_to_wide(control.caption).c_str() : L"",
                                       WS_CHILD | WS_VISIBLE | (bar ? 0 : alignment | SS_NOPREFIX), control.left,
                                       control.top, control.width, control.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (!child) return false;
    if (font_) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (bar) SendMessageW(child, PBM_SETRANGE32, kProgressMinimum, kProgressMaximum);
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
  SetForegroundWindow(window_);
  return true;
}

LRESULT CALLBACK UpdateWindow::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<UpdateWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<UpdateWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  // No exception can leave the window procedure (the system's code is below it): the module is
  // built without them, and a failure of the library ends the process instead.
  return self->handle(message, wparam, lparam);
}

LRESULT UpdateWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND window = window_;
  switch (message) {
    case WM_TIMER:
      if (wparam == 时钟1) on_tick();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lparam) == GetDlgItem(window_, 标签_下载进度)) {
        const HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void UpdateWindow::close() {
  if (window_) DestroyWindow(window_);
}

void UpdateWindow::set_caption(UpdateWindowControl control, const std::string& gbk_text) {
  if (!window_) return;
  const HWND label = GetDlgItem(window_, control);
  SetWindowTextW(label, win::gbk_to_wide(gbk_text).c_str());
  if (control == 标签_下载进度) {
    // A transparent label paints over what is behind it: have the old text erased first.
    RECT area;
    GetWindowRect(label, &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

void UpdateWindow::set_timer_period(UINT period_ms) {
  if (!window_) return;
  if (period_ms == 0) {
    KillTimer(window_, 时钟1);
  } else {
    SetTimer(window_, 时钟1, period_ms, nullptr);
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
  if (in_tick_ || !window_) return;
  in_tick_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{in_tick_};

  const std::int32_t speed = module_.downloader.take_speed();
  // The count and the size in one reading: the percentage never mixes two moments.
  const TransferProgress progress = module_.downloader.progress();
  show_progress(progress.total ? progress_captions(speed, progress.received, *progress.total)
                               : progress_captions_without_total(speed, progress.received));
  if (host_.after_tick) host_.after_tick(window_);

  // The end of the download is the downloader's word, not a percentage of 0: that is also what a
  // tick shows before the first 1 % has arrived.
  const TransferState state = module_.downloader.state(transfer_);
  if (state == TransferState::kRunning) {
    pump_pending_messages();
    return;
  }
  if (!window_) return;
  set_timer_period(0);
  if (state == TransferState::kComplete) {
    // The question comes over a window that shows the whole file arrived.
    show_progress(completed_captions(module_.downloader.completed_size()));
    ::UpdateWindow(window_);
  }
  finish_download(state);
}

void UpdateWindow::show_progress(const ProgressCaptions& captions) {
  set_caption(标签_下载速度, captions.speed);
  set_caption(标签_已经下载大小, captions.received);
  set_caption(标签_总大小, captions.total);
  set_caption(标签_下载进度, captions.percent_caption);
  SendMessageW(GetDlgItem(window_, 进度条_下载进度), PBM_SETPOS, static_cast<WPARAM>(captions.percent), 0);
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

bool UpdateWindow::pump_pending_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_seen_ = true;
      quit_code_ = static_cast<int>(message.wParam);
      return false;
    }
    dispatch(message);
  }
  return true;
}

void UpdateWindow::run_modal_loop() {
  MSG message;
  while (window_ && !quit_seen_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      quit_seen_ = true;
      quit_code_ = static_cast<int>(message.wParam);
      break;
    }
    dispatch(message);
  }
  // The host's loop has to see the end of the program too.
  if (quit_seen_) {
    close();
    PostQuitMessage(quit_code_);
  }
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
