// The update module's Win32 shell in this process: the XML reader, the HTTP fetch, Config.ini on
// disk, the downloader, and the update window with its check and progress tick, all against the
// update server fixture. Message boxes are answered through the message-box seam; the log and the
// end of the process are the host's, replaced here by recorders.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "modules/update/win/config_file.h"
#include "modules/update/win/downloader.h"
#include "common/gbk_utf8.h"
#include "modules/update/win/http_fetch.h"
#include "tests/win/leading_zero_signatures.h"
#include "common/win/message_box.h"
#include "tests/win/support/test_support.h"
#include "modules/update/update_rules.h"
#include "tests/win/update_server.h"
#include "modules/update/win/update_window.h"
#include "common/win/wide_text.h"
#include "modules/update/win/xml_query.h"

namespace quadrivo::update {
namespace {

using test::closed_port_address;
using test::document_address;
using test::file_address;
using test::pattern;
using test::server_root;
using test::signature_of;
using test::signed_update_document;
using test::update_document;

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }
std::string utf8(const std::string& gbk_text) { return gbk_to_utf8(gbk_text); }

// Short time-outs keep the silent-server cases quick; the module's own are 10 s.
constexpr HttpTimeouts kTestTimeouts{1000, 1000, 3000};

// XML reader -----------------------------------------------------------------------------------

// ASCII text as UTF-16LE with its byte-order mark.
std::string utf16_document(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST(UpdateDocument, ReadsTheChildrenOfUpdateByPosition) {
  struct Case {
    const char* name;
    std::string document;
    const char* first;   // nullptr: "Update/@1" fails
    const char* second;  // nullptr: "Update/@2" fails
  };
  const std::string gbk_version = gbk(u8"1.19正式版");
  const Case cases[] = {
      {"plain", "<Update><a>http://h/x</a><b>1.19</b></Update>", "http://h/x", "1.19"},
      {"names are not examined", "<Update><zz/><Version>1.19</Version><more>x</more></Update>", "", "1.19"},
      {"blanks, tabs, CR, LF around", "<Update><a> \t\r\n u \n</a><b>\r\n\t1.19 \t\r\n</b></Update>", "u", "1.19"},
      {"inner blanks stay", "<Update><a>a b</a><b>1 .19</b></Update>", "a b", "1 .19"},
      {"escapes resolved", "<Update><a>?a=1&amp;b=&lt;&gt;&apos;&quot;</a><b>&#49;.19</b></Update>",
       "?a=1&b=<>'\"", "1.19"},
      {"CDATA taken as written", "<Update><a><![CDATA[x&amp;y<z>]]></a><b> <![CDATA[ 1.19 ]]> </b></Update>",
       "x&amp;y<z>", "1.19"},
      {"comments and instructions skipped", "<Update><a>u<!-- no --></a><b>1<?pi x?>.19</b></Update>", "u", "1.19"},
      {"text of nested elements", "<Update><a>u</a><b><i>1</i>.<i>19</i></b></Update>", "u", "1.19"},
      {"attributes ignored", "<Update v=\"2\"><a href=\"h\">u</a><b n=\"3\">1.19</b></Update>", "u", "1.19"},
      {"declaration and trailing comment", "<?xml version=\"1.0\"?>\n<Update><a>u</a><b>1.19</b></Update>\n<!-- end -->",
       "u", "1.19"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF<Update><a>u</a><b>1.19</b></Update>", "u", "1.19"},
      {"UTF-16 with byte-order mark", utf16_document("<Update><a>u</a><b>1.19</b></Update>"), "u", "1.19"},
      {"UTF-8 Chinese text comes back as GBK",
       reinterpret_cast<const char*>(u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Update><a>u</a><b>1.19正式版</b></Update>"),
       "u", gbk_version.c_str()},
      {"GBK declaration", "<?xml version=\"1.0\" encoding=\"GBK\"?><Update><a>u</a><b>" + gbk_version + "</b></Update>",
       "u", gbk_version.c_str()},
      {"gb2312 declaration", "<?xml version='1.0' encoding='gb2312'?><Update><a>u</a><b>" + gbk_version + "</b></Update>",
       "u", gbk_version.c_str()},
      {"one child", "<Update><a>u</a></Update>", "u", nullptr},
      {"no children", "<Update>1.19</Update>", nullptr, nullptr},
      {"empty root", "<Update/>", nullptr, nullptr},
      {"another root name", "<update><a>u</a><b>1.19</b></update>", nullptr, nullptr},
      {"prefixed root", "<x:Update xmlns:x=\"urn:x\"><a>u</a><b>1.19</b></x:Update>", nullptr, nullptr},
      {"children of a deeper Update", "<Root><Update><a>u</a><b>1.19</b></Update></Root>", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateDocument document;
    ASSERT_TRUE(document.load(c.document));
    std::string first = "untouched", second = "untouched";
    EXPECT_EQ(document.query("Update/@1", first), c.first != nullptr);
    EXPECT_EQ(first, c.first ? c.first : "untouched");
    EXPECT_EQ(document.query("Update/@2", second), c.second != nullptr);
    EXPECT_EQ(utf8(second), utf8(c.second ? c.second : "untouched"));
  }
}

TEST(UpdateDocument, LoadsNothingThatIsNotWellFormedToItsEnd) {
  const char* const documents[] = {
      "",
      " \r\n",
      "1.19",
      "<html><body>Not Found</body></html",
      "<Update><a>u</a><b>1.19</b></c>",               // the value came before the fault
      "<Update><a>u</a><b>1.19</b>",                   // cut off after a child
      "<Update><a>u</a><b>1.19",                       // cut off inside the value
      "<Update><a>u</a><b>1.19</b></Update><x/>",      // a second root
      "<Update><a>u</a><b>1.19</b></Update>trailing",  // text after the root
      // Not here: a bare "&" or an undefined entity, which Wine's XmlLite passes through as text.
      "<!DOCTYPE Update [<!ENTITY v \"1.19\">]><Update><a>u</a><b>&v;</b></Update>",  // no document types
      "<?xml version=\"1.0\" encoding=\"GBK\"?><Update><a>u</a><b>\x81</b></Update>",  // not GBK
      "<Update><a>\xFF\xFE</a><b>1.19</b></Update>",   // not UTF-8
  };
  for (const char* bytes : documents) {
    SCOPED_TRACE(bytes);
    UpdateDocument document;
    EXPECT_FALSE(document.load(bytes));
    std::string value = "untouched";
    EXPECT_FALSE(document.query("Update/@2", value));
    EXPECT_EQ(value, "untouched");
  }
}

TEST(UpdateDocument, ALoadDropsThePreviousDocumentFirst) {
  UpdateDocument document;
  ASSERT_TRUE(document.load("<Update><a>u</a><b>1.19</b></Update>"));
  EXPECT_FALSE(document.load("not xml"));
  std::string value = "untouched";
  EXPECT_FALSE(document.query("Update/@1", value));
  EXPECT_EQ(value, "untouched");
}

TEST(UpdateDocument, AnswersOnlyWellFormedQueries) {
  UpdateDocument document;
  ASSERT_TRUE(document.load("<Update><a>u</a><b>1.19</b><c>3</c></Update>"));
  std::string value;
  EXPECT_TRUE(document.query("Update/@3", value));
  EXPECT_EQ(value, "3");
  for (const char* query : {"Update/@4", "Update/@0", "Update/@", "Update", "update/@1", "Update/@1x", "/@1", "Update/1"}) {
    value = "untouched";
    EXPECT_FALSE(document.query(query, value)) << query;
    EXPECT_EQ(value, "untouched") << query;
  }
}

// HTTP fetch -------------------------------------------------------------------------------------

TEST(HttpFetch, TakesTheBodyWhateverTheStatus) {
  ASSERT_TRUE(test::server_configured());
  EXPECT_EQ(http_fetch(document_address("<Update/>"), kTestTimeouts), "<Update/>");
  EXPECT_EQ(http_fetch(document_address("gone", 404), kTestTimeouts), "gone");
  EXPECT_EQ(http_fetch(document_address("", 200), kTestTimeouts), "");
  EXPECT_EQ(http_fetch(file_address("chunked", 5000), kTestTimeouts), pattern(5000));
  EXPECT_EQ(http_fetch(file_address("close", 5000), kTestTimeouts), pattern(5000));
}

TEST(HttpFetch, FailsEmptyOnEveryFault) {
  ASSERT_TRUE(test::server_configured());
  const struct {
    const char* name;
    std::string address;
  } cases[] = {
      {"empty address", ""},
      {"not a web address", "C:\\update.xml"},
      {"connection refused", closed_port_address()},
      {"server never answers", file_address("hang", 1000)},
      {"a byte now and then, longer than a fetch may take", file_address("slow", 100, "&seconds=5")},
      {"cut short", file_address("short", 5000)},
      {"dropped", file_address("drop", 5000)},
      {"more than announced", file_address("long", 5000)},
      {"over 1 MiB", file_address("ok", static_cast<int>(kMaxDocumentBytes) + 1)},
      {"https to a plain server", "https" + server_root().substr(4) + "/doc?body=3c612f3e"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DWORD started = GetTickCount();
    EXPECT_EQ(http_fetch(c.address, kTestTimeouts), "");
    EXPECT_LT(GetTickCount() - started, 8000u) << "the time-outs did not end the request";
  }
  EXPECT_EQ(http_fetch(file_address("ok", static_cast<int>(kMaxDocumentBytes)), kTestTimeouts).size(), kMaxDocumentBytes);
}

// Config.ini ---------------------------------------------------------------------------------------

class ConfigFile : public testing::Test {
 protected:
  std::wstring path() const { return dir_.file(L"Config.ini"); }
  test::ScratchDirectory dir_{L"config"};
};

TEST_F(ConfigFile, ReadsWithTheIniRules) {
  EXPECT_EQ(read_config_value(path(), "currentVersion", "Version"), "");
  ASSERT_TRUE(test::write_file_bytes(path(), "\xEF\xBB\xBF[CurrentVersion]\r\n  version = \"1.18\" \r\n"));
  EXPECT_EQ(read_config_value(path(), "currentVersion", "Version"), "1.18");
  EXPECT_EQ(read_config_value(path(), "UpdateInfo", "Url"), "");
}

TEST_F(ConfigFile, AWriteReplacesTheWholeFileKeepingEveryOtherLine) {
  EXPECT_TRUE(write_config_value(path(), "currentVersion", "Version", "1.19"));
  EXPECT_EQ(test::read_file_bytes(path()), std::string("[currentVersion]\r\nVersion=1.19\r\n"));

  const std::string before = "; kept\r\n[UpdateInfo]\r\nUrl=http://h/u.xml\r\n[currentVersion]\r\nVersion=1.18\r\nOther=x\r\n";
  ASSERT_TRUE(test::write_file_bytes(path(), before));
  EXPECT_TRUE(write_config_value(path(), "currentVersion", "Version", "1.19beta"));
  EXPECT_EQ(test::read_file_bytes(path()),
            std::string("; kept\r\n[UpdateInfo]\r\nUrl=http://h/u.xml\r\n[currentVersion]\r\nVersion=1.19beta\r\nOther=x\r\n"));
  EXPECT_FALSE(test::file_exists(path() + L".new")) << "the temporary file is left behind";
}

TEST_F(ConfigFile, AReadOnlyFileOrADirectoryIsNotReplaced) {
  ASSERT_TRUE(test::write_file_bytes(path(), "[currentVersion]\r\nVersion=1.18\r\n"));
  ASSERT_TRUE(SetFileAttributesW(path().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(write_config_value(path(), "currentVersion", "Version", "1.19"));
  EXPECT_EQ(test::read_file_bytes(path()), std::string("[currentVersion]\r\nVersion=1.18\r\n"));
  EXPECT_FALSE(test::file_exists(path() + L".new"));

  const std::wstring directory = dir_.file(L"Folder.ini");
  ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr));
  EXPECT_FALSE(write_config_value(directory, "currentVersion", "Version", "1.19"));
}

// Downloader -------------------------------------------------------------------------------------

class DownloaderTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::server_configured()); }
  std::wstring save_path() const { return dir_.file(L"Quadrivo V1.19.exe"); }
  // The files a transfer leaves beside the save path: none once it has ended.
  std::vector<std::wstring> part_files() const { return dir_.files_matching(L"*.part"); }
  static DownloadTask task(std::string address, std::wstring save_path,
                           std::function<bool(HANDLE)> accept = nullptr) {
    return DownloadTask{std::move(address), std::move(save_path), kTestTimeouts, std::move(accept)};
  }
  test::ScratchDirectory dir_{L"downloader"};
};

TEST_F(DownloaderTest, RunsOneTransferAtATime) {
  Downloader downloader;
  EXPECT_EQ(downloader.state(0), TransferState::kFailed);
  EXPECT_EQ(downloader.received(), 0);
  EXPECT_EQ(downloader.take_speed(), 0);

  const std::string address = file_address("slow", 200000, "&seconds=1");
  const std::uint32_t first = downloader.start(task(address, save_path()));
  ASSERT_NE(first, 0u);
  EXPECT_EQ(downloader.start(task(address, save_path())), first) << "the same task is the running one";
  EXPECT_FALSE(downloader.busy_with_another(address, save_path()));
  EXPECT_TRUE(downloader.busy_with_another(file_address("ok", 10), dir_.file(L"other.exe")));
  EXPECT_EQ(downloader.start(task(file_address("ok", 10), dir_.file(L"other.exe"))), 0u)
      << "another task while one runs adds nothing";
  EXPECT_EQ(downloader.state(first), TransferState::kRunning);

  // While it runs the temporary file has the whole announced length.
  std::int32_t seen_received = 0;
  while (downloader.state(first) == TransferState::kRunning) {
    seen_received = std::max(seen_received, downloader.received());
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(downloader.temporary_path().c_str(), GetFileExInfoStandard, &data)) {
      EXPECT_EQ(data.nFileSizeLow, 200000u);
    }
    const TransferProgress progress = downloader.progress();
    if (progress.received > 0) {
      EXPECT_EQ(progress.total, std::optional<std::int32_t>(200000));
    }
    Sleep(20);
  }
  EXPECT_GT(seen_received, 0);
  EXPECT_EQ(downloader.state(first), TransferState::kComplete);
  EXPECT_EQ(downloader.received(), 0) << "no transfer runs";
  EXPECT_EQ(downloader.take_speed(), 0);
  EXPECT_EQ(test::read_file_bytes(save_path()), pattern(200000));
  EXPECT_TRUE(part_files().empty());
  EXPECT_EQ(downloader.completed_size(), 200000);
  EXPECT_FALSE(downloader.progress().total.has_value()) << "no transfer runs";

  // The next task is accepted, and replaces the file at the save path when it completes.
  const std::uint32_t second = downloader.start(task(file_address("ok", 1000), save_path()));
  EXPECT_GT(second, first);
  downloader.wait_until_idle();
  EXPECT_EQ(downloader.state(second), TransferState::kComplete);
  EXPECT_EQ(downloader.state(first), TransferState::kFailed) << "only the last transfer is known";
  EXPECT_EQ(test::read_file_bytes(save_path()), pattern(1000));
}

TEST_F(DownloaderTest, TheSpeedQueryResetsItsCount) {
  Downloader downloader;
  const std::uint32_t transfer = downloader.start(task(file_address("slow", 300000, "&seconds=1.5"), save_path()));
  ASSERT_NE(transfer, 0u);
  std::int64_t counted = 0;
  int queries_with_bytes = 0;
  while (downloader.state(transfer) == TransferState::kRunning) {
    Sleep(100);
    const std::int32_t speed = downloader.take_speed();
    counted += speed;
    if (speed > 0) ++queries_with_bytes;
  }
  // Each query counts only what came after the previous one: the sum never exceeds the file.
  EXPECT_GT(queries_with_bytes, 1);
  EXPECT_LE(counted, 300000);
}

TEST_F(DownloaderTest, StoppingMidTransferDeletesTheTemporaryFile) {
  {
    Downloader downloader;
    ASSERT_NE(downloader.start(task(file_address("slow", 100000, "&seconds=3"), save_path())), 0u);
    for (int i = 0; i < 100 && part_files().empty(); ++i) Sleep(20);
    ASSERT_EQ(part_files().size(), 1u);
  }
  EXPECT_TRUE(part_files().empty());
  EXPECT_FALSE(test::file_exists(save_path()));
}

TEST_F(DownloaderTest, OnlyAFileTheCheckAcceptsIsRenamedIntoPlace) {
  ASSERT_TRUE(test::write_file_bytes(save_path(), "the version before"));
  Downloader downloader;
  std::string checked;
  const std::uint32_t refused = downloader.start(task(file_address("ok", 5000), save_path(), [&](HANDLE file) {
    // The check reads the complete file through the handle it is given.
    char bytes[8000];
    DWORD read = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    checked.assign(bytes, read);
    return false;
  }));
  downloader.wait_until_idle();
  EXPECT_EQ(downloader.state(refused), TransferState::kRefused);
  EXPECT_EQ(checked, pattern(5000));
  EXPECT_EQ(test::read_file_bytes(save_path()), std::string("the version before"));
  EXPECT_TRUE(part_files().empty());

  const std::uint32_t accepted = downloader.start(task(file_address("ok", 5000), save_path(), [](HANDLE) { return true; }));
  downloader.wait_until_idle();
  EXPECT_EQ(downloader.state(accepted), TransferState::kComplete);
  EXPECT_EQ(test::read_file_bytes(save_path()), pattern(5000));
}

TEST_F(DownloaderTest, AFileThatCannotBeSavedIsNotANetworkFailure) {
  const struct {
    const char* name;
    std::wstring save_path;
    std::string address;
    TransferState end;
  } cases[] = {
      {"folder missing", dir_.file(L"gone\\Quadrivo V1.19.exe"), file_address("ok", 1000), TransferState::kNotSaved},
      {"path too long", dir_.file(std::wstring(300, L'x') + L".exe"), file_address("ok", 1000), TransferState::kNotSaved},
      {"a folder at the save path", dir_.file(L"Folder V1.19.exe"), file_address("ok", 1000), TransferState::kNotSaved},
      {"the network, for comparison", save_path(), file_address("short", 1000), TransferState::kFailed},
  };
  ASSERT_TRUE(CreateDirectoryW(dir_.file(L"Folder V1.19.exe").c_str(), nullptr));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Downloader downloader;
    const std::uint32_t transfer = downloader.start(task(c.address, c.save_path));
    downloader.wait_until_idle();
    EXPECT_EQ(downloader.state(transfer), c.end);
    EXPECT_TRUE(part_files().empty());
  }
}

TEST_F(DownloaderTest, EachTransferHasATemporaryFileOfItsOwn) {
  Downloader first, second;
  const std::uint32_t one = first.start(task(file_address("slow", 100000, "&seconds=1"), save_path()));
  ASSERT_NE(one, 0u);
  for (int i = 0; i < 100 && part_files().empty(); ++i) Sleep(20);
  ASSERT_EQ(part_files().size(), 1u);
  const std::uint32_t two = second.start(task(file_address("short", 1000), save_path()));
  ASSERT_NE(two, 0u);
  second.wait_until_idle();
  EXPECT_EQ(second.state(two), TransferState::kFailed);
  EXPECT_NE(first.temporary_path(), second.temporary_path());
  EXPECT_EQ(part_files().size(), 1u) << "a failed transfer deleted another's file";
  first.wait_until_idle();
  EXPECT_EQ(first.state(one), TransferState::kComplete);
  EXPECT_EQ(test::read_file_bytes(save_path()), pattern(100000));

  // A file of another program that happens to have the name the next transfer takes is neither
  // used nor deleted: the transfer takes another name. Names run "<save path>.<process>-<n>.part".
  const std::wstring last = second.temporary_path();
  const unsigned long next = std::stoul(last.substr(last.rfind(L'-') + 1)) + 1;
  const std::wstring planted =
      save_path() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(next) + L".part";
  Downloader fourth;
  ASSERT_TRUE(test::write_file_bytes(planted, "someone else's"));
  const std::uint32_t four = fourth.start(task(file_address("short", 1000), save_path()));
  fourth.wait_until_idle();
  EXPECT_EQ(fourth.state(four), TransferState::kFailed);
  EXPECT_EQ(test::read_file_bytes(planted), std::string("someone else's"));
  EXPECT_NE(fourth.temporary_path(), planted);
}

TEST_F(DownloaderTest, WithoutAnAnnouncedLengthTheTotalIsUnknown) {
  Downloader downloader;
  const std::uint32_t transfer = downloader.start(task(file_address("chunked", 300000), save_path()));
  // A fast local transfer may end before a look: every look that sees bytes sees no total.
  while (downloader.state(transfer) == TransferState::kRunning) {
    const TransferProgress progress = downloader.progress();
    if (progress.received > 0) EXPECT_FALSE(progress.total.has_value());
  }
  EXPECT_EQ(downloader.state(transfer), TransferState::kComplete);
  EXPECT_EQ(downloader.completed_size(), 300000);
}

// The update window --------------------------------------------------------------------------------

struct Box {
  std::string text;
  std::string title;
  unsigned style;
};

struct Entry {
  std::string text;
  int kind;
};

// A stand-in for the host's main window: counts the messages dispatched to it.
class StandInMainWindow {
 public:
  StandInMainWindow() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &StandInMainWindow::procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"QuadrivoTestMainWindow";
    RegisterClassExW(&window_class);
    window_ = CreateWindowExW(0, L"QuadrivoTestMainWindow", L"main", WS_OVERLAPPEDWINDOW, 500, 300, 300, 200, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, SW_SHOWNORMAL);
  }
  ~StandInMainWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  int pings() const { return pings_; }
  static constexpr UINT kPing = WM_APP + 7;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<StandInMainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kPing) ++self->pings_;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
  int pings_ = 0;
};

