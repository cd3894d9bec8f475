// quadrivo-solve: the chain solver on the command line.
//   quadrivo-solve A B C D   every solution path of the four whole numbers, one a line, UTF-8
//   quadrivo-solve --scan    every multiset of four ranks 1..13 with its number of paths, and totals
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "chain_solver.h"
#include "gbk_utf8.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kLowestRank = 1;
constexpr int kHighestRank = 13;

int usage() {
  std::fputs("usage: quadrivo-solve A B C D  (four whole numbers)  |  quadrivo-solve --scan\n", stderr);
  return kUsageError;
}

// A whole number in 32 bits: an optional sign, then decimal digits only.
std::optional<std::int32_t> parse_whole(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  std::int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

int print_paths(char** numbers) {
  std::int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    const auto value = parse_whole(numbers[i]);
    if (!value) return usage();
    values[i] = *value;
  }
  quadrivo::ResultsList results;
  quadrivo::solve(values[0], values[1], values[2], values[3], results);
  std::string out;
  for (const auto& path : results) {
    out += quadrivo::gbk_to_utf8(path);
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

int scan() {
  quadrivo::ResultsList results;
  long problems = 0;
  long unsolved = 0;
  long paths = 0;
  std::string out;
  out.reserve(1 << 16);
  char line[128];
  for (int a = kLowestRank; a <= kHighestRank; ++a)
    for (int b = a; b <= kHighestRank; ++b)
      for (int c = b; c <= kHighestRank; ++c)
        for (int d = c; d <= kHighestRank; ++d) {
          quadrivo::solve(a, b, c, d, results);
          const long count = static_cast<long>(results.size());
          ++problems;
          if (count == 0) ++unsolved;
          paths += count;
          std::snprintf(line, sizeof line, "%d %d %d %d\t%ld\n", a, b, c, d, count);
          out += line;
        }
  std::snprintf(line, sizeof line, "%ld problems, %ld without a path, %ld paths\n", problems, unsolved, paths);
  out += line;
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--scan") return scan();
  if (argc == 5) return print_paths(argv + 1);
  return usage();
}
