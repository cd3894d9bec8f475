#include "app/engine/chain_solver.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

namespace quadrivo {
namespace {

constexpr std::int32_t kTarget = 24;
constexpr int kSlots = 6;

// The operator literal of each slot, spaces included; slots 5 and 6 write y first.
constexpr std::string_view kOperator[kSlots] = {"+", "－ ", " ×", " ÷", " ÷", " －"};

// Exact in 64 bits, then clamped: the same as the double arithmetic truncated toward zero, since
// for 32-bit operands a double quotient never crosses a whole number.
std::int32_t clamp_to_whole(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int32_t quotient(std::int32_t dividend, std::int32_t divisor) {
  if (divisor == 0) return 0;
  // The one 32-bit quotient that overflows: 2^31 is clamped.
  if (divisor == -1 && dividend == std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return dividend / divisor;  // C++ division truncates toward zero
}

std::int32_t slot_value(int slot, std::int32_t x32, std::int32_t y32) {
  const std::int64_t x = x32;
  const std::int64_t y = y32;
  switch (slot) {
    case 0: return clamp_to_whole(x + y);
    case 1: return clamp_to_whole(x - y);
    case 2: return clamp_to_whole(x * y);
    case 3: return quotient(x32, y32);
    case 4: return quotient(y32, x32);
    default: return clamp_to_whole(y - x);
  }
}

void append_number(std::string& text, std::int32_t value) {
  char buffer[12];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text.append(buffer, result.ptr);
}

// slot is 0-based here.
void append_step(std::string& text, int slot, std::int32_t x, std::int32_t y, std::int32_t value) {
  const bool running_value_first = slot >= 4;
  text += '|';
  append_number(text, running_value_first ? y : x);
  text += kOperator[slot];
  append_number(text, running_value_first ? x : y);
  text += '=';
  append_number(text, value);
}

// The 24 orderings of positions 0..3 in lexicographic order.
constexpr auto kOrderings = [] {
  std::array<std::array<int, 4>, 24> orderings{};
  std::array<int, 4> positions{0, 1, 2, 3};
  for (auto& ordering : orderings) {
    ordering = positions;
    std::next_permutation(positions.begin(), positions.end());
  }
  return orderings;
}();

// Which level-3 slots turn the running value v into 24 with the card a, in slot order. The six
// values of the combine step are not all formed: each test is the slot's value compared with 24,
// solved for v, and a quotient is formed only where its size allows 24.
class FinalStep {
 public:
  explicit FinalStep(std::int32_t a)
      : a_(a),
        sum_match_(kTarget - std::int64_t{a}),
        difference_match_(std::int64_t{a} - kTarget),
        reverse_difference_match_(std::int64_t{a} + kTarget),
        product_match_(a != 0 && kTarget % a == 0 ? kTarget / a : kNoMatch) {}

  bool reaches(int slot, std::int32_t v) const {
    switch (slot) {
      case 0: return v == sum_match_;
      case 1: return v == difference_match_;
      case 2: return v == product_match_;
      case 3: return magnitude(a_) >= kTarget * magnitude(v) && slot_value(3, a_, v) == kTarget;
      case 4: return magnitude(v) >= kTarget * magnitude(a_) && slot_value(4, a_, v) == kTarget;
      default: return v == reverse_difference_match_;
    }
  }

 private:
  static constexpr std::int64_t kNoMatch = std::int64_t{1} << 40;  // no 32-bit value equals it
  static std::int64_t magnitude(std::int32_t value) { return value < 0 ? -std::int64_t{value} : value; }

  std::int32_t a_;
  std::int64_t sum_match_, difference_match_, reverse_difference_match_, product_match_;
};

// One step of a path: slot (0-based) applied to x and y, giving value.
struct Step {
  int slot;
  std::int32_t x, y, value;
};

// One expansion: level 1 combines c with d, level 2 b with that value, level 3 a with the level-2
// value. Each match is handed to on_path as its three steps; the solver builds the text for a match
// alone, which gives the same list as building every candidate's text.
template <typename OnPath>
void expand(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, OnPath& on_path) {
  const FinalStep final_step(a);
  for (int slot1 = 0; slot1 < kSlots; ++slot1) {
    const std::int32_t value1 = slot_value(slot1, c, d);
    for (int slot2 = 0; slot2 < kSlots; ++slot2) {
      const std::int32_t value2 = slot_value(slot2, b, value1);
      for (int slot3 = 0; slot3 < kSlots; ++slot3) {
        if (!final_step.reaches(slot3, value2)) continue;
        on_path(Step{slot1, c, d, value1}, Step{slot2, b, value1, value2}, Step{slot3, a, value2, kTarget});
      }
    }
  }
}

// Every path of the four numbers in search order.
template <typename OnPath>
void search(std::int32_t first, std::int32_t second, std::int32_t third, std::int32_t fourth, OnPath&& on_path) {
  const std::int32_t numbers[4] = {first, second, third, fourth};
  for (const auto& ordering : kOrderings) {
    expand(numbers[ordering[0]], numbers[ordering[1]], numbers[ordering[2]], numbers[ordering[3]], on_path);
  }
}

// Whether the step's value is its operation's true result: no quotient truncated or by zero, no
// value clamped to 32 bits.
bool is_exact(const Step& step) {
  const std::int64_t x = step.x;
  const std::int64_t y = step.y;
  switch (step.slot) {
    case 0: return x + y == step.value;
    case 1: return x - y == step.value;
    case 2: return x * y == step.value;
    case 3: return y != 0 && x % y == 0 && x / y == step.value;
    case 4: return x != 0 && y % x == 0 && y / x == step.value;
    default: return y - x == step.value;
  }
}

}  // namespace

void solve(std::int32_t first, std::int32_t second, std::int32_t third, std::int32_t fourth, ResultsList& results) {
  results.clear();
  search(first, second, third, fourth, [&results](const Step& level1, const Step& level2, const Step& level3) {
    std::string& path = results.emplace_back();
    path.reserve(48);
    append_step(path, level1.slot, level1.x, level1.y, level1.value);
    append_step(path, level2.slot, level2.x, level2.y, level2.value);
    append_step(path, level3.slot, level3.x, level3.y, level3.value);
  });
}

std::vector<bool> exact_paths(std::int32_t first, std::int32_t second, std::int32_t third, std::int32_t fourth) {
  std::vector<bool> exact;
  search(first, second, third, fourth, [&exact](const Step& level1, const Step& level2, const Step& level3) {
    exact.push_back(is_exact(level1) && is_exact(level2) && is_exact(level3));
  });
  return exact;
}

std::array<std::int32_t, 6> combine_values(std::int32_t x, std::int32_t y) {
  std::array<std::int32_t, 6> values{};
  for (int slot = 0; slot < kSlots; ++slot) values[slot] = slot_value(slot, x, y);
  return values;
}

std::string step_text(int slot, std::int32_t x, std::int32_t y) {
  std::string text;
  const int index = slot - 1;
  append_step(text, index, x, y, slot_value(index, x, y));
  return text;
}

}  // namespace quadrivo