class UpdateWindowTest : public testing::Test {
 protected:
  // Ticks come every 20 ms here; no case needs more than this many.
  static constexpr int kTickLimit = 1500;

  void SetUp() override {
    ASSERT_TRUE(test::server_configured());
    host_.run_directory = run_dir_.path();
    host_.write_log = [this](const std::string& text, int kind) { log_.push_back({text, kind}); };
    host_.end_process = [this] { ++process_ends_; };
    host_.progress_period_ms = 20;
    host_.timeouts = kTestTimeouts;
    host_.after_tick = [this](HWND window) {
      ++ticks_;
      if (on_tick_) on_tick_(window);
      if (ticks_ == kTickLimit) {
        ADD_FAILURE() << "the download never ended";
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
    };
    win::set_message_box_answerer([this](const std::string& text, const std::string& title, unsigned style) {
      boxes_.push_back({text, title, style});
      if (on_box_) on_box_();
      if (answers_.empty()) return IDOK;
      const int answer = answers_.front();
      answers_.pop_front();
      return answer;
    });
  }
  void TearDown() override {
    win::set_message_box_answerer(nullptr);
    module_.downloader.wait_until_idle();
  }

  std::wstring config_path() const { return run_dir_.file(L"Config.ini"); }
  std::wstring save_path(const std::string& version_text) const {
    return run_dir_.path() + win::gbk_to_wide(save_file_suffix(version_text));
  }
  void write_config(const std::string& installed, const std::string& url) {
    ASSERT_TRUE(test::write_file_bytes(config_path(), "[currentVersion]\r\nVersion=" + installed +
                                                          "\r\n[UpdateInfo]\r\nUrl=" + url + "\r\n"));
  }
  // Installed 1.18; the server offers the document.
  void serve(const std::string& document, const std::string& installed = "1.18") {
    write_config(installed, document_address(document));
  }
  void run() { run_update_window(module_, host_); }

  std::vector<std::string> log_texts() const {
    std::vector<std::string> texts;
    for (const Entry& entry : log_) {
      EXPECT_EQ(entry.kind, 4) << utf8(entry.text);
      texts.push_back(utf8(entry.text));
    }
    return texts;
  }
  std::vector<std::string> box_texts() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes_) texts.push_back(utf8(box.text));
    return texts;
  }
  std::string server_requests() const { return http_fetch(server_root() + "/log", kTestTimeouts); }
  bool window_of_the_module_exists() const { return FindWindowW(kUpdateWindowClass, nullptr) != nullptr; }

  test::ScratchDirectory run_dir_{L"update run"};  // a blank in the path, as in "Quadrivo V..."
  UpdateModule module_;
  UpdateHost host_;
  std::deque<int> answers_;
  std::vector<Box> boxes_;
  std::vector<Entry> log_;
  std::function<void()> on_box_;
  std::function<void(HWND)> on_tick_;
  int ticks_ = 0;
  int process_ends_ = 0;
};

