#include "app/win/help_command.h"

#include <windows.h>

#include "app/engine/texts.h"
#include "common/win/wide_text.h"

namespace quadrivo::app {

void start_with_winexec(const std::wstring& command_line) {
  WinExec(win::wide_to_ansi(command_line).c_str(), SW_SHOWNORMAL);
}

std::wstring help_command_line(const std::wstring& run_directory) {
  return win::gbk_to_wide(texts::kHelpViewer) + L"\"" + run_directory +
         win::gbk_to_wide(texts::kHelpFileOnCommandLine) + L"\"";
}

void run_help_command(const std::wstring& run_directory, const win::MessageBoxFunction& show,
                      const CommandStarter& start) {
  const std::wstring document = run_directory + L"\\Help.CHM";
  const DWORD attributes = GetFileAttributesW(document.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    show(texts::kHelpMissing, texts::kErrorTitle, MB_ICONERROR | MB_OK);
    return;
  }
  start(help_command_line(run_directory));
}

}  // namespace quadrivo::app
