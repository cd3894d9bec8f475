// The help command: opens Help.CHM of the run directory with the system's HTML Help viewer.
#pragma once

#include <functional>
#include <string>

#include "common/win/message_box.h"

namespace quadrivo::app {

// Starts a command line and does not wait for it.
using CommandStarter = std::function<void(const std::wstring& command_line)>;

// The program's starter: WinExec with a normal window. WinExec reads its command line in the
// process's ANSI code page, which need not be 936; what that code page cannot carry is lost.
void start_with_winexec(const std::wstring& command_line);

// Without run_directory + "\Help.CHM" (any letter case; a directory of that name does not
// count) it shows "未找到帮助文件" and does nothing else. Otherwise it starts
// hh.exe "<run directory>\help.chm" without waiting; whether the viewer starts is not reported.
void run_help_command(const std::wstring& run_directory, const win::MessageBoxFunction& show,
                      const CommandStarter& start);

// The command line as the help command hands it to the starter. The path is in double quotes:
// unquoted, a run directory with blanks ("C:\Program Files\...") would split it into several
// arguments and the viewer would not find the document.
std::wstring help_command_line(const std::wstring& run_directory);

}  // namespace quadrivo::app