std::string old_new(const char* installed, const std::string& offered) {
  return utf8(old_new_version_log_text(installed, offered));
}

const std::string kUpToDate = utf8(kUpToDateText);
const std::string kNewVersion = utf8(kNewVersionText);
const std::string kRunNow = utf8(kRunNowText);
const std::string kDownloadFailed = utf8(kDownloadFailedText);

TEST_F(UpdateWindowTest, TheFormIsTheTableAndTheHostStaysUsable) {
  StandInMainWindow main;
  serve(signed_update_document(file_address("slow", 100000, "&seconds=0.5"), "1.19"));
  int ticks_before_yes = -1;
  bool checked = false;
  on_box_ = [&] {
    if (checked) return;
    checked = true;
    const HWND window = module_.open_window;
    ASSERT_NE(window, nullptr);
    // The timer is off until the download starts: pumping for a while brings no tick.
    const DWORD until = GetTickCount() + 150;
    MSG message;
    while (GetTickCount() < until) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(5);
    }
    ticks_before_yes = ticks_;

    wchar_t text[128];
    GetWindowTextW(window, text, 128);
    EXPECT_EQ(win::wide_to_gbk(text), kWindowTitle);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 371);
    EXPECT_EQ(outer.bottom - outer.top, 118);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "shown without an owner";
    EXPECT_TRUE(IsWindowEnabled(main.get())) << "the host's window is left enabled";

    const struct {
      int id;
      const wchar_t* window_class;
      RECT place;
      const char8_t* caption;
    } controls[] = {
        {标签_下载速度, L"Static", {19, 8, 19 + 88, 8 + 24}, u8"速度：0000KB"},
        {标签_已经下载大小, L"Static", {131, 8, 131 + 95, 8 + 24}, u8"已下载：0000KB"},
        {标签_总大小, L"Static", {257, 8, 257 + 95, 8 + 24}, u8"总大小：0000KB"},
        {进度条_下载进度, PROGRESS_CLASSW, {1, 39, 1 + 363, 39 + 19}, u8""},
        {标签_下载进度, L"Static", {-8, 64, -8 + 376, 64 + 16}, u8"进度：0%"},
    };
    for (const auto& control : controls) {
      const HWND child = GetDlgItem(window, control.id);
      ASSERT_NE(child, nullptr) << control.id;
      wchar_t class_name[64];
      GetClassNameW(child, class_name, 64);
      EXPECT_EQ(lstrcmpiW(class_name, control.window_class), 0) << control.id;
      RECT place;
      GetWindowRect(child, &place);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
      EXPECT_EQ(place.left, control.place.left) << control.id;
      EXPECT_EQ(place.top, control.place.top) << control.id;
      EXPECT_EQ(place.right, control.place.right) << control.id;
      EXPECT_EQ(place.bottom, control.place.bottom) << control.id;
      GetWindowTextW(child, text, 128);
      EXPECT_EQ(win::wide_to_utf8(text), reinterpret_cast<const char*>(control.caption)) << control.id;
    }
    const HWND bar = GetDlgItem(window, 进度条_下载进度);
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  };
  on_tick_ = [&](HWND) {
    EXPECT_TRUE(IsWindowEnabled(main.get()));
    if (ticks_ == 1) PostMessageW(main.get(), StandInMainWindow::kPing, 0, 0);
  };
  answers_ = {IDYES, IDNO};
  run();
  EXPECT_TRUE(checked);
  EXPECT_EQ(ticks_before_yes, 0);
  EXPECT_EQ(main.pings(), 1) << "the host's messages were not dispatched while the window was open";
  EXPECT_FALSE(window_of_the_module_exists());
  EXPECT_EQ(module_.open_window, nullptr);
}

