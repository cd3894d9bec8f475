// quadrivo-solve's text out on Windows: wide characters into a console, whatever its code page;
// UTF-8 with CR LF into a pipe or file.
#include "app/cli/win/console_output.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/gbk_utf8.h"
#include "common/win/handles.h"

namespace quadrivo::cli {
namespace {

const char* utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Lines as the commands write them: GBK, with the operator signs, ended by LF.
const std::string kVerdict = utf8_to_gbk(utf8(u8"算式：8÷(3-8÷3)×1\n判定：正确\n"));

TEST(ConsoleOutput, APipeGetsUtf8WithCrLf) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  win::UniqueKernelHandle reader(read_end);
  win::UniqueKernelHandle writer(write_end);

  write_text(writer.get(), kVerdict);
  writer.reset();  // the reader then sees the end

  std::string bytes;
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  EXPECT_EQ(bytes, utf8(u8"算式：8÷(3-8÷3)×1\r\n判定：正确\r\n"));
}

TEST(ConsoleOutput, AMissingHandleIsIgnored) {
  write_text(nullptr, kVerdict);
  write_text(INVALID_HANDLE_VALUE, kVerdict);
}

// A console screen buffer of the test's own console, read back cell by cell.
class ConsoleBuffer {
 public:
  ConsoleBuffer() {
    // A fresh console of our own: Wine gives a program started from a Unix shell a stand-in
    // console that takes no screen buffers, and a test must not draw into the console of
    // whoever started it. Like every console window, this one needs a display (make test has one).
    FreeConsole();
    AllocConsole();
    buffer_.reset(CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER,
                                            nullptr));
  }
  ~ConsoleBuffer() {
    buffer_.reset();
    FreeConsole();
  }
  ConsoleBuffer(const ConsoleBuffer&) = delete;
  ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

  HANDLE get() const { return buffer_.get(); }

  std::wstring row(SHORT y, DWORD length) const {
    std::wstring text(length, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(buffer_.get(), text.data(), length, COORD{0, y}, &read);
    text.resize(read);
    return text;
  }

 private:
  win::UniqueFile buffer_;
};

TEST(ConsoleOutput, AConsoleGetsWideCharactersInAnyCodePage) {
  ConsoleBuffer console;
  ASSERT_NE(console.get(), INVALID_HANDLE_VALUE);
  // A Western code page: GBK or UTF-8 bytes written here would show as other characters.
  const UINT saved = GetConsoleOutputCP();
  SetConsoleOutputCP(1252);
  write_text(console.get(), kVerdict);
  SetConsoleOutputCP(saved);

  const std::wstring first = L"算式：8÷(3-8÷3)×1";
  const std::wstring second = L"判定：正确";
  EXPECT_EQ(console.row(0, static_cast<DWORD>(first.size())), first);
  EXPECT_EQ(console.row(1, static_cast<DWORD>(second.size())), second);
}

}  // namespace
}  // namespace quadrivo::cli
