// The real Quadrivo.exe, alone in a fresh run directory, driven from outside through its window
// as a host would: what it leaves behind (the provisioned module, log.txt) and how it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gbk_utf8.h"
#include "log_entry.h"
#include "main_form.h"
#include "main_window.h"
#include "test_support.h"
#include "wide_text.h"

namespace quadrivo {
namespace {

using test::ScratchDirectory;

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

constexpr DWORD kBindingFailedExitCode = 3;

struct Expected {
  std::string message;
  int kind;
};

log::LocalTime local_time(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}; }

SYSTEMTIME now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t;
}

// Every whole second from before to after, as the log stamps them.
std::vector<log::LocalTime> seconds_between(SYSTEMTIME before, const SYSTEMTIME& after) {
  before.wMilliseconds = 0;
  FILETIME from, to;
  SystemTimeToFileTime(&before, &from);
  SystemTimeToFileTime(&after, &to);
  ULARGE_INTEGER at{{from.dwLowDateTime, from.dwHighDateTime}};
  const ULARGE_INTEGER end{{to.dwLowDateTime, to.dwHighDateTime}};
  std::vector<log::LocalTime> seconds;
  for (; at.QuadPart <= end.QuadPart; at.QuadPart += 10'000'000ULL) {
    const FILETIME file{at.LowPart, at.HighPart};
    SYSTEMTIME t;
    FileTimeToSystemTime(&file, &t);
    seconds.push_back(local_time(t));
  }
  return seconds;
}

// The log must hold exactly these entries, in this order, each stamped within the run.
void expect_log(const std::wstring& path, const std::vector<Expected>& entries, const SYSTEMTIME& before,
                const SYSTEMTIME& after) {
  const auto bytes = test::read_file_bytes(path);
  ASSERT_TRUE(bytes.has_value()) << "no log.txt";
  const auto stamps = seconds_between(before, after);
  std::size_t at = 0;
  for (const auto& e : entries) {
    bool matched = false;
    for (const auto& stamp : stamps) {
      const std::string expected = *log::entry_bytes(e.message, e.kind, stamp);
      if (bytes->compare(at, expected.size(), expected) == 0) {
        at += expected.size();
        matched = true;
        break;
      }
    }
    ASSERT_TRUE(matched) << "entry of kind " << e.kind << " at byte " << at << ": "
                         << gbk_to_utf8(bytes->substr(at, 120));
  }
  EXPECT_EQ(at, bytes->size()) << "more after the last entry: " << gbk_to_utf8(bytes->substr(at, 120));
}

struct Search {
  DWORD process;
  const wchar_t* class_name;
  HWND found;
};

BOOL CALLBACK find_visible(HWND window, LPARAM search_pointer) {
  auto* search = reinterpret_cast<Search*>(search_pointer);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (process == search->process && IsWindowVisible(window) && std::wstring(name) == search->class_name) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND wait_for_window(DWORD process, const wchar_t* class_name, DWORD timeout_ms = 30000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search search{process, class_name, nullptr};
    EnumWindows(find_visible, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount() - start > timeout_ms) return nullptr;
    Sleep(20);
  }
}

HWND visible_window(DWORD process, const wchar_t* class_name) {
  Search search{process, class_name, nullptr};
  EnumWindows(find_visible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string text_of(HWND window) {
  wchar_t text[65536];
  const LRESULT length = SendMessageW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text));
  return win::wide_to_gbk(std::wstring(text, static_cast<std::size_t>(length)));
}

class TrainerProgram : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::copy_from_build(L"Quadrivo.exe", run_dir_.path())); }

  // Started from another current directory: the program works in its own folder regardless.
  std::unique_ptr<test::ChildProcess> start() {
    before_ = now();
    auto child = std::make_unique<test::ChildProcess>(test::quote(run_dir_.file(L"Quadrivo.exe")), elsewhere_.path());
    EXPECT_TRUE(child->started());
    return child;
  }

  std::wstring log_path() const { return run_dir_.file(L"log.txt"); }

  ScratchDirectory run_dir_{L"trainer"};
  ScratchDirectory elsewhere_{L"elsewhere"};
  SYSTEMTIME before_{};
};

