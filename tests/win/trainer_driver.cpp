// Drives a running Quadrivo.exe from outside, as a host would click it: for the screenshot of
// `make screenshot`, for `make run` without a display, and for the timings of bench/.
//   trainer_driver start EXE [round]   starts EXE in its own folder and waits for its window;
//                                       with "round", deals until a deal has paths and lists
//                                       them; prints "window LEFT TOP WIDTH HEIGHT" and leaves
//                                       the program running
//   trainer_driver close                closes the running trainer and waits for its end
//   trainer_driver measure EXE          start to window shown, the working set then, and the listing
//                                       of 12 12 12 12
// For the tour of `make run` (a screenshot after each step):
//   trainer_driver command about|help|update
//                                       chooses the menu command in the running trainer and waits
//                                       for what it opens: the About window, the help viewer, or
//                                       the first message box of the update check
//   trainer_driver press yes|no|ok      presses that button of the trainer's message box, or OK of
//                                       its About window
//   trainer_driver progress             waits until the update window shows a download under way
//                                       (or its next message box, when the download was quicker)
//   trainer_driver box                  waits for the trainer's next message box
//   trainer_driver handed-over NAME     waits until the running trainer has ended and one started
//                                       from the file NAME (e.g. "Quadrivo V1.19.exe") shows its window
//   trainer_driver close-viewer         closes the help viewer and waits for its end
//   trainer_driver wait-end             returns once no trainer window has been seen for 3 s (a
//                                       hand-over to a new version counts as running on)
// What they wait for is printed as "window LEFT TOP WIDTH HEIGHT" (the region to photograph: a
// message box together with the update window behind it) and, for a box, "text TEXT" in UTF-8.
// Exit codes: 0 done, 2 usage, 3 no window, 4 the program did not end.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app/win/about_window.h"
#include "common/win/handles.h"
#include "app/win/main_form.h"
#include "app/win/main_window.h"
#include "modules/update/update_texts.h"
#include "modules/update/win/update_window.h"
#include "common/win/wide_text.h"

