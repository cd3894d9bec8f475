#include "app/cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "app/engine/answer_check.h"
#include "app/engine/chain_solver.h"
#include "app/engine/exact_solver.h"

namespace quadrivo::cli {
namespace {

constexpr int kSuccess = 0;
constexpr int kNotFound = 1;  // no exact solution; an answer that is not valid
constexpr int kUsageError = 2;
constexpr int kMalformed = 2;
constexpr int kLowestRank = 1;
constexpr int kHighestRank = 13;

constexpr const char* kUsage =
    "usage: quadrivo-solve A B C D  |  --scan  |  --exact A B C D  |  --check EXPR A B C D  |  --scan --exact\n";
constexpr const char* kRangeError = "quadrivo-solve: --exact and --check take whole numbers from -10000 to 10000\n";

// Texts a host reads (GBK literals).
constexpr const char* kNoExactSolution = "没有精确解\n";
constexpr const char* kExpressionLabel = "算式：";
constexpr const char* kValueLabel = "结果：";
constexpr const char* kVerdictLabel = "判定：";
constexpr const char* kNoValueDivision = "无法计算，除数是 0";
constexpr const char* kNoValueRange = "超出可以计算的范围";
constexpr const char* kValid = "正确，用的正是发的四个数，结果等于 24";
constexpr const char* kWrongPrefix = "不对，";
constexpr const char* kNotTwentyFour = "结果不是 24";
constexpr const char* kOutOfRange = "中间的数太大，超出了可以计算的范围";
constexpr const char* kMalformedPrefix = "算式有误：";

int usage(Console& console) {
  console.error(kUsage);
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

std::optional<FourNumbers> parse_four(const std::string* texts) {
  FourNumbers numbers{};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const auto value = parse_whole(texts[i]);
    if (!value) return std::nullopt;
    numbers[i] = *value;
  }
  return numbers;
}

bool all_within_exact_range(const FourNumbers& numbers) {
  return std::all_of(numbers.begin(), numbers.end(), [](std::int32_t number) { return within_exact_range(number); });
}

// Four numbers for --exact and --check, or the exit code of the usage error already reported.
std::optional<FourNumbers> exact_numbers(const std::string* texts, Console& console, int& exit_code) {
  const auto numbers = parse_four(texts);
  if (!numbers) {
    exit_code = usage(console);
    return std::nullopt;
  }
  if (!all_within_exact_range(*numbers)) {
    console.error(kRangeError);
    exit_code = kUsageError;
    return std::nullopt;
  }
  return numbers;
}

template <typename... Values>
std::string format(const char* pattern, Values... values) {
  char line[256];
  std::snprintf(line, sizeof line, pattern, values...);
  return line;
}

int print_paths(const std::string* texts, Console& console) {
  const auto numbers = parse_four(texts);
  if (!numbers) return usage(console);
  ResultsList results;
  solve((*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3], results);
  std::string out;
  for (const auto& path : results) {
    out += path;
    out += '\n';
  }
  console.out(out);
  return kSuccess;
}

template <typename Visit>
void for_each_rank_multiset(Visit visit) {
  for (int a = kLowestRank; a <= kHighestRank; ++a)
    for (int b = a; b <= kHighestRank; ++b)
      for (int c = b; c <= kHighestRank; ++c)
        for (int d = c; d <= kHighestRank; ++d) visit(FourNumbers{a, b, c, d});
}

int scan_paths(Console& console) {
  ResultsList results;
  long problems = 0;
  long unsolved = 0;
  long paths = 0;
  std::string out;
  out.reserve(1 << 16);
  for_each_rank_multiset([&](const FourNumbers& n) {
    solve(n[0], n[1], n[2], n[3], results);
    const long count = static_cast<long>(results.size());
    ++problems;
    if (count == 0) ++unsolved;
    paths += count;
    out += format("%d %d %d %d\t%ld\n", n[0], n[1], n[2], n[3], count);
  });
  out += format("%ld problems, %ld without a path, %ld paths\n", problems, unsolved, paths);
  console.out(out);
  return kSuccess;
}

int scan_exact(Console& console) {
  long problems = 0;
  long solvable = 0;
  long without_path = 0;
  long all_truncate = 0;
  long missed = 0;
  std::string out;
  out.reserve(1 << 16);
  for_each_rank_multiset([&](const FourNumbers& n) {
    const std::vector<bool> exact = exact_paths(n[0], n[1], n[2], n[3]);
    const long paths = static_cast<long>(exact.size());
    const long exact_count = static_cast<long>(std::count(exact.begin(), exact.end(), true));
    const long distinct = static_cast<long>(exact_solutions(n).size());
    ++problems;
    if (distinct > 0) ++solvable;
    if (paths == 0) ++without_path;
    if (paths > 0 && exact_count == 0) ++all_truncate;
    if (distinct > 0 && exact_count == 0) ++missed;
    out += format("%d %d %d %d\t%ld\t%ld\t%ld\n", n[0], n[1], n[2], n[3], paths, exact_count, distinct);
  });
  out += format(
      "%ld problems, %ld with an exact solution, %ld without a chain path, %ld whose chain paths all truncate, "
      "%ld with an exact solution but no exact chain path\n",
      problems, solvable, without_path, all_truncate, missed);
  console.out(out);
  return kSuccess;
}

int print_exact(const std::string* texts, Console& console) {
  int exit_code = kSuccess;
  const auto numbers = exact_numbers(texts, console, exit_code);
  if (!numbers) return exit_code;
  const std::vector<std::string> solutions = exact_solutions(*numbers);
  if (solutions.empty()) {
    console.error(kNoExactSolution);
    return kNotFound;
  }
  std::string out;
  for (const auto& solution : solutions) {
    out += solution;
    out += '\n';
  }
  console.out(out);
  return kSuccess;
}

std::string numbers_text(const std::vector<std::int64_t>& numbers) {
  std::string text;
  for (const std::int64_t number : numbers) {
    if (!text.empty()) text += ' ';
    text += std::to_string(number);
  }
  return text;
}

// A symbol as typed, in Chinese quotation marks.
std::string quoted(const std::string& symbol) { return "“" + symbol + "”"; }

std::string malformation_text(const AnswerCheck& check) {
  const std::string symbol = quoted(check.symbol);
  switch (check.malformation) {
    case Malformation::empty: return "没有输入算式";
    case Malformation::unknown_symbol: return "不认识的符号" + symbol + "，只能用数字、+ - × ÷ 和括号";
    case Malformation::power: return symbol + "是乘方，只能用加、减、乘、除";
    case Malformation::joined_digits: return symbol + "是把几张牌拼成的数，每张牌要单独用";
    case Malformation::leading_zero: return "数" + symbol + "前面多了 0";
    case Malformation::number_too_long: return "数" + symbol + "太长";
    case Malformation::too_long: return "算式太长";
    case Malformation::missing_operator: return symbol + "前面缺少运算符";
    case Malformation::missing_operand:
      if (check.symbol.empty()) return "算式没有写完，最后缺少数";
      return symbol + "旁边缺少数";
    case Malformation::unbalanced: return "括号不配对";
    case Malformation::sign_not_before_number: return "负号" + symbol + "只能紧挨在数字前面";
    default: return {};
  }
}

std::string verdict_text(const AnswerCheck& check) {
  switch (check.verdict) {
    case Verdict::valid: return kValid;
    case Verdict::numbers_differ:
      return std::string(kWrongPrefix) + "用的数是 " + numbers_text(check.used) + "，发的牌是 " + numbers_text(check.dealt);
    case Verdict::division_by_zero: return std::string(kWrongPrefix) + "除数 " + check.zero_divisor + " 等于 0";
    case Verdict::out_of_range: return std::string(kWrongPrefix) + kOutOfRange;
    default: return std::string(kWrongPrefix) + kNotTwentyFour;
  }
}

std::string value_text(const AnswerCheck& check) {
  if (check.value) return check.value->text();
  return check.zero_divisor.empty() ? kNoValueRange : kNoValueDivision;
}

int check(const std::string& expression, const std::string* texts, Console& console) {
  int exit_code = kSuccess;
  const auto numbers = exact_numbers(texts, console, exit_code);
  if (!numbers) return exit_code;
  const AnswerCheck result = check_answer(expression, *numbers);
  if (result.verdict == Verdict::malformed) {
    console.out(std::string(kMalformedPrefix) + malformation_text(result) + "\n");
    return kMalformed;
  }
  console.out(std::string(kExpressionLabel) + result.written + "\n" + kValueLabel + value_text(result) + "\n" +
              kVerdictLabel + verdict_text(result) + "\n");
  return result.verdict == Verdict::valid ? kSuccess : kNotFound;
}

}  // namespace

int run(const std::vector<std::string>& arguments, Console& console) {
  const std::size_t count = arguments.size();
  const std::string first = count > 0 ? arguments[0] : std::string();
  if (count == 1 && first == "--scan") return scan_paths(console);
  if (count == 2 && first == "--scan" && arguments[1] == "--exact") return scan_exact(console);
  if (count == 5 && first == "--exact") return print_exact(&arguments[1], console);
  if (count == 6 && first == "--check") return check(arguments[1], &arguments[2], console);
  if (count == 4) return print_paths(arguments.data(), console);
  return usage(console);
}

}  // namespace quadrivo::cli
