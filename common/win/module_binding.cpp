#include "module_binding.h"

#include <string>

#include "message_box.h"
#include "run_directory.h"
#include "wide_text.h"

namespace quadrivo::win {

FARPROC bind_export(const wchar_t* library_file, const char* function_name) {
  HMODULE library = LoadLibraryW(run_path(std::wstring(L"\\") + library_file).c_str());
  if (!library) library = LoadLibraryW(library_file);
  if (!library) return nullptr;
  const FARPROC entry = GetProcAddress(library, function_name);
  // Deliberately never released once bound: the binding lasts as long as the process.
  if (!entry) FreeLibrary(library);
  return entry;
}

void fail_binding(const wchar_t* library_file, const char* function_name, UINT exit_code) {
  const std::string library = wide_to_gbk(library_file);
  const std::string text = "无法从动态链接库“" + library + "”中调用函数“" + function_name + "”，程序将退出。";
  message_box(text, "致命错误", kErrorOk);
  ExitProcess(exit_code);
}

}  // namespace quadrivo::win
