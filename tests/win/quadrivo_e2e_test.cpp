// The real Quadrivo.exe, alone in a fresh run directory, driven from outside through its window
// as a host would: what it leaves behind (the provisioned module, log.txt) and how it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"
#include "tests/win/support/log_check.h"
#include "modules/log/log_entry.h"
#include "app/win/main_form.h"
#include "app/win/main_window.h"
#include "tests/win/support/test_support.h"
#include "common/win/module_binding.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

using test::expect_log;
using test::visible_window;
using test::wait_for_window;
using test::ScratchDirectory;

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

using win::kBindingFailedExitCode;

struct WindowSearch {
  DWORD process;
  const wchar_t* class_name;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM pointer) {
  auto* search = reinterpret_cast<WindowSearch*>(pointer);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (owner == search->process && std::wstring(name) == search->class_name) search->found.push_back(window);
  return TRUE;
}

// Every top-level window of the class that belongs to the process, hidden ones included.
std::vector<HWND> windows_of(DWORD process, const wchar_t* class_name) {
  WindowSearch search{process, class_name, {}};
  EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
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
    before_ = test::local_now();
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
  expect_log(log_path(), {{"Start", log::kStart}, {"Stop", log::kExit}}, before_, test::local_now());
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
             before_, test::local_now());
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

    // The message's own loop runs what is posted meanwhile: handlers that reach for a module again
    // (a deal logs through Scribbet, the update command binds Novavis) bind nothing and stack no
    // second message.
    const auto main = windows_of(program->id(), app::MainWindow::kClassName);
    ASSERT_EQ(main.size(), 1u) << "the main window exists, hidden, while its creation handler waits";
    PostMessageW(main[0], WM_COMMAND, MAKEWPARAM(app::kIdDealButton, BN_CLICKED), 0);
    PostMessageW(main[0], WM_COMMAND, MAKEWPARAM(app::kCommandCheckUpdate, 0), 0);
    PostMessageW(main[0], WM_COMMAND, MAKEWPARAM(app::kIdDealButton, BN_CLICKED), 0);
    for (int wait = 0; wait < 20 && IsWindow(main[0]) && GetDlgItemTextW(main[0], app::kIdFirstNumber, text, 512) == 0;
         ++wait) {
      Sleep(50);
    }
    EXPECT_GT(GetDlgItemTextW(main[0], app::kIdFirstNumber, text, 512), 0) << "the posted deal ran";
    Sleep(300);
    EXPECT_EQ(windows_of(program->id(), L"#32770").size(), 1u) << "one fatal message, no second one";
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