namespace {

using quadrivo::app::MainWindow;

double now_ms() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HWND visible_main_window() {
  const HWND window = FindWindowW(MainWindow::kClassName, nullptr);
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND wait_for_main_window(DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (const HWND window = visible_main_window()) return window;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    Sleep(1);
  }
}

// Starts exe in its own folder; the process handle goes to *process when asked for, else it is
// closed.
bool start_program(const std::wstring& exe, HANDLE* process = nullptr) {
  std::wstring folder = exe;
  const std::size_t separator = folder.find_last_of(L"\\/");
  folder = separator == std::wstring::npos ? L"." : folder.substr(0, separator);
  std::wstring command_line = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  if (process) {
    *process = info.hProcess;
  } else {
    CloseHandle(info.hProcess);
  }
  return true;
}

std::wstring text_of(HWND window) {
  static wchar_t text[1 << 16];
  const LRESULT length = SendMessageW(window, WM_GETTEXT, 1 << 16, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(length));
}

void click(HWND main, int id) { SendMessageW(GetDlgItem(main, id), BM_CLICK, 0, 0); }

void print_rect(HWND main) {
  RECT rect;
  GetWindowRect(main, &rect);
  std::printf("window %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

int start(const std::wstring& exe, bool round, int width, int height) {
  if (!start_program(exe)) return 3;
  const HWND main = wait_for_main_window(60000);
  if (!main) return 3;
  if (width > 0 && height > 0) {
    SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }
  if (round) {
    for (int attempt = 0; attempt < 50; ++attempt) {
      click(main, quadrivo::app::kIdDealButton);
      click(main, quadrivo::app::kIdShowAnswerButton);  // returns when the listing is done
      if (text_of(GetDlgItem(main, quadrivo::app::kIdAnswerBox)).find(L"\r\n\r\n") != std::wstring::npos) break;
    }
  }
  print_rect(main);
  return 0;
}

int close() {
  const HWND main = FindWindowW(MainWindow::kClassName, nullptr);
  if (!main) return 3;
  DWORD process_id = 0;
  GetWindowThreadProcessId(main, &process_id);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const bool ended = process && WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended ? 0 : 4;
}

int measure(const std::wstring& exe) {
  const double started = now_ms();
  HANDLE process = nullptr;
  if (!start_program(exe, &process)) return 3;
  const quadrivo::win::UniqueKernelHandle process_handle(process);
  const HWND main = wait_for_main_window(60000);
  if (!main) return 3;
  const double shown = now_ms();
  std::printf("start to window shown: %.0f ms\n", shown - started);
  // The memory the program holds once its window is up: what a host's machine gives it to sit idle.
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    std::printf("working set at window shown: %lu KiB, peak %lu KiB\n",
                static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
  }

  for (int id = quadrivo::app::kIdFirstNumber; id <= quadrivo::app::kIdFourthNumber; ++id) {
    SetWindowTextW(GetDlgItem(main, id), L"12");
  }
  const double before = now_ms();
  click(main, quadrivo::app::kIdShowAnswerButton);
  const double after = now_ms();
  const std::wstring caption = text_of(main);
  const std::wstring listing = text_of(GetDlgItem(main, quadrivo::app::kIdAnswerBox));
  std::size_t paths = 0;  // each path ends with its line break and an empty line
  for (std::size_t at = listing.find(L"\r\n\r\n"); at != std::wstring::npos; at = listing.find(L"\r\n\r\n", at + 4)) {
    ++paths;
  }
  std::printf("listing of 12 12 12 12: %.0f ms, %zu paths, caption \"%s\"\n", after - before, paths,
              quadrivo::win::wide_to_utf8(caption).c_str());
  return close();
}

// ---------------------------------------------------------------- the tour of make run

constexpr DWORD kStepTimeoutMs = 60000;
constexpr wchar_t kMessageBoxClass[] = L"#32770";
constexpr wchar_t kViewerWindowClass[] = L"HH Parent";

DWORD process_of(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

struct Search {
  const wchar_t* class_name;
  DWORD process;  // 0: any
  HWND found;
};

BOOL CALLBACK find_visible(HWND window, LPARAM search_pointer) {
  auto* search = reinterpret_cast<Search*>(search_pointer);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (IsWindowVisible(window) && std::wstring(name) == search->class_name &&
      (search->process == 0 || process_of(window) == search->process)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND visible_window(const wchar_t* class_name, DWORD process = 0) {
  Search search{class_name, process, nullptr};
  EnumWindows(find_visible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Found>
HWND wait_for(Found found, DWORD timeout_ms = kStepTimeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (const HWND window = found()) return window;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    Sleep(20);
  }
}

HWND trainer_box(DWORD trainer) { return visible_window(kMessageBoxClass, trainer); }

// The region of a message box and of the update window behind it, if one is open.
void print_region(HWND box, DWORD trainer) {
  RECT region;
  GetWindowRect(box, &region);
  if (const HWND update = visible_window(quadrivo::update::kUpdateWindowClass, trainer)) {
    RECT window;
    GetWindowRect(update, &window);
    UnionRect(&region, &region, &window);
  }
  std::printf("window %ld %ld %ld %ld\n", region.left, region.top, region.right - region.left,
              region.bottom - region.top);
}

void print_box(HWND box, DWORD trainer) {
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // the static control holding a message box's text
  std::printf("text %s\n", quadrivo::win::wide_to_utf8(text).c_str());
  print_region(box, trainer);
}

int command(const std::wstring& which) {
  const HWND main = visible_main_window();
  if (!main) return 3;
  const DWORD trainer = process_of(main);
  int id;
  if (which == L"about") {
    id = quadrivo::app::kCommandAbout;
  } else if (which == L"help") {
    id = quadrivo::app::kCommandHelpDocument;
  } else if (which == L"update") {
    id = quadrivo::app::kCommandCheckUpdate;
  } else {
    return 2;
  }
  // Posted: the About window and the update check run their own loops inside the command.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  if (which == L"about") {
    const HWND about = wait_for([&] { return visible_window(quadrivo::app::kAboutClassName, trainer); });
    if (!about) return 3;
    print_rect(about);
  } else if (which == L"help") {
    const HWND viewer = wait_for([] { return visible_window(kViewerWindowClass); });
    if (!viewer) return 3;
    print_rect(viewer);
  } else {
    const HWND box = wait_for([&] { return trainer_box(trainer); });
    if (!box) return 3;
    print_box(box, trainer);
  }
  return 0;
}

int press(const std::wstring& button) {
  const HWND main = FindWindowW(MainWindow::kClassName, nullptr);
  if (!main) return 3;
  const DWORD trainer = process_of(main);
  const int id = button == L"yes" ? IDYES : button == L"no" ? IDNO : IDOK;
  if (const HWND box = trainer_box(trainer)) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return wait_for([&] { return IsWindow(box) ? nullptr : main; }, 10000) ? 0 : 4;
  }
  if (const HWND about = visible_window(quadrivo::app::kAboutClassName, trainer); about && id == IDOK) {
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return wait_for([&] { return IsWindow(about) ? nullptr : main; }, 10000) ? 0 : 4;
  }
  return 3;
}

int progress() {
  const HWND main = FindWindowW(MainWindow::kClassName, nullptr);
  if (!main) return 3;
  const DWORD trainer = process_of(main);
  const std::wstring at_start = quadrivo::win::gbk_to_wide(quadrivo::update::kPercentCaptionAtStart);
  HWND shown = nullptr;
  const HWND update = wait_for([&]() -> HWND {
    if (const HWND box = trainer_box(trainer)) return shown = box;
    const HWND window = visible_window(quadrivo::update::kUpdateWindowClass, trainer);
    if (window && text_of(GetDlgItem(window, quadrivo::update::标签_下载进度)) != at_start) return shown = window;
    return nullptr;
  });
  if (!update) return 3;
  Sleep(200);  // the rest of the tick's captions
  print_region(shown, trainer);
  return 0;
}

int box() {
  const HWND main = FindWindowW(MainWindow::kClassName, nullptr);
  if (!main) return 3;
  const DWORD trainer = process_of(main);
  const HWND found = wait_for([&] { return trainer_box(trainer); });
  if (!found) return 3;
  print_box(found, trainer);
  return 0;
}

std::wstring image_file_name(DWORD process_id) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return {};
  wchar_t path[MAX_PATH * 2] = {};
  DWORD length = MAX_PATH * 2;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &length);
  CloseHandle(process);
  if (!named) return {};
  const std::wstring full(path, length);
  const std::size_t separator = full.find_last_of(L"\\/");
  return separator == std::wstring::npos ? full : full.substr(separator + 1);
}

int handed_over(const std::wstring& file_name) {
  const HWND successor = wait_for([&]() -> HWND {
    const HWND main = visible_main_window();
    return main && lstrcmpiW(image_file_name(process_of(main)).c_str(), file_name.c_str()) == 0 ? main : nullptr;
  });
  if (!successor) return 3;
  print_rect(successor);
  return 0;
}

int close_viewer() {
  const HWND viewer = visible_window(kViewerWindowClass);
  if (!viewer) return 3;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_of(viewer));
  PostMessageW(viewer, WM_CLOSE, 0, 0);
  const bool ended = process && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended ? 0 : 4;
}

int wait_end() {
  constexpr DWORD kGoneForMs = 3000;
  DWORD last_seen = GetTickCount();
  for (;;) {
    if (FindWindowW(MainWindow::kClassName, nullptr)) last_seen = GetTickCount();
    if (GetTickCount() - last_seen > kGoneForMs) return 0;
    Sleep(200);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring mode = argv[1];
  if (mode == L"start" && argc >= 3) {
    // Options after the program: "round" (a deal and its listing), "WIDTHxHEIGHT" (a window size).
    bool round = false;
    int width = 0, height = 0;
    for (int i = 3; i < argc; ++i) {
      if (std::wstring(argv[i]) == L"round") round = true;
      else std::swscanf(argv[i], L"%dx%d", &width, &height);
    }
    return start(argv[2], round, width, height);
  }
  if (mode == L"close") return close();
  if (mode == L"measure" && argc >= 3) return measure(argv[2]);
  if (mode == L"command" && argc >= 3) return command(argv[2]);
  if (mode == L"press" && argc >= 3) return press(argv[2]);
  if (mode == L"progress") return progress();
  if (mode == L"box") return box();
  if (mode == L"handed-over" && argc >= 3) return handed_over(argv[2]);
  if (mode == L"close-viewer") return close_viewer();
  if (mode == L"wait-end") return wait_end();
  return 2;
}
