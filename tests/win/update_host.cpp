// A small host program for the update module, as the main program uses it: loads Novavis.dll
// from its own folder and calls Novavis(); afterwards, like the main program's end, it writes a
// Stop entry through Scribbet.dll. A timer of its user-interface thread answers the module's
// message boxes as real boxes of this process (the timer fires inside the boxes' own loops), and
// notes each one it saw.
//   update_host ANSWERS RECORD [EXIT-WHEN PATTERN]
//     ANSWERS  the buttons to press in order, one letter each: Y(es), N(o), O(k); "-" for none
//     RECORD   file that gets one line "title|text" (UTF-8) per box seen
//     EXIT-WHEN PATTERN: end the process with code 5 as soon as a file matching the wildcard
//                        PATTERN exists (a download under way)
// Exit codes: 10 Novavis returned, 2 usage, 4 module or function missing; whatever the module
// ends the process with otherwise.
//
// Everything runs on the one thread, as in the program: under Wine, a second thread that is inside
// a window function when the process ends can leave the window system's lock taken, and the end
// of the process then waits for it for ever.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win/run_directory.h"
#include "common/win/wide_text.h"

namespace {

constexpr UINT kWatchPeriodMs = 20;
constexpr int kStopKind = 7;

struct Watch {
  std::wstring answers;
  std::wstring record;
  std::wstring exit_when;
  std::size_t next_answer = 0;
  HWND answered = nullptr;  // the box answered last, until it has gone
};

Watch g_watch;

BOOL CALLBACK find_box(HWND window, LPARAM context) {
  wchar_t class_name[16];
  if (IsWindowVisible(window) && GetClassNameW(window, class_name, 16) && lstrcmpW(class_name, L"#32770") == 0) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

void append_line(const std::wstring& path, const std::string& utf8_line) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const std::string line = utf8_line + "\n";
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

bool file_matching_exists(const std::wstring& pattern) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

void CALLBACK watch(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_watch.exit_when.empty() && file_matching_exists(g_watch.exit_when)) ExitProcess(5);
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &find_box, reinterpret_cast<LPARAM>(&box));
  if (!box || box == g_watch.answered) return;
  g_watch.answered = box;
  wchar_t title[256] = {}, text[1024] = {};
  GetWindowTextW(box, title, 256);
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  append_line(g_watch.record, quadrivo::win::wide_to_utf8(title) + "|" + quadrivo::win::wide_to_utf8(text));
  const wchar_t answer = g_watch.next_answer < g_watch.answers.size() ? g_watch.answers[g_watch.next_answer++] : L'O';
  const WPARAM button = answer == L'Y' ? IDYES : answer == L'N' ? IDNO : IDOK;
  PostMessageW(box, WM_COMMAND, button, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 5) return 2;
  g_watch.answers = argv[1];
  g_watch.record = argv[2];
  if (argc == 5) {
    if (std::wstring(argv[3]) != L"EXIT-WHEN") return 2;
    g_watch.exit_when = argv[4];
  }
  // A thread timer: every message loop of this thread dispatches it, the module's and the boxes'.
  if (!SetTimer(nullptr, 0, kWatchPeriodMs, &watch)) return 2;

  const HMODULE novavis = LoadLibraryW(quadrivo::win::run_path(L"\\Novavis.dll").c_str());
  if (!novavis) return 4;
  using NovavisFunction = int(__stdcall*)();
  const auto entry = reinterpret_cast<NovavisFunction>(reinterpret_cast<void*>(GetProcAddress(novavis, "Novavis")));
  if (!entry) return 4;
  entry();

  // The main program's stop handler writes this entry; the hand-over never comes back to it.
  if (const HMODULE scribbet = LoadLibraryW(quadrivo::win::run_path(L"\\Scribbet.dll").c_str())) {
    using ScribbetFunction = int(__stdcall*)(const char*, int);
    if (const auto write = reinterpret_cast<ScribbetFunction>(
            reinterpret_cast<void*>(GetProcAddress(scribbet, "Scribbet")))) {
      write("Stop", kStopKind);
    }
  }
  return 10;
}
