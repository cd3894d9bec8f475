// The help command against the system's real HTML Help viewer: the built Help.CHM in a run
// directory with blanks in its path opens in hh.exe, and the viewer is closed again. The command
// line itself is checked through the command's seam, here for a path with Chinese characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <set>
#include <string>

#include "common/gbk_utf8.h"
#include "common/win/handles.h"
#include "app/win/help_command.h"
#include "common/win/message_box.h"
#include "tests/win/support/test_support.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

constexpr wchar_t kViewerImage[] = L"hh.exe";
constexpr wchar_t kViewerWindowClass[] = L"HH Parent";
constexpr DWORD kViewerStartMs = 30000;
constexpr DWORD kViewerEndMs = 10000;

// Message boxes are recorded, never shown: a missing document would otherwise wait for a click.
class HelpCommand : public testing::Test {
 protected:
  void SetUp() override {
    win::set_message_box_answerer([this](const std::string& text, const std::string&, unsigned) {
      boxes_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    win::set_message_box_answerer(nullptr);
  }
  std::vector<std::string> boxes_;
};

TEST_F(HelpCommand, NamesTheDocumentInQuotesWhateverCharactersThePathHolds) {
  test::ScratchDirectory run_dir(L"帮助 目录 1");
  ASSERT_TRUE(test::write_file_bytes(run_dir.file(L"Help.CHM"), "ITSF"));
  std::vector<std::string> started;
  app::run_help_command(run_dir.path(), win::message_box,
                        [&](const std::wstring& line) { started.push_back(win::wide_to_gbk(line)); });
  EXPECT_TRUE(boxes_.empty());
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], "hh.exe \"" + win::wide_to_gbk(run_dir.path()) + "\\help.chm\"");
  EXPECT_NE(started[0].find(gbk(u8"帮助 目录 1")), std::string::npos) << "the directory's name in GBK";
}

std::set<DWORD> viewer_processes() {
  std::set<DWORD> ids;
  // Like CreateFileW, a failed snapshot is INVALID_HANDLE_VALUE.
  const win::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, kViewerImage) == 0) ids.insert(entry.th32ProcessID);
  }
  return ids;
}

// Ends every viewer that was not running when it was made, so that no test leaves one behind.
class ViewerReaper {
 public:
  ViewerReaper() : before_(viewer_processes()) {}
  ~ViewerReaper() {
    for (const DWORD id : started()) {
      const win::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (!process) continue;
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), kViewerEndMs);
    }
  }
  ViewerReaper(const ViewerReaper&) = delete;
  ViewerReaper& operator=(const ViewerReaper&) = delete;

  std::set<DWORD> started() const {
    std::set<DWORD> fresh;
    for (const DWORD id : viewer_processes()) {
      if (!before_.count(id)) fresh.insert(id);
    }
    return fresh;
  }

 private:
  std::set<DWORD> before_;
};

struct ViewerSearch {
  std::set<DWORD> processes;
  HWND found = nullptr;
};

BOOL CALLBACK find_viewer_window(HWND window, LPARAM search_pointer) {
  auto* search = reinterpret_cast<ViewerSearch*>(search_pointer);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (search->processes.count(process) && IsWindowVisible(window) && std::wstring(name) == kViewerWindowClass) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::wstring title_of(HWND window) {
  wchar_t text[256] = {};
  const int length = GetWindowTextW(window, text, 256);
  return std::wstring(text, static_cast<std::size_t>(length));
}

// The document's title is GBK in the CHM (its language is 0x804). Windows' viewer reads it in that
// code page; Wine's reads it in the process's ANSI code page, which is 936 only on a Chinese system.
std::set<std::wstring> readings_of_document_title() {
  const std::string title = gbk(u8"Quadrivo 帮助");
  std::set<std::wstring> readings{win::gbk_to_wide(title)};
  wchar_t ansi[64] = {};
  const int length = MultiByteToWideChar(CP_ACP, 0, title.data(), static_cast<int>(title.size()), ansi, 64);
  readings.insert(std::wstring(ansi, static_cast<std::size_t>(length > 0 ? length : 0)));
  return readings;
}

TEST_F(HelpCommand, OpensTheBuiltDocumentInTheRealViewerFromAPathWithBlanks) {
  test::ScratchDirectory run_dir(L"help viewer");
  ASSERT_TRUE(test::copy_from_build(L"Help.CHM", run_dir.path())) << "the build makes Help.CHM";
  ViewerReaper reaper;

  // The program's own starter, WinExec: returns without waiting.
  app::run_help_command(run_dir.path(), win::message_box, app::start_with_winexec);
  EXPECT_TRUE(boxes_.empty());

  ViewerSearch search;
  const DWORD start = GetTickCount();
  while (!search.found && GetTickCount() - start < kViewerStartMs) {
    Sleep(50);
    search.processes = reaper.started();
    EnumWindows(find_viewer_window, reinterpret_cast<LPARAM>(&search));
  }
  ASSERT_NE(search.found, nullptr) << "no hh.exe window of class \"HH Parent\" appeared";
  ASSERT_EQ(reaper.started().size(), 1u) << "one viewer per command";

  // Its title comes from inside the CHM: the viewer found and read the document.
  const std::wstring title = title_of(search.found);
  EXPECT_TRUE(readings_of_document_title().count(title)) << win::wide_to_utf8(title);

  // Closed as a user closes it; the viewer process ends with its window.
  DWORD viewer = 0;
  GetWindowThreadProcessId(search.found, &viewer);
  const win::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, viewer));
  ASSERT_TRUE(process);
  PostMessageW(search.found, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.get(), kViewerEndMs), WAIT_OBJECT_0) << "hh.exe still runs after its window closed";
}

}  // namespace
}  // namespace quadrivo
