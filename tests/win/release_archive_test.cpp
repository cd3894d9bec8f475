// The program as a host gets it: release_archive_test.py unpacks the release archive into a fresh
// directory whose path holds blanks and Chinese characters and names it in
// QUADRIVO_RELEASE_DIR; this program starts Quadrivo.exe there from another current directory
// (QUADRIVO_ELSEWHERE_DIR), plays a round, opens About and exits, as a host would. The script then
// checks that nothing was written anywhere but the run directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/win/about_window.h"
#include "common/gbk_utf8.h"
#include "tests/win/support/log_check.h"
#include "modules/log/log_entry.h"
#include "app/win/main_form.h"
#include "app/win/main_window.h"
#include "tests/win/support/test_support.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

std::wstring environment(const wchar_t* name) {
  wchar_t value[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

std::string text_of(HWND window) {
  wchar_t text[65536];
  const LRESULT length = SendMessageW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text));
  return win::wide_to_gbk(std::wstring(text, static_cast<std::size_t>(length)));
}

BOOL CALLBACK find_button(HWND child, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Button") == 0) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

TEST(ReleaseArchive, UnpackedIntoAChinesePathWithBlanksTheProgramPlaysARoundShowsAboutAndEnds) {
  const std::wstring run_dir = environment(L"QUADRIVO_RELEASE_DIR");
  const std::wstring elsewhere = environment(L"QUADRIVO_ELSEWHERE_DIR");
  ASSERT_FALSE(run_dir.empty() || elsewhere.empty()) << "run through release_archive_test.py";
  ASSERT_NE(win::wide_to_gbk(run_dir).find(gbk(u8"测试 目录")), std::string::npos) << win::wide_to_utf8(run_dir);
  ASSERT_TRUE(test::file_exists(run_dir + L"\\Quadrivo.exe"));

  const SYSTEMTIME before = test::local_now();
  test::ChildProcess program(test::quote(run_dir + L"\\Quadrivo.exe"), elsewhere);
  ASSERT_TRUE(program.started());
  const HWND main = test::wait_for_window(program.id(), app::MainWindow::kClassName);
  ASSERT_NE(main, nullptr) << "the main window never showed";
  const auto control = [&](int id) { return GetDlgItem(main, id); };

  // A deal, read back from the number labels, then its answer (the click returns when the
  // listing is complete).
  SendMessageW(control(app::kIdDealButton), BM_CLICK, 0, 0);
  std::string question = "1    ";
  for (int id = app::kIdFirstNumber; id <= app::kIdFourthNumber; ++id) {
    question += (id == app::kIdFirstNumber ? "" : gbk(u8"、")) + text_of(control(id));
  }
  SendMessageW(control(app::kIdShowAnswerButton), BM_CLICK, 0, 0);
  const std::string answer = text_of(control(app::kIdAnswerBox));
  EXPECT_TRUE(answer == gbk(u8"本题无解") || answer.starts_with(gbk(u8"共有"))) << gbk_to_utf8(answer);

  // About: posted, since the command runs the About window's own loop until it is closed.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(app::kCommandAbout, 0), 0);
  const HWND about = test::wait_for_window(program.id(), app::kAboutClassName);
  ASSERT_NE(about, nullptr) << "no About window";
  EXPECT_EQ(text_of(about), gbk(u8"关于 Quadrivo"));
  EXPECT_FALSE(IsWindowEnabled(main)) << "About is modal";
  HWND ok = nullptr;
  EnumChildWindows(about, find_button, reinterpret_cast<LPARAM>(&ok));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(text_of(ok), gbk(u8"确定"));
  SendMessageW(ok, BM_CLICK, 0, 0);
  for (int wait = 0; wait < 500 && IsWindow(about); ++wait) Sleep(10);
  EXPECT_FALSE(IsWindow(about)) << "OK did not close About";
  EXPECT_TRUE(IsWindowEnabled(main));

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(app::kCommandExit, 0), 0);
  EXPECT_EQ(program.wait(30000), DWORD{0});

  test::expect_log(run_dir + L"\\log.txt",
                   {{"Start", log::kStart}, {question, log::kQuestion}, {answer, log::kAnswer}, {"Stop", log::kExit}},
                   before, test::local_now());
  const auto written = test::read_file_bytes(run_dir + L"\\Scribbet.dll");
  const auto built = test::read_file_bytes(test::build_bin_directory() + L"\\Scribbet.dll");
  ASSERT_TRUE(written && built) << "Scribbet.dll was not written beside the program";
  EXPECT_TRUE(*written == *built) << "the module written differs from the built one";
}

}  // namespace
}  // namespace quadrivo
