// Novavis.dll as the program uses it: a host program in a run directory of its own loads the
// module by file name and calls Novavis(); the module binds Scribbet.dll itself, shows real
// message boxes (answered by the host's watcher thread) and writes log.txt and Config.ini beside
// the host. Against the update server fixture.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"
#include "modules/log/log_entry.h"
#include "app/win/main_form.h"
#include "tests/win/support/test_support.h"
#include "tests/win/update_server.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

using test::document_address;
using test::file_address;
using test::signed_update_document;
using test::update_document;

constexpr DWORD kReturned = 10;
constexpr DWORD kEndedByWatcher = 5;
constexpr DWORD kHostTimeoutMs = 30000;

struct LogEntry {
  int kind;
  std::string message;  // UTF-8
  bool operator==(const LogEntry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LogEntry& entry) {
  return out << "{" << entry.kind << ", \"" << entry.message << "\"}";
}

std::string u8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class NovavisHost : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::server_configured());
    for (const wchar_t* name : {L"update_host.exe", L"Novavis.dll", L"Scribbet.dll"}) {
      ASSERT_TRUE(test::copy_from_build(name, run_dir_.path())) << win::wide_to_utf8(name);
    }
  }

  std::wstring file(const wchar_t* name) const { return run_dir_.file(name); }

  void write_config(const std::string& installed, const std::string& url) {
    ASSERT_TRUE(test::write_file_bytes(file(L"Config.ini"),
                                       "[currentVersion]\r\nVersion=" + installed + "\r\n[UpdateInfo]\r\nUrl=" + url + "\r\n"));
  }

  std::optional<DWORD> run_host(const std::wstring& answers, const std::wstring& exit_when = L"") {
    std::wstring line = test::quote(file(L"update_host.exe")) + L" " + answers + L" " + test::quote(file(L"boxes.txt"));
    if (!exit_when.empty()) line += L" EXIT-WHEN " + test::quote(exit_when);
    const auto code = test::run_process(line, elsewhere_.path(), kHostTimeoutMs);
    if (!code) {
      std::string seen;
      for (const auto& box : boxes()) seen += box + "; ";
      ADD_FAILURE() << "the host did not end; boxes answered: " << seen;
    }
    return code;
  }

  // "title|text" of every box the host's watcher answered.
  std::vector<std::string> boxes() const {
    std::vector<std::string> lines;
    const auto bytes = test::read_file_bytes(file(L"boxes.txt"));
    if (!bytes) return lines;
    std::size_t at = 0;
    while (at < bytes->size()) {
      const std::size_t end = bytes->find('\n', at);
      lines.push_back(bytes->substr(at, end - at));
      at = end == std::string::npos ? bytes->size() : end + 1;
    }
    return lines;
  }

  // The entries of log.txt: kind and message, without their time stamps.
  std::vector<LogEntry> log_entries() const {
    std::vector<LogEntry> entries;
    const auto bytes = test::read_file_bytes(file(L"log.txt"));
    if (!bytes) return entries;
    std::size_t at = 0;
    while (at < bytes->size()) {
      std::size_t end = bytes->find("\r\n\r\n", at);
      if (end == std::string::npos) end = bytes->size();
      const std::string piece = bytes->substr(at, end - at);
      at = end + 4;
      if (piece.find_first_not_of('-') == std::string::npos) continue;  // the line after an Exit entry
      for (int kind = 1; kind <= 10; ++kind) {
        const char* label = log::kind_label(kind);
        if (!label) continue;
        const std::size_t found = piece.find(label);
        if (found == std::string::npos) continue;
        entries.push_back({kind, gbk_to_utf8(piece.substr(found + std::string(label).size()))});
        break;
      }
    }
    return entries;
  }

  std::optional<std::string> config_version() const {
    const auto bytes = test::read_file_bytes(file(L"Config.ini"));
    if (!bytes) return std::nullopt;
    const std::size_t at = bytes->find("Version=");
    if (at == std::string::npos) return std::nullopt;
    return bytes->substr(at + 8, bytes->find("\r\n", at) - at - 8);
  }

  test::ScratchDirectory run_dir_{L"novavis run"};
  test::ScratchDirectory elsewhere_{L"elsewhere"};
};

const std::string kUpToDateBox = u8(u8"最新版本|您正在使用最新版本程序！");
const std::string kNewVersionBox = u8(u8"有新版本程序可用|检测到服务器上有新版本");
const std::string kRunNowBox = u8(u8"询问|下载完毕！是否马上运行？");
const LogEntry kStop{7, "Stop"};

TEST_F(NovavisHost, ExportsExactlyNovavis) {
  EXPECT_EQ(test::exported_names(file(L"Novavis.dll")), std::vector<std::string>{"Novavis"});
}

