// The help command: opens Help.CHM of the run directory with the system's HTML Help viewer.
#pragma once

#include <functional>
#include <string>

namespace quadrivo::app {

// Without run_directory + "\Help.CHM" (any letter case; a directory of that name does not
// count) it shows "未找到帮助文件" and does nothing else. Otherwise it starts
// hh.exe "<run directory>\help.chm" without waiting; whether the viewer starts is not reported.
void run_help_command(const std::wstring& run_directory);

// The command line as the help command hands it to WinExec (GBK). The path is in double quotes:
// unquoted, a run directory with blanks ("C:\Program Files\...") would split it into several
// arguments and the viewer would not find the document.
std::string help_command_line(const std::wstring& run_directory);

// Test seam: while set, the help command hands its command line (GBK) to the starter instead of
// WinExec.
using CommandStarter = std::function<void(const std::string& gbk_command_line)>;
void set_command_starter(CommandStarter starter);

}  // namespace quadrivo::app
