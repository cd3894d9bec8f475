// Quadrivo.exe: the program's start and end around the main window.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "chain_solver.h"
#include "main_window.h"
#include "message_box.h"
#include "run_directory.h"
#include "texts.h"

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
  // The window toolkit and the run time: common controls for the form, COM for the picture
  // decoder, the run directory as the current directory.
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring run_directory = quadrivo::win::run_directory();
  SetCurrentDirectoryW(run_directory.c_str());

  results_list = new quadrivo::ResultsList();
  std::atexit(release_results_list);

  int exit_code = 1;
  {
    quadrivo::app::MainWindow window(*results_list, {run_directory, show_command});
    if (window.load()) {
      exit_code = quadrivo::app::run_message_loop();
    } else {
      quadrivo::win::message_box(quadrivo::texts::kMainWindowFailed, quadrivo::texts::kFatalTitle,
                                 quadrivo::win::kErrorOk);
    }
  }
  // CoUninitialize only when the matching initialisation succeeded.
  if (SUCCEEDED(com)) CoUninitialize();
  return exit_code;
}
