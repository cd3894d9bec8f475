// The Win32 helpers every deliverable shares, with real handles and the real current directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/win/files.h"
#include "common/win/handles.h"
#include "common/win/run_directory.h"
#include "common/win/wide_text.h"
#include "tests/win/support/test_support.h"

namespace quadrivo {
namespace {

std::wstring current_directory() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, path);
  return std::wstring(path, length);
}

TEST(EnterDirectory, ABareDriveGetsItsRootNotTheDrivesRememberedDirectory) {
  const struct {
    const wchar_t* directory;
    const wchar_t* entered;
  } cases[] = {
      {L"D:", L"D:\\"},  // a program in a drive's root: its run directory has no trailing backslash
      {L"D:\\", L"D:\\"},
      {L"D:\\Quadrivo", L"D:\\Quadrivo"},
      {L"\\\\server\\share", L"\\\\server\\share"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win::directory_to_enter(c.directory), c.entered) << win::wide_to_utf8(c.directory);
  }
}

TEST(EnterDirectory, FromAnotherDirectoryOfTheSameDriveARootRunDirectoryMakesTheRootCurrent) {
  const std::wstring before = current_directory();
  test::ScratchDirectory elsewhere(L"enter-directory");
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.path().c_str()));
  const std::wstring drive = elsewhere.path().substr(0, 2);
  ASSERT_EQ(drive[1], L':');
  // "C:" alone would leave the current directory where it is: the drive's remembered directory.
  ASSERT_TRUE(win::enter_directory(drive));
  EXPECT_EQ(current_directory(), drive + L"\\");
  SetCurrentDirectoryW(before.c_str());
}

TEST(WriteAll, WritesEveryByteOfTheBuffer) {
  test::ScratchDirectory directory(L"write-all");
  const std::wstring path = directory.file(L"bytes.bin");
  std::string bytes(3 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131);
  {
    const win::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    EXPECT_TRUE(win::write_all(file.get(), bytes));
    EXPECT_TRUE(win::write_all(file.get(), ""));
  }
  EXPECT_EQ(test::read_file_bytes(path), bytes);

  const win::UniqueFile read_only(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(read_only);
  EXPECT_FALSE(win::write_all(read_only.get(), "x")) << "a handle without write access";
}

TEST(CodePages, EachConversionNamesItsCodePage) {
  const std::string gbk = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
  EXPECT_EQ(win::gbk_to_wide(gbk), L"\u4E2D\u6587");
  EXPECT_EQ(win::wide_to_gbk(L"\u4E2D\u6587"), gbk);
  EXPECT_EQ(win::wide_to_utf8(L"\u4E2D\u6587"), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(win::to_wide(win::kUtf8CodePage, "\xE4\xB8\xAD"), L"\u4E2D");
  EXPECT_EQ(win::from_wide(win::kGbkCodePage, L""), "");
  EXPECT_EQ(win::to_wide(win::kGbkCodePage, ""), L"");
}

}  // namespace
}  // namespace quadrivo
