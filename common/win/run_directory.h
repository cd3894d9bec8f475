// The run directory: the folder of the host program's executable, without a trailing separator.
// Inside a DLL this is still the host program's folder, not the DLL's.
#pragma once

#include <string>

namespace quadrivo::win {

std::wstring run_directory();

// run_directory() + suffix, where suffix begins with a backslash ("\log.txt").
std::wstring run_path(std::wstring_view suffix);

// Makes directory the process's current directory. A bare drive ("D:", the run directory of a
// program in a drive's root) gets its backslash back first: "D:" alone names the directory last
// used on that drive, not its root.
bool enter_directory(std::wstring_view directory);
std::wstring directory_to_enter(std::wstring_view directory);

// The full path of the host program's executable.
std::wstring host_executable_path();

}  // namespace quadrivo::win
