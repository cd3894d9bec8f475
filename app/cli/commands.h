// The commands of quadrivo-solve, apart from how a platform receives its arguments and shows text.
//   A B C D               every path of the trainer's chain search, one a line
//   --scan                every multiset of four ranks 1..13 with its number of paths, and totals
//   --exact A B C D       every distinct exact solution, one a line; exit 1 when there is none
//   --check EXPR A B C D  the exact value of an answer and the verdict; exit 1 when it is not a
//                         valid answer, 2 when it is not an expression of the four operations
//   --scan --exact        per multiset: chain paths, exact chain paths, distinct exact solutions
// Usage errors exit with 2.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quadrivo::cli {

// Where a command's text goes. Text is GBK, like every text inside the system; the platform's
// console turns it into what its terminal or file expects.
class Console {
 public:
  virtual ~Console() = default;
  virtual void out(std::string_view gbk) = 0;
  virtual void error(std::string_view gbk) = 0;
};

// arguments: the command line's arguments after the program name, as GBK text. Returns the exit code.
int run(const std::vector<std::string>& arguments, Console& console);

}  // namespace quadrivo::cli