struct CheckCase {
  const char* name;
  std::string installed;
  std::string url;             // the document address in Config.ini
  std::deque<int> answers;
  std::vector<std::string> boxes;  // UTF-8
  std::vector<std::string> log;    // UTF-8
};

TEST_F(UpdateWindowTest, ChecksThatEndWithoutADownload) {
  const std::string offer = update_document(file_address("ok", 1000, "&tag=never"), "1.19");
  const std::string no_version = old_new("1.18", "");
  const CheckCase cases[] = {
      {"up to date 1.18 / 1.18", "1.18", document_address(update_document("http://h/x.exe", "1.18")), {},
       {kUpToDate}, {old_new("1.18", "1.18"), kUpToDate}},
      {"numeric: 1.2 is newer than 1.19", "1.2", document_address(update_document("http://h/x.exe", "1.19")), {},
       {kUpToDate}, {old_new("1.2", "1.19"), kUpToDate}},
      {"7.7 / 7.7 compared as doubles", "7.7", document_address(update_document("http://h/x.exe", "7.7")), {},
       {kUpToDate}, {old_new("7.7", "7.7"), kUpToDate}},
      {"offered and declined", "1.18", document_address(offer), {IDNO}, {kNewVersion}, {old_new("1.18", "1.19")}},
      {"a 404 status with a document is still read", "1.18", document_address(offer, 404), {IDNO}, {kNewVersion},
       {old_new("1.18", "1.19")}},
      {"wrong root", "1.18", document_address("<update><a>u</a><b>1.19</b></update>"), {}, {kUpToDate},
       {no_version, kUpToDate}},
      {"one child", "1.18", document_address("<Update><a>1.19</a></Update>"), {}, {kUpToDate}, {no_version, kUpToDate}},
      {"not XML", "1.18", document_address("Version 1.19"), {}, {kUpToDate}, {no_version, kUpToDate}},
      {"not well-formed after the value", "1.18", document_address("<Update><a>u</a><b>1.19</b></Updat>"), {},
       {kUpToDate}, {no_version, kUpToDate}},
      {"empty body", "1.18", document_address(""), {}, {kUpToDate}, {no_version, kUpToDate}},
      {"server down", "1.18", closed_port_address(), {}, {kUpToDate}, {no_version, kUpToDate}},
      {"server never answers", "1.18", file_address("hang", 10), {}, {kUpToDate}, {no_version, kUpToDate}},
      {"no Url key", "1.18", "", {}, {kUpToDate}, {no_version, kUpToDate}},
      {"no Config.ini at all", "", "", {}, {kUpToDate}, {old_new("", ""), kUpToDate}},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    module_.new_version_text.clear();  // each case is the first check of a run
    log_.clear();
    boxes_.clear();
    if (c.installed.empty() && c.url.empty()) {
      DeleteFileW(config_path().c_str());
    } else {
      write_config(c.installed, c.url);
    }
    answers_ = c.answers;
    run();
    EXPECT_EQ(box_texts(), c.boxes);
    EXPECT_EQ(log_texts(), c.log);
    EXPECT_FALSE(window_of_the_module_exists());
    EXPECT_EQ(ticks_, 0);
  }
  EXPECT_EQ(server_requests().find("tag=never"), std::string::npos) << "something was downloaded";
  EXPECT_EQ(old_new("", ""), "Old Version:0  New Version:");
}

