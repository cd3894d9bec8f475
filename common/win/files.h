// Writing a whole buffer to an open file.
#pragma once

#include <windows.h>

#include <string_view>

namespace quadrivo::win {

// Writes every byte, going on after a short write; false when a write fails or writes nothing.
// A buffer of up to 256 MiB goes out in one WriteFile, so that a log entry appended by two
// processes at once is never interleaved with another.
bool write_all(HANDLE file, std::string_view bytes);

}  // namespace quadrivo::win
