// Quadrivo.exe: the program's start and end around the main window.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "app/engine/chain_solver.h"
#include "app/engine/texts.h"
#include "app/win/companion_modules.h"
#include "app/win/help_command.h"
#include "app/win/main_window.h"
#include "common/win/com.h"
#include "common/win/message_box.h"
#include "common/win/message_loop.h"
#include "common/win/run_directory.h"

namespace {

// The program-wide results list: created before the main window is loaded and released by the
// exit clean-up, after the message loop has ended.
quadrivo::ResultsList* results_list = nullptr;

void release_results_list() {
  delete results_list;
  results_list = nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  using namespace quadrivo;
  // The window toolkit and the run time: common controls for the form, COM for the picture
  // decoder, the run directory as the current directory.
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const win::ComScope com;
  const std::wstring run_directory = win::run_directory();
  win::enter_directory(run_directory);

  results_list = new ResultsList();
  std::atexit(release_results_list);

  app::CompanionModules modules;
  app::MainWindowHost host;
  host.run_directory = run_directory;
  host.show_command = show_command;
  host.write_log = [&modules](const std::string& message, int kind) { modules.write_log(message, kind); };
  host.message_box = win::message_box;
  host.start_command = app::start_with_winexec;
  host.run_update = [&modules] { modules.run_update(); };

  int exit_code = 1;
  {
    app::MainWindow window(*results_list, std::move(host));
    if (window.load()) {
      exit_code = win::run_message_loop().exit_code;
    } else {
      win::message_box(texts::kMainWindowFailed, texts::kFatalTitle, MB_ICONERROR | MB_OK);
    }
  }
  return exit_code;
}