TEST_F(UpdateWindowTest, TheMessagesHaveTheirTitlesAndStyles) {
  serve(update_document("http://h/x.exe", "1.18"));
  run();
  serve(update_document("http://h/x.exe", "1.19"));
  answers_ = {IDNO};
  run();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].title, kUpToDateTitle);
  EXPECT_EQ(boxes_[0].style, 0u);
  EXPECT_EQ(boxes_[1].title, kNewVersionTitle);
  EXPECT_EQ(boxes_[1].style, 4u);
}

TEST_F(UpdateWindowTest, ALaterCheckKeepsTheVersionTextWhenTheServerIsDown) {
  serve(update_document("http://h/x.exe", "1.19"));
  answers_ = {IDNO};
  run();
  write_config("1.18", closed_port_address());
  answers_ = {IDNO};
  run();
  EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", "1.19"), old_new("1.18", "1.19")}));
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kNewVersion}));
}

struct DownloadCase {
  const char* name;
  std::string version_markup;  // as written in the document
  std::string version_text;    // what the module reads from it (GBK)
  std::string mode;
  int size;
  bool complete;
  std::string extra = "";  // more of the file's query
  bool gbk_document = false;
};

class DownloadOutcome : public UpdateWindowTest, public testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadOutcome, OnlyACompleteFileIsKeptAndRecorded) {
  const DownloadCase& c = GetParam();
  const std::string address = file_address(c.mode, c.size, c.extra);
  const std::string signature = signature_of(address, c.version_text);
  std::string document = update_document(address, c.version_markup, signature);
  if (c.gbk_document) {
    document = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<Update><Url>" + test::xml_escape(address) +
               "</Url><Version>" + c.version_markup + "</Version><Signature>" + signature + "</Signature></Update>";
  }
  serve(document);
  const std::string config_before = *test::read_file_bytes(config_path());
  answers_ = {IDYES, IDNO};
  run();
  const std::wstring saved = save_path(c.version_text);
  const std::string address_text = utf8(address);
  if (c.complete) {
    EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kRunNow}));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].title, kRunNowTitle);
    EXPECT_EQ(boxes_[1].style, 36u);
    EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", c.version_text), address_text,
                                                     "Download successfully"}));
    EXPECT_EQ(test::read_file_bytes(saved), pattern(c.size));
    EXPECT_EQ(read_config_value(config_path(), "currentVersion", "Version"), c.version_text);
  } else {
    EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kDownloadFailed}));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].title, kErrorTitle);
    EXPECT_EQ(boxes_[1].style, 16u);
    EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", c.version_text), address_text, "Download Error"}));
    EXPECT_FALSE(test::file_exists(saved));
    EXPECT_EQ(test::read_file_bytes(config_path()), config_before) << "Config.ini changed";
  }
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_EQ(process_ends_, 0);
  EXPECT_FALSE(window_of_the_module_exists());
  EXPECT_GT(ticks_, 0);
}

