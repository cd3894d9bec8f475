#include "app/cli/win/console_output.h"

#include <algorithm>
#include <string>

#include "common/gbk_utf8.h"
#include "common/win/files.h"
#include "common/win/wide_text.h"

namespace quadrivo::cli {
namespace {

// Older consoles refuse a single write much above 64 KB; every GBK character is one UTF-16 unit,
// so a chunk never splits a character.
constexpr std::size_t kConsoleChunk = 8192;

void write_console(HANDLE console, const std::wstring& wide) {
  for (std::size_t done = 0; done < wide.size();) {
    const DWORD length = static_cast<DWORD>(std::min(kConsoleChunk, wide.size() - done));
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + done, length, &written, nullptr) || written == 0) return;
    done += written;
  }
}

// Windows text files end their lines with CR LF; the C runtime's text mode did the same for this
// program's output before it wrote through the console, so redirected bytes stay as they were.
std::string with_crlf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

}  // namespace

void write_text(HANDLE handle, std::string_view gbk) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || gbk.empty()) return;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    write_console(handle, win::gbk_to_wide(gbk));
  } else {
    // A closed pipe ends the writing: nobody reads what is left.
    win::write_all(handle, with_crlf(gbk_to_utf8(gbk)));
  }
}

}  // namespace quadrivo::cli
