// The run directory: the folder of the host program's executable, without a trailing separator.
// Inside a DLL this is still the host program's folder, not the DLL's.
#pragma once

#include <string>

namespace quadrivo::win {

std::wstring run_directory();

// run_directory() + suffix, where suffix begins with a backslash ("\log.txt").
std::wstring run_path(std::wstring_view suffix);

// The full path of the host program's executable.
std::wstring host_executable_path();

}  // namespace quadrivo::win