const std::string kFullWidthVersion = "\xA3\xB1.\xA3\xB1\xA3\xB9";  // "１.１９"

INSTANTIATE_TEST_SUITE_P(
    Transfers, DownloadOutcome,
    testing::Values(
        DownloadCase{"with_its_length", "1.19", "1.19", "ok", 300000, true},
        DownloadCase{"chunked_without_length", "1.19", "1.19", "chunked", 100000, true},
        DownloadCase{"ended_by_closing_without_length", "1.19", "1.19", "close", 100000, true},
        // Under 1 % for many ticks: a tick at "进度：0%" is not the end.
        DownloadCase{"trickle_slower_than_1_percent_per_tick", "1.19", "1.19", "trickle", 100000, true},
        DownloadCase{"blanks_around_the_version", "\r\n\t 1.19 \r\n  ", "1.19", "ok", 1000, true},
        DownloadCase{"version_1_19beta", "1.19beta", "1.19beta", "ok", 1000, true},
        DownloadCase{"full_width_digits", reinterpret_cast<const char*>(u8"１.１９"), kFullWidthVersion, "ok", 1000, true},
        DownloadCase{"GBK_document", "1.19\xD5\xFD\xCA\xBD\xB0\xE6", "1.19\xD5\xFD\xCA\xBD\xB0\xE6", "ok", 1000, true, "", true},
        DownloadCase{"status_404_with_a_body", "1.19", "1.19", "ok", 1000, false, "&status=404"},
        DownloadCase{"short_body", "1.19", "1.19", "short", 100000, false},
        DownloadCase{"longer_than_announced", "1.19", "1.19", "long", 100000, false},
        DownloadCase{"dropped_connection", "1.19", "1.19", "drop", 100000, false},
        DownloadCase{"server_never_answers", "1.19", "1.19", "hang", 1000, false}),
    [](const testing::TestParamInfo<DownloadCase>& info) { return std::string(info.param.name); });

TEST_F(UpdateWindowTest, TheTickShowsTheProgress) {
  constexpr int kSize = 2048000;
  serve(signed_update_document(file_address("slow", kSize, "&seconds=1.5"), "1.19"));
  struct Seen {
    std::string speed, received, total, percent;
    LRESULT bar;
  };
  std::vector<Seen> seen;
  on_tick_ = [&](HWND window) {
    wchar_t text[64];
    Seen tick;
    GetDlgItemTextW(window, 标签_下载速度, text, 64);
    tick.speed = win::wide_to_gbk(text);
    GetDlgItemTextW(window, 标签_已经下载大小, text, 64);
    tick.received = win::wide_to_gbk(text);
    GetDlgItemTextW(window, 标签_总大小, text, 64);
    tick.total = win::wide_to_gbk(text);
    GetDlgItemTextW(window, 标签_下载进度, text, 64);
    tick.percent = win::wide_to_gbk(text);
    tick.bar = SendDlgItemMessageW(window, 进度条_下载进度, PBM_GETPOS, 0, 0);
    seen.push_back(tick);
  };
  // When the question comes, the window shows the whole file arrived.
  std::vector<Seen> at_question;
  on_box_ = [&] {
    if (boxes_.back().text != kRunNowText || !module_.open_window) return;
    const HWND window = module_.open_window;
    on_tick_(window);
    at_question.push_back(seen.back());
  };
  answers_ = {IDYES, IDNO};
  run();
  ASSERT_EQ(at_question.size(), 1u);
  EXPECT_EQ(at_question[0].received, std::string(kReceivedLabel) + "2000KB");
  EXPECT_EQ(at_question[0].total, std::string(kTotalLabel) + "2000KB");
  EXPECT_EQ(at_question[0].percent, std::string(kPercentLabel) + "100%");
  EXPECT_EQ(at_question[0].bar, 100);
  seen.pop_back();
  ASSERT_FALSE(seen.empty());
  bool midway = false, moving = false;
  for (const Seen& tick : seen) {
    EXPECT_EQ(tick.percent, std::string(kPercentLabel) + std::to_string(tick.bar) + "%");
    if (tick.bar > 0 && tick.bar < 100) {
      midway = true;
      EXPECT_EQ(tick.total, std::string(kTotalLabel) + "2000KB");
      EXPECT_TRUE(tick.received.starts_with(kReceivedLabel)) << utf8(tick.received);
      const int kilobytes = std::stoi(tick.received.substr(std::string(kReceivedLabel).size()));
      EXPECT_GE(kilobytes * 100 / 2000, tick.bar - 1);
      EXPECT_LE(kilobytes * 100 / 2000, tick.bar + 1);
    }
    moving = moving || tick.speed != std::string(kSpeedLabel) + "0KB";
  }
  EXPECT_TRUE(midway) << "no tick saw the transfer half-way";
  EXPECT_TRUE(moving) << "no tick saw a speed";
  EXPECT_EQ(log_texts().back(), "Download successfully");
}

TEST_F(UpdateWindowTest, YesStartsTheNewVersionRecordsItAndEndsTheProcess) {
  serve(signed_update_document(file_address("ok", 5000), "1.19"));
  answers_ = {IDYES, IDYES};
  run();
  EXPECT_EQ(process_ends_, 1);
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kRunNow}));
  EXPECT_EQ(read_config_value(config_path(), "currentVersion", "Version"), "1.19");
  // Nothing after the address: the process ends.
  EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", "1.19"), utf8(file_address("ok", 5000))}));
}