TEST_F(NovavisHost, UpToDateClosesTheWindowAndSaysSo) {
  write_config("1.18", document_address(update_document("http://127.0.0.1/x.exe", "1.18")));
  ASSERT_EQ(run_host(L"O"), kReturned);
  EXPECT_EQ(boxes(), std::vector<std::string>{kUpToDateBox});
  EXPECT_EQ(log_entries(), (std::vector<LogEntry>{{4, "Old Version:1.18  New Version:1.18"},
                                                  {4, u8(u8"您正在使用最新版本程序！")},
                                                  kStop}));
}

TEST_F(NovavisHost, DownloadFollowedToTheEndAndNotRunNow) {
  const std::string address = file_address("ok", 150000);
  write_config("1.18", document_address(signed_update_document(address, "1.19")));
  ASSERT_EQ(run_host(L"YN"), kReturned);
  EXPECT_EQ(boxes(), (std::vector<std::string>{kNewVersionBox, kRunNowBox}));
  EXPECT_EQ(log_entries(), (std::vector<LogEntry>{{4, "Old Version:1.18  New Version:1.19"},
                                                  {4, address},
                                                  {4, "Download successfully"},
                                                  kStop}));
  EXPECT_EQ(test::read_file_bytes(file(L"Quadrivo V1.19.exe")), test::pattern(150000));
  EXPECT_EQ(config_version(), std::string("1.19"));
}

TEST_F(NovavisHost, YesRunsTheDownloadedProgramAndEndsTheHostWithZero) {
  const std::string address = test::server_root() + "/bin/update_payload.exe";
  write_config("1.18", document_address(signed_update_document(address, "1.19")));
  ASSERT_EQ(run_host(L"YY"), DWORD{0});
  EXPECT_EQ(boxes(), (std::vector<std::string>{kNewVersionBox, kRunNowBox}));
  EXPECT_EQ(config_version(), std::string("1.19"));
  // No Stop entry: the process ended inside the module.
  EXPECT_EQ(log_entries(), (std::vector<LogEntry>{{4, "Old Version:1.18  New Version:1.19"}, {4, address}}));
  // The program started is the saved file itself, by its whole path, without arguments.
  const std::wstring saved = file(L"Quadrivo V1.19.exe");
  std::optional<std::string> ran;
  for (int i = 0; i < 250 && !(ran = test::read_file_bytes(file(L"payload-ran.txt"))); ++i) Sleep(20);
  ASSERT_TRUE(ran.has_value()) << "the downloaded program did not run";
  EXPECT_EQ(*ran, win::wide_to_utf8(test::quote(saved)));
  EXPECT_EQ(test::read_file_bytes(saved), test::read_file_bytes(test::build_bin_directory() + L"\\update_payload.exe"));
}

TEST_F(NovavisHost, AFailedDownloadLeavesNothingAndSaysSo) {
  const std::string address = file_address("drop", 150000);
  write_config("1.18", document_address(signed_update_document(address, "1.19")));
  ASSERT_EQ(run_host(L"YO"), kReturned);
  EXPECT_EQ(boxes(), (std::vector<std::string>{kNewVersionBox, u8(u8"错误提示|下载失败，请检查网络后重试")}));
  EXPECT_EQ(log_entries(), (std::vector<LogEntry>{{4, "Old Version:1.18  New Version:1.19"},
                                                  {4, address},
                                                  {4, "Download Error"},
                                                  kStop}));
  EXPECT_FALSE(test::file_exists(file(L"Quadrivo V1.19.exe")));
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_EQ(config_version(), std::string("1.18"));
}

// The module keeps and runs only what the publisher signed: a download whose signature does not
// match is deleted and reported, with real boxes and the real log.
TEST_F(NovavisHost, ADownloadNotSignedByThePublisherIsDeletedAndReported) {
  const std::string address = test::server_root() + "/bin/update_payload.exe";
  write_config("1.18", document_address(update_document(address, "1.19", test::signature_of(address, "1.19", "other"))));
  ASSERT_EQ(run_host(L"YO"), kReturned);
  EXPECT_EQ(boxes(), (std::vector<std::string>{kNewVersionBox, u8(u8"错误提示|下载的文件未通过签名校验，已删除")}));
  EXPECT_EQ(log_entries(), (std::vector<LogEntry>{{4, "Old Version:1.18  New Version:1.19"},
                                                  {4, address},
                                                  {4, u8(u8"下载的文件未通过签名校验，已删除")},
                                                  kStop}));
  EXPECT_FALSE(test::file_exists(file(L"Quadrivo V1.19.exe")));
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_FALSE(test::file_exists(file(L"payload-ran.txt"))) << "an unsigned program ran";
  EXPECT_EQ(config_version(), std::string("1.18"));
}

TEST_F(NovavisHost, TheEndOfTheProcessStopsATransferAndDeletesItsFile) {
  write_config("1.18", document_address(signed_update_document(file_address("slow", 300000, "&seconds=4"), "1.19")));
  ASSERT_EQ(run_host(L"Y", file(L"Quadrivo V1.19.exe.*.part")), kEndedByWatcher);
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_FALSE(test::file_exists(file(L"Quadrivo V1.19.exe")));
  EXPECT_EQ(config_version(), std::string("1.18"));
}

