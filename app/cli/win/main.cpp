// quadrivo-solve on Windows: the arguments are read from the wide command line, so a Chinese or
// full-width answer arrives whatever the console's code page; the text goes out through the
// console's wide output, or as UTF-8 bytes when it is redirected to a file or a pipe.
#include <windows.h>

#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/cli/win/console_output.h"
#include "common/win/wide_text.h"

namespace {

class WindowsConsole : public quadrivo::cli::Console {
 public:
  void out(std::string_view gbk) override { quadrivo::cli::write_text(GetStdHandle(STD_OUTPUT_HANDLE), gbk); }
  void error(std::string_view gbk) override { quadrivo::cli::write_text(GetStdHandle(STD_ERROR_HANDLE), gbk); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(quadrivo::win::wide_to_gbk(argv[i]));
  WindowsConsole console;
  return quadrivo::cli::run(arguments, console);
}
