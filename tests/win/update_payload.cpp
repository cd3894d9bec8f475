// Stands in for a downloaded new version: a windowed program that notes the command line it was
// started with in "payload-ran.txt" beside itself, then ends.
#include <windows.h>

#include <string>

#include "common/win/run_directory.h"
#include "common/win/wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::string line = quadrivo::win::wide_to_utf8(GetCommandLineW());
  const HANDLE file = CreateFileW(quadrivo::win::run_path(L"\\payload-ran.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
