#include "common/win/module_binding.h"

#include <atomic>
#include <string>

#include "common/win/message_box.h"
#include "common/win/run_directory.h"
#include "common/win/wide_text.h"

namespace quadrivo::win {
namespace {

// Process-wide on purpose: a failed binding ends the whole process, whichever module saw it.
std::atomic<bool> binding_failed{false};

}  // namespace

FARPROC bind_export(const ModuleExport& which) {
  HMODULE library = LoadLibraryW(run_path(std::wstring(L"\\") + which.library_file).c_str());
  if (!library) library = LoadLibraryW(which.library_file);
  if (!library) return nullptr;
  const FARPROC entry = GetProcAddress(library, which.function_name);
  // Deliberately never released once bound: the binding lasts as long as the process.
  if (!entry) FreeLibrary(library);
  return entry;
}

bool binding_has_failed() { return binding_failed.load(); }

void fail_binding(const ModuleExport& which) {
  if (!binding_failed.exchange(true)) {
    const std::string library = wide_to_gbk(which.library_file);
    const std::string text = "无法从动态链接库“" + library + "”中调用函数“" + which.function_name + "”，程序将退出。";
    message_box(text, "致命错误", MB_ICONERROR | MB_OK);
  }
  ExitProcess(kBindingFailedExitCode);
}

}  // namespace quadrivo::win