TEST_F(UpdateWindowTest, AReadOnlyConfigIniIsAFailedRecord) {
  serve(signed_update_document(file_address("ok", 5000), "1.19"));
  const std::string before = *test::read_file_bytes(config_path());
  ASSERT_TRUE(SetFileAttributesW(config_path().c_str(), FILE_ATTRIBUTE_READONLY));
  answers_ = {IDYES, IDNO};
  run();
  EXPECT_EQ(log_texts().back(), "Download Error");
  EXPECT_EQ(test::read_file_bytes(config_path()), before);
  EXPECT_TRUE(test::file_exists(save_path("1.19"))) << "the file itself is complete";

  // Yes: nothing is reported, the process still ends.
  log_.clear();
  boxes_.clear();
  answers_ = {IDYES, IDYES};
  run();
  EXPECT_EQ(process_ends_, 1);
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kRunNow}));
  EXPECT_EQ(log_texts().size(), 2u);
  EXPECT_EQ(test::read_file_bytes(config_path()), before);
}

TEST_F(UpdateWindowTest, RefusesWhatTheServerSentBeforeDownloading) {
  const std::string good_address = file_address("ok", 1000, "&tag=refused");
  const struct {
    const char* name;
    std::string version;   // markup in the document
    std::string address;
    const char* message;
  } cases[] = {
      {"parent directory", "1.19\\..\\..\\evil", good_address, kBadVersionText},
      {"slash", "2/evil", good_address, kBadVersionText},
      {"drive colon", "2:evil", good_address, kBadVersionText},
      {"two dots", "1.19..", good_address, kBadVersionText},
      {"angle bracket", "1.19&lt;", good_address, kBadVersionText},
      {"quote", "1.19&quot;", good_address, kBadVersionText},
      {"bar, question mark, star", "1.19|?*", good_address, kBadVersionText},
      {"control character", "1.19\tbeta", good_address, kBadVersionText},
      {"longer than 64 bytes", "1.19" + std::string(61, 'x'), good_address, kBadVersionText},
      {"file address", "1.19", "file:///C:/windows/notepad.exe", kBadAddressText},
      {"bare path", "1.19", "C:\\windows\\notepad.exe", kBadAddressText},
      {"ftp", "1.19", "ftp://127.0.0.1/x.exe", kBadAddressText},
      {"empty address", "1.19", "", kBadAddressText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    boxes_.clear();
    serve(update_document(c.address, c.version));
    const std::string before = *test::read_file_bytes(config_path());
    answers_ = {IDYES};
    run();
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].text, c.message);
    EXPECT_EQ(boxes_[1].title, kErrorTitle);
    EXPECT_EQ(boxes_[1].style, 16u);
    ASSERT_EQ(log_.size(), 2u);
    EXPECT_EQ(log_[1].text, c.message);
    EXPECT_EQ(log_[1].kind, 4);
    EXPECT_EQ(test::read_file_bytes(config_path()), before);
    EXPECT_FALSE(window_of_the_module_exists());
  }
  // "1.19" + 60 bytes is still accepted: exactly 64.
  log_.clear();
  boxes_.clear();
  serve(signed_update_document(file_address("ok", 10), "1.19" + std::string(60, 'x')));
  answers_ = {IDYES, IDNO};
  run();
  EXPECT_EQ(log_texts().back(), "Download successfully");
  EXPECT_GT(ticks_, 0);
  EXPECT_EQ(server_requests().find("tag=refused"), std::string::npos) << "a refused task was downloaded";
}

TEST_F(UpdateWindowTest, ClosingTheWindowLeavesTheTransferToFinishUnobserved) {
  const std::string address = file_address("slow", 200000, "&seconds=1");
  serve(signed_update_document(address, "1.19"));
  const std::string config_before = *test::read_file_bytes(config_path());
  on_tick_ = [&](HWND window) {
    if (ticks_ == 1) PostMessageW(window, WM_CLOSE, 0, 0);
  };
  answers_ = {IDYES, IDNO};
  run();
  EXPECT_FALSE(window_of_the_module_exists());
  module_.downloader.wait_until_idle();
  EXPECT_EQ(test::read_file_bytes(save_path("1.19")), pattern(200000)) << "the transfer did not go on";
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_EQ(box_texts(), std::vector<std::string>{kNewVersion}) << "the end was followed after all";
  EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", "1.19"), utf8(address)}));
  EXPECT_EQ(test::read_file_bytes(config_path()), config_before);
}

TEST_F(UpdateWindowTest, ACallWhileTheWindowIsOpenBringsItToTheFront) {
  serve(signed_update_document(file_address("slow", 100000, "&seconds=0.5"), "1.19"));
  HWND during = nullptr;
  on_tick_ = [&](HWND window) {
    if (ticks_ != 2) return;
    during = window;
    run();  // as the host's menu would, from inside the window's loop
  };
  answers_ = {IDYES, IDNO};
  run();
  ASSERT_NE(during, nullptr);
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kRunNow})) << "the second call started a check";
  EXPECT_EQ(log_.size(), 3u);
}

TEST_F(UpdateWindowTest, TheEndOfTheProgramEndsTheWindowAndReachesTheHostsLoop) {
  serve(signed_update_document(file_address("slow", 100000, "&seconds=0.5"), "1.19"));
  on_tick_ = [&](HWND) {
    if (ticks_ == 1) PostQuitMessage(3);
  };
  answers_ = {IDYES, IDNO};
  run();
  EXPECT_FALSE(window_of_the_module_exists());
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was swallowed";
  EXPECT_EQ(message.wParam, 3u);
}

// Signatures ---------------------------------------------------------------------------------------

// What every refusal leaves: the two boxes, the log up to the message, no program at the save
// path, no temporary file, Config.ini as it was, nothing started.
class SignedUpdateTest : public UpdateWindowTest {
 protected:
  void expect_refused(const char* message, bool downloaded, const std::string& address,
                      const std::string& config_before) {
    EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, utf8(message)}));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].title, kErrorTitle);
    EXPECT_EQ(boxes_[1].style, 16u);
    std::vector<std::string> log{old_new("1.18", "1.19")};
    if (downloaded) log.push_back(utf8(address));
    log.push_back(utf8(message));
    EXPECT_EQ(log_texts(), log);
    EXPECT_FALSE(test::file_exists(save_path("1.19")));
    EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
    EXPECT_EQ(test::read_file_bytes(config_path()), config_before) << "Config.ini changed";
    EXPECT_EQ(process_ends_, 0);
    EXPECT_FALSE(window_of_the_module_exists());
  }
  void reset() {
    log_.clear();
    boxes_.clear();
    ticks_ = 0;
  }
};

