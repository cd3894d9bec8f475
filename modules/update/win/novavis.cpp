// Novavis.dll: the update module. Its one export shows the update window (update_window.h); the
// module-wide state lives from the first call to the end of the process.
#include <windows.h>

#include <string>

#include "common/win/module_binding.h"
#include "common/win/run_directory.h"
#include "modules/update/win/update_window.h"

namespace {

struct NovavisModule {
  quadrivo::update::UpdateModule state;
  quadrivo::update::UpdateHost host;
  // Scribbet.dll is the host program's: it wrote the file into the run directory at its start.
  quadrivo::win::LazyExport<quadrivo::win::ScribbetFunction> scribbet{quadrivo::win::kScribbetExport};

  NovavisModule() {
    host.run_directory = quadrivo::win::run_directory();
    host.write_log = [this](const std::string& text, int kind) {
      // Nothing when a binding has failed: the process is ending behind its fatal message.
      if (quadrivo::win::ScribbetFunction* const scribbet_entry = scribbet.get()) scribbet_entry(text.c_str(), kind);
    };
    host.end_process = [] { ExitProcess(0); };
  }
};

NovavisModule* g_module = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && g_module) {
    if (reserved) {
      // The process is ending and Windows has already ended the downloader's thread: only the
      // temporary file of an unfinished transfer is left to remove. The memory goes with the
      // process.
      g_module->state.downloader.abandon_at_process_end();
    } else {
      // Freed by the host. A running transfer holds a reference on the module, so none runs now.
      delete g_module;
      g_module = nullptr;
    }
  }
  return TRUE;
}

extern "C" int __stdcall Novavis() {
  // No exception can cross the module boundary: the module is built without them.
  if (!g_module) g_module = new NovavisModule();
  quadrivo::update::run_update_window(g_module->state, g_module->host);
  return 0;
}
