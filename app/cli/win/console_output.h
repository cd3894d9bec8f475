// Text out of quadrivo-solve on Windows. A console shows what it is given in its own code page, so
// GBK or UTF-8 bytes would turn into mojibake in most of them; wide output shows the Chinese texts
// and the × ÷ signs in any. A file or pipe gets UTF-8 with CR LF line ends.
#pragma once

#include <windows.h>

#include <string_view>

namespace quadrivo::cli {

// Writes GBK text (lines ended by LF) to the handle: WriteConsoleW when it is a console, UTF-8 bytes
// with CR LF otherwise.
// Nothing happens for a missing handle (a program started without standard handles).
void write_text(HANDLE handle, std::string_view gbk);

}  // namespace quadrivo::cli