TEST_F(NovavisHost, WithoutScribbetTheProcessEndsWithMinusOne) {
  ASSERT_TRUE(DeleteFileW(file(L"Scribbet.dll").c_str()));
  write_config("1.18", document_address(update_document("http://127.0.0.1/x.exe", "1.18")));
  EXPECT_EQ(run_host(L"O"), DWORD{0xFFFFFFFF});
  const auto seen = boxes();
  ASSERT_EQ(seen.size(), 1u);
  // It names the library file and, apart from it, the function.
  const std::size_t library = seen[0].find("Scribbet.dll");
  ASSERT_NE(library, std::string::npos) << seen[0];
  EXPECT_NE(seen[0].find("Scribbet", library + 1), std::string::npos) << seen[0];
  EXPECT_FALSE(test::file_exists(file(L"log.txt")));
}

// The program's own update command ("检查更新"), end to end: the real Quadrivo.exe alone in a run
// directory, its menu chosen and its boxes answered from this process.
struct WindowSearch {
  DWORD process;
  const wchar_t* class_name;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_windows(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (process == search->process && IsWindowVisible(window) && lstrcmpW(name, search->class_name) == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> windows_of(DWORD process, const wchar_t* class_name) {
  WindowSearch search{process, class_name, {}};
  EnumWindows(&collect_windows, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND wait_for_window(DWORD process, const wchar_t* class_name, DWORD timeout_ms = 20000) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 20) {
    const auto found = windows_of(process, class_name);
    if (!found.empty()) return found.front();
    Sleep(20);
  }
  return nullptr;
}

// Waits for the program's next message box, answers it and returns its text (UTF-8).
std::string answer_box(DWORD process, WPARAM button) {
  const HWND box = wait_for_window(process, L"#32770");
  if (!box) return "(no box)";
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  PostMessageW(box, WM_COMMAND, button, 0);
  for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
  return win::wide_to_utf8(text);
}

TEST_F(NovavisHost, TheProgramsUpdateCommandWritesTheModuleAndCallsItAtOnce) {
  test::ScratchDirectory program_dir{L"quadrivo run"};
  ASSERT_TRUE(test::copy_from_build(L"Quadrivo.exe", program_dir.path()));
  const std::string address = file_address("slow", 300000, "&seconds=2");
  ASSERT_TRUE(test::write_file_bytes(program_dir.file(L"Config.ini"),
                                     "[currentVersion]\r\nVersion=1.18\r\n[UpdateInfo]\r\nUrl=" +
                                         document_address(signed_update_document(address, "1.19")) + "\r\n"));
  test::ChildProcess program(test::quote(program_dir.file(L"Quadrivo.exe")), elsewhere_.path());
  ASSERT_TRUE(program.started());
  const HWND main = wait_for_window(program.id(), L"QuadrivoMainWindow");
  ASSERT_NE(main, nullptr);
  ASSERT_FALSE(test::file_exists(program_dir.file(L"Novavis.dll")));

  PostMessageW(main, WM_COMMAND, app::kCommandCheckUpdate, 0);
  EXPECT_EQ(answer_box(program.id(), IDYES), u8(u8"检测到服务器上有新版本"))
      << "the module just written was not called at once";
  EXPECT_EQ(test::read_file_bytes(program_dir.file(L"Novavis.dll")),
            test::read_file_bytes(test::build_bin_directory() + L"\\Novavis.dll"));

  // Chosen again while the window is open: the same window, no new check.
  ASSERT_NE(wait_for_window(program.id(), L"QuadrivoUpdateWindow"), nullptr);
  PostMessageW(main, WM_COMMAND, app::kCommandCheckUpdate, 0);
  Sleep(300);
  EXPECT_EQ(windows_of(program.id(), L"QuadrivoUpdateWindow").size(), 1u);
  EXPECT_TRUE(IsWindowEnabled(main)) << "the main window is disabled while the update window is open";

  EXPECT_EQ(answer_box(program.id(), IDNO), u8(u8"下载完毕！是否马上运行？"));
  EXPECT_TRUE(windows_of(program.id(), L"QuadrivoUpdateWindow").empty());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.wait(20000), DWORD{0});

  const auto bytes = test::read_file_bytes(program_dir.file(L"log.txt"));
  ASSERT_TRUE(bytes.has_value());
  const std::string log_text = gbk_to_utf8(*bytes);
  const std::size_t old_new = log_text.find("Old Version:1.18  New Version:1.19");
  const std::size_t done = log_text.find("Download successfully");
  EXPECT_NE(old_new, std::string::npos) << log_text;
  EXPECT_NE(done, std::string::npos) << log_text;
  EXPECT_EQ(log_text.find("Old Version:", old_new + 1), std::string::npos) << "a second check ran";
  EXPECT_EQ(test::read_file_bytes(program_dir.file(L"Quadrivo V1.19.exe")), test::pattern(300000));
}

}  // namespace
}  // namespace quadrivo
