#include "help_command.h"

#include <windows.h>

#include "message_box.h"
#include "texts.h"
#include "wide_text.h"

namespace quadrivo::app {
namespace {

// At namespace scope, made before any thread of the process can open the help.
CommandStarter g_command_starter;

CommandStarter& command_starter() { return g_command_starter; }

std::wstring help_command_line_wide(const std::wstring& run_directory) {
  return win::gbk_to_wide(texts::kHelpViewer) + L"\"" + run_directory +
         win::gbk_to_wide(texts::kHelpFileOnCommandLine) + L"\"";
}

// WinExec reads its command line in the ANSI code page of the process, which need not be 936.
std::string to_ansi(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

}  // namespace

void set_command_starter(CommandStarter starter) { command_starter() = std::move(starter); }

std::string help_command_line(const std::wstring& run_directory) {
  return win::wide_to_gbk(help_command_line_wide(run_directory));
}

void run_help_command(const std::wstring& run_directory) {
  const std::wstring document = run_directory + L"\\Help.CHM";
  const DWORD attributes = GetFileAttributesW(document.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    win::message_box(texts::kHelpMissing, texts::kErrorTitle, win::kErrorOk);
    return;
  }
  if (command_starter()) {
    command_starter()(help_command_line(run_directory));
    return;
  }
  WinExec(to_ansi(help_command_line_wide(run_directory)).c_str(), SW_SHOWNORMAL);
}

}  // namespace quadrivo::app
