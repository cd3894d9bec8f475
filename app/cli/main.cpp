// quadrivo-solve on a POSIX system: the arguments arrive as UTF-8 bytes and the text goes out as
// UTF-8; inside, the commands work on GBK like the rest of the system.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/commands.h"
#include "common/gbk_utf8.h"

namespace {

class Utf8Console : public quadrivo::cli::Console {
 public:
  void out(std::string_view gbk) override { write(stdout, gbk); }
  void error(std::string_view gbk) override { write(stderr, gbk); }

 private:
  static void write(std::FILE* stream, std::string_view gbk) {
    const std::string utf8 = quadrivo::gbk_to_utf8(gbk);
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(quadrivo::utf8_to_gbk(argv[i]));
  Utf8Console console;
  return quadrivo::cli::run(arguments, console);
}
