// Drives a running Quadrivo.exe from outside, as a host would click it: for the screenshot of
// `make screenshot`, for `make run` without a display, and for the timings of bench/.
//   trainer_driver start EXE [round]   starts EXE in its own folder and waits for its window;
//                                       with "round", deals until a deal has paths and lists
//                                       them; prints "window LEFT TOP WIDTH HEIGHT" and leaves
//                                       the program running
//   trainer_driver close                closes the running trainer and waits for its end
//   trainer_driver measure EXE          start to window shown, and the listing of 12 12 12 12
// Exit codes: 0 done, 2 usage, 3 no window, 4 the program did not end.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "main_form.h"
#include "main_window.h"
#include "wide_text.h"

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

bool start_program(const std::wstring& exe) {
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
  CloseHandle(info.hProcess);
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
  if (!start_program(exe)) return 3;
  const HWND main = wait_for_main_window(60000);
  if (!main) return 3;
  const double shown = now_ms();
  std::printf("start to window shown: %.0f ms\n", shown - started);

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
  return 2;
}
