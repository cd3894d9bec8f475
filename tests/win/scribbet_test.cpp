// Scribbet.dll as the program uses it: loaded by file name from the host's folder, called through
// a __stdcall pointer, appending to log.txt beside the host executable.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"
#include "modules/log/log_entry.h"
#include "tests/win/support/test_support.h"

namespace quadrivo {
namespace {

using test::ScratchDirectory;

log::LocalTime now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::wstring hex_argument(const std::string& bytes) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"hex:";
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

struct Call {
  int kind;
  const char* message;  // nullptr: a null pointer
  bool empty_pointer = false;
};

// A run directory of its own with the host program and the module, started from another
// current directory so that a log written "beside the program" cannot be confused with one
// written into the current directory.
class ScribbetHost : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::copy_from_build(L"log_host.exe", run_dir_.path()));
    ASSERT_TRUE(test::copy_from_build(L"Scribbet.dll", run_dir_.path()));
  }

  std::wstring host() const { return test::quote(run_dir_.file(L"log_host.exe")); }
  std::wstring log_path() const { return run_dir_.file(L"log.txt"); }

  std::optional<DWORD> call(const std::vector<Call>& calls) {
    std::wstring line = host() + L" call";
    for (const auto& c : calls) {
      line += L" " + std::to_wstring(c.kind) + L" ";
      line += c.message ? (*c.message ? hex_argument(c.message) : L"empty") : L"null";
    }
    return test::run_process(line, elsewhere_.path());
  }

  // The log must hold exactly these entries, each stamped with a second between the two times.
  void expect_entries(const std::vector<std::pair<int, std::string>>& entries, const log::LocalTime& before,
                      const log::LocalTime& after) {
    const auto bytes = test::read_file_bytes(log_path());
    ASSERT_TRUE(bytes.has_value());
    std::size_t at = 0;
    for (const auto& [kind, message] : entries) {
      bool matched = false;
      for (const auto& stamp : {before, after}) {
        const std::string expected = *log::entry_bytes(message, kind, stamp);
        if (bytes->compare(at, expected.size(), expected) == 0) {
          at += expected.size();
          matched = true;
          break;
        }
      }
      ASSERT_TRUE(matched) << "entry of kind " << kind << " at byte " << at << ": " << gbk_to_utf8(bytes->substr(at, 80));
    }
    EXPECT_EQ(at, bytes->size()) << "bytes after the last entry";
  }

  ScratchDirectory run_dir_{L"scribbet"};
  ScratchDirectory elsewhere_{L"elsewhere"};
};

TEST_F(ScribbetHost, ExportsExactlyOneUndecoratedFunction) {
  EXPECT_EQ(test::exported_names(run_dir_.file(L"Scribbet.dll")), std::vector<std::string>{"Scribbet"});
}

TEST_F(ScribbetHost, EveryListedKindAppendsItsEntryBesideTheHost) {
  const std::string question = utf8_to_gbk("1    10、1、4、1");
  const std::vector<Call> calls = {
      {1, "Begin"}, {2, question.c_str()}, {3, "answer"}, {4, "update"}, {6, "score"},
      {7, "Stop"},  {8, "error"},          {9, "Empty score"}, {10, "help"},
  };
  const auto before = now();
  ASSERT_EQ(call(calls), DWORD{0}) << "the host found the call unbalanced or the module missing";
  const auto after = now();
  std::vector<std::pair<int, std::string>> expected;
  for (const auto& c : calls) expected.emplace_back(c.kind, c.message);
  expect_entries(expected, before, after);
  EXPECT_FALSE(test::file_exists(elsewhere_.file(L"log.txt")));
}

TEST_F(ScribbetHost, NullAndEmptyMessagesEndRightAfterTheLabel) {
  const auto before = now();
  ASSERT_EQ(call({{1, nullptr}, {9, ""}}), DWORD{0});
  expect_entries({{1, ""}, {9, ""}}, before, now());
}

TEST_F(ScribbetHost, LineBreaksInsideAMessageAreKept) {
  const std::string message = utf8_to_gbk("共有2种算法 \r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n");
  const auto before = now();
  ASSERT_EQ(call({{3, message.c_str()}}), DWORD{0});
  expect_entries({{3, message}}, before, now());
}

TEST_F(ScribbetHost, UnlistedKindsCreateTheFileAndWriteNothing) {
  ASSERT_EQ(call({{0, "zero"}, {5, "five"}, {11, "eleven"}, {-1, "negative"}}), DWORD{0});
  EXPECT_EQ(test::read_file_bytes(log_path()), std::string());
}

TEST_F(ScribbetHost, EntriesAreAppendedToAnExistingLog) {
  ASSERT_TRUE(test::write_file_bytes(log_path(), "earlier\r\n"));
  const auto before = now();
  ASSERT_EQ(call({{9, "later"}}), DWORD{0});
  const auto bytes = *test::read_file_bytes(log_path());
  ASSERT_TRUE(bytes.starts_with("earlier\r\n"));
  const std::string tail = bytes.substr(9);
  EXPECT_TRUE(tail == *log::entry_bytes("later", 9, before) || tail == *log::entry_bytes("later", 9, now()));
}

TEST_F(ScribbetHost, AReadOnlyLogIsLeftUnchanged) {
  ASSERT_TRUE(test::write_file_bytes(log_path(), "kept"));
  ASSERT_TRUE(SetFileAttributesW(log_path().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(call({{1, "Begin"}, {7, "Stop"}}), DWORD{0});
  EXPECT_EQ(test::read_file_bytes(log_path()), std::string("kept"));
}

TEST_F(ScribbetHost, TwoProcessesAppendingAtOnceNeverTearAnEntry) {
  constexpr int kEntriesEach = 1000;
  const std::wstring event_name = L"quadrivo-log-start-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE start = CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
  ASSERT_NE(start, nullptr);
  {
    const std::wstring tail = L" " + std::to_wstring(kEntriesEach) + L" " + event_name;
    test::ChildProcess first(host() + L" many A" + tail, elsewhere_.path());
    test::ChildProcess second(host() + L" many B" + tail, elsewhere_.path());
    ASSERT_TRUE(first.started() && second.started());
    Sleep(300);  // both waiting on the event
    SetEvent(start);
    EXPECT_EQ(first.wait(120000), DWORD{0});
    EXPECT_EQ(second.wait(120000), DWORD{0});
  }
  CloseHandle(start);

  // Every entry is "<stamp>    Question    <tag> <number>\r\n\r\n"; split at the blank line.
  const std::string bytes = *test::read_file_bytes(log_path());
  const std::string label = log::kind_label(2);
  int next[2] = {1, 1};
  std::size_t at = 0, entries = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n\r\n", at);
    ASSERT_NE(end, std::string::npos) << "torn entry at byte " << at;
    const std::string entry = bytes.substr(at, end - at);
    const std::size_t label_at = entry.find(label);
    ASSERT_NE(label_at, std::string::npos) << entry;
    const std::string message = entry.substr(label_at + label.size());
    ASSERT_EQ(message.size(), 6u) << message;
    const int process = message[0] == 'A' ? 0 : 1;
    ASSERT_TRUE(message[0] == 'A' || message[0] == 'B') << message;
    EXPECT_EQ(std::stoi(message.substr(2)), next[process]++) << "out of order: " << message;
    at = end + 4;
    ++entries;
  }
  EXPECT_EQ(entries, 2u * kEntriesEach);
  EXPECT_EQ(next[0], kEntriesEach + 1);
  EXPECT_EQ(next[1], kEntriesEach + 1);
}

}  // namespace
}  // namespace quadrivo