TEST_F(SignedUpdateTest, ADocumentWithoutAValidSignatureIsRefusedBeforeDownloading) {
  const std::string address = file_address("ok", 1000, "&tag=unsigned");
  const std::string good = signature_of(address, "1.19");
  ASSERT_EQ(good.size(), 88u);
  const struct {
    const char* name;
    std::string document;
  } cases[] = {
      {"no third child", update_document(address, "1.19")},
      {"an empty third child", update_document(address, "1.19", "")},
      {"not base64", update_document(address, "1.19", good.substr(0, 40) + "!" + good.substr(41))},
      {"63 bytes", update_document(address, "1.19", good.substr(0, 84))},
      {"65 bytes", update_document(address, "1.19", good.substr(0, 84) + "AAA=")},
      {"a DER signature", update_document(address, "1.19", std::string(96, 'M'))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    serve(c.document);
    const std::string before = *test::read_file_bytes(config_path());
    answers_ = {IDYES};
    run();
    expect_refused(kNoValidSignatureText, false, address, before);
    EXPECT_EQ(ticks_, 0);
  }
  EXPECT_EQ(server_requests().find("tag=unsigned"), std::string::npos) << "an unsigned update was downloaded";
}

TEST_F(SignedUpdateTest, ADownloadWhoseSignatureDoesNotMatchIsDeletedAndNeverRun) {
  const std::string file = file_address("ok", 20000);
  const struct {
    const char* name;
    std::string address;    // what the document points at
    std::string signature;  // what it carries
  } cases[] = {
      {"signed by another key", file, signature_of(file, "1.19", "other")},
      {"signed for another version text", file, signature_of(file, "1.18")},
      {"signed for the version with a blank", file, signature_of(file, "1.19 ")},
      {"the file changed after signing", file_address("ok", 20000, "&flip=12345"), signature_of(file, "1.19")},
      {"a body framed by closing, cut short", file_address("closecut", 20000), signature_of(file, "1.19")},
      {"the signature of another file", file, signature_of(file_address("ok", 20001), "1.19")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    serve(update_document(c.address, "1.19", c.signature));
    const std::string before = *test::read_file_bytes(config_path());
    answers_ = {IDYES, IDYES};
    run();
    expect_refused(kSignatureMismatchText, true, c.address, before);
    EXPECT_GT(ticks_, 0);
  }
}

TEST_F(SignedUpdateTest, SignaturesWithLeadingZeroBytesAreAccepted) {
  host_.publisher_key = test::kLeadingZeroKey;
  for (const char* signature : {test::kShortRSignature, test::kShortSSignature}) {
    SCOPED_TRACE(signature);
    reset();
    DeleteFileW(save_path("1.19").c_str());
    const std::string address = file_address("ok", test::kLeadingZeroFileSize);
    serve(update_document(address, test::kLeadingZeroVersion, signature));
    answers_ = {IDYES, IDNO};
    run();
    EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, kRunNow}));
    EXPECT_EQ(log_texts().back(), "Download successfully");
    EXPECT_EQ(test::read_file_bytes(save_path("1.19")), pattern(test::kLeadingZeroFileSize));
  }
  // The development key does not accept them: the key in the host is the one that counts.
  reset();
  host_.publisher_key = publisher_public_key();
  serve(update_document(file_address("ok", test::kLeadingZeroFileSize), test::kLeadingZeroVersion,
                        test::kShortRSignature));
  answers_ = {IDYES, IDYES};
  run();
  EXPECT_EQ(box_texts().back(), utf8(kSignatureMismatchText));
}

TEST_F(SignedUpdateTest, AFileThatCannotBeSavedSaysSo) {
  ASSERT_TRUE(CreateDirectoryW(save_path("1.19").c_str(), nullptr));  // something in the way
  const std::string address = file_address("ok", 5000);
  serve(signed_update_document(address, "1.19"));
  const std::string before = *test::read_file_bytes(config_path());
  answers_ = {IDYES, IDYES};
  run();
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, utf8(kCannotSaveText)}));
  EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", "1.19"), utf8(address), utf8(kCannotSaveText)}));
  EXPECT_TRUE(run_dir_.files_matching(L"*.part").empty());
  EXPECT_EQ(test::read_file_bytes(config_path()), before);
  EXPECT_EQ(process_ends_, 0);
}

TEST_F(SignedUpdateTest, ACheckWhileAnEarlierTransferRunsSaysSo) {
  const std::string slow = file_address("slow", 200000, "&seconds=1.5");
  serve(signed_update_document(slow, "1.19"));
  on_tick_ = [&](HWND window) {
    if (ticks_ == 1) PostMessageW(window, WM_CLOSE, 0, 0);
  };
  answers_ = {IDYES};
  run();
  ASSERT_EQ(module_.downloader.state(1), TransferState::kRunning) << "the first transfer ended too soon";

  reset();
  on_tick_ = nullptr;
  serve(signed_update_document(file_address("ok", 1000), "1.20"));
  answers_ = {IDYES};
  run();
  EXPECT_EQ(box_texts(), (std::vector<std::string>{kNewVersion, utf8(kTransferStillRunningText)}));
  EXPECT_EQ(boxes_[1].title, kErrorTitle);
  EXPECT_EQ(boxes_[1].style, 16u);
  EXPECT_EQ(log_texts(), (std::vector<std::string>{old_new("1.18", "1.20"), utf8(kTransferStillRunningText)}));
  EXPECT_EQ(ticks_, 0);
  module_.downloader.wait_until_idle();
  EXPECT_EQ(test::read_file_bytes(save_path("1.19")), pattern(200000)) << "the earlier transfer was disturbed";
  EXPECT_FALSE(test::file_exists(save_path("1.20")));
}

// The whole document fetch ends within its total, whatever each step may take on its own.
TEST(HttpFetch, TheWholeFetchEndsWithinItsTotal) {
  ASSERT_TRUE(test::server_configured());
  // On their own limits a read of the head could wait 2 s and each read of the body 2 s more: the
  // head comes at once and the first byte after 1.5 s, then nothing.
  constexpr HttpTimeouts kTimeouts{1000, 2000, 2500};
  for (const char* seconds : {"0.3", "1.5"}) {
    SCOPED_TRACE(seconds);
    const DWORD started = GetTickCount();
    EXPECT_EQ(http_fetch(file_address("pause", 1000, std::string("&seconds=") + seconds), kTimeouts), "");
    EXPECT_LE(GetTickCount() - started, 2500u + 300u) << "the fetch outlived its total";
  }
}

}  // namespace
}  // namespace quadrivo::update