TEST_F(TrainerProgram, AFreshRunDirectoryGetsTheModuleAndTheLogGetsStartThenStop) {
  auto program = start();
  const HWND main = wait_for_window(program->id(), app::MainWindow::kClassName);
  ASSERT_NE(main, nullptr) << "the main window never showed";

  const auto written = test::read_file_bytes(run_dir_.file(L"Scribbet.dll"));
  const auto built = test::read_file_bytes(test::build_bin_directory() + L"\\Scribbet.dll");
  ASSERT_TRUE(written && built);
  EXPECT_TRUE(*written == *built) << "the provisioned Scribbet.dll differs from the built one";
  EXPECT_FALSE(test::file_exists(elsewhere_.file(L"log.txt")));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program->wait(30000), DWORD{0});
  expect_log(log_path(), {{"Start", log::kStart}, {"Stop", log::kExit}}, before_, now());
}

TEST_F(TrainerProgram, ARoundIsLoggedAndTheExitCommandEndsTheProgram) {
  auto program = start();
  const HWND main = wait_for_window(program->id(), app::MainWindow::kClassName);
  ASSERT_NE(main, nullptr);
  const auto control = [&](int id) { return GetDlgItem(main, id); };

  SendMessageW(control(app::kIdDealButton), BM_CLICK, 0, 0);
  std::string question = "1    ";
  for (int id = app::kIdFirstNumber; id <= app::kIdFourthNumber; ++id) {
    const std::string number = text_of(control(id));
    const int rank = std::stoi(number);
    EXPECT_GE(rank, 1);
    EXPECT_LE(rank, 13);
    question += (id == app::kIdFirstNumber ? "" : gbk(u8"、")) + number;
  }
  EXPECT_EQ(text_of(control(app::kIdDealButton)), gbk(u8"下一题"));

  // Returns when the listing is complete.
  SendMessageW(control(app::kIdShowAnswerButton), BM_CLICK, 0, 0);
  const std::string answer = text_of(control(app::kIdAnswerBox));
  EXPECT_TRUE(answer == gbk(u8"本题无解") || answer.starts_with(gbk(u8"共有"))) << gbk_to_utf8(answer);
  EXPECT_TRUE(text_of(main).starts_with(gbk(u8"速算Cardomi  本题共有")));

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(app::kCommandExit, 0), 0);
  EXPECT_EQ(program->wait(30000), DWORD{0});
  expect_log(log_path(),
             {{"Start", log::kStart}, {question, log::kQuestion}, {answer, log::kAnswer}, {"Stop", log::kExit}},
             before_, now());
}

TEST_F(TrainerProgram, AModuleThatCannotBeLoadedEndsTheProgramAtTheFirstEntry) {
  const struct {
    const char* name;
    bool directory;
  } cases[] = {{"an empty file", false}, {"a directory", true}};
  for (const auto& e : cases) {
    SCOPED_TRACE(e.name);
    const std::wstring module = run_dir_.file(L"Scribbet.dll");
    if (e.directory) {
      ASSERT_TRUE(CreateDirectoryW(module.c_str(), nullptr));
    } else {
      ASSERT_TRUE(test::write_file_bytes(module, ""));
    }
    auto program = start();
    const HWND box = wait_for_window(program->id(), L"#32770");
    ASSERT_NE(box, nullptr) << "no fatal message";
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    const std::string message = win::wide_to_gbk(text);
    EXPECT_NE(message.find("Scribbet.dll"), std::string::npos) << gbk_to_utf8(message);
    EXPECT_NE(message.find("\xA1\xB0Scribbet\xA1\xB1"), std::string::npos) << "names the function: " << gbk_to_utf8(message);
    EXPECT_EQ(visible_window(program->id(), app::MainWindow::kClassName), nullptr) << "nothing else is shown";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program->wait(30000), kBindingFailedExitCode);

    EXPECT_FALSE(test::file_exists(log_path()));
    if (e.directory) {
      EXPECT_TRUE(GetFileAttributesW(module.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
      RemoveDirectoryW(module.c_str());
    } else {
      EXPECT_EQ(test::read_file_bytes(module), std::string()) << "the module file is left untouched";
      DeleteFileW(module.c_str());
    }
  }
}

}  // namespace
}  // namespace quadrivo
