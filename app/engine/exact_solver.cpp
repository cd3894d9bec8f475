#include "app/engine/exact_solver.h"

#include <algorithm>
#include <set>

#include "app/engine/expression.h"
#include "app/engine/fraction.h"

namespace quadrivo {
namespace {

constexpr std::int64_t kTarget = 24;

// A value still to be combined, and the node of the expression that made it.
struct Item {
  Fraction value;
  int node = 0;
};

struct Combination {
  Operator op;
  bool swapped;  // the second item is the left operand
};

// Both orders of the two operations that are not symmetric; one of each of the others.
constexpr Combination kCombinations[] = {
    {Operator::add, false},      {Operator::multiply, false}, {Operator::subtract, false},
    {Operator::subtract, true},  {Operator::divide, false},   {Operator::divide, true},
};

// Every tree over the numbers: any two values still open are combined into one, until one is left.
// Each tree shape arises, with repeats; the normal form's text removes them.
class Search {
 public:
  explicit Search(const FourNumbers& numbers) {
    std::array<Item, 4> items;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      nodes_.push_back(ExpressionNode{numbers[i]});
      items[i] = {Fraction(numbers[i]), static_cast<int>(i)};
    }
    combine(items.data(), static_cast<int>(items.size()));
  }

  const std::set<std::string>& solutions() const { return solutions_; }

 private:
  void combine(const Item* items, int count) {
    for (int i = 0; i < count; ++i) {
      for (int j = i + 1; j < count; ++j) {
        std::array<Item, 4> next;
        int rest = 0;
        for (int k = 0; k < count; ++k) {
          if (k != i && k != j) next[rest++] = items[k];
        }
        for (const Combination& combination : kCombinations) {
          const Item& left = combination.swapped ? items[j] : items[i];
          const Item& right = combination.swapped ? items[i] : items[j];
          const auto value = apply(combination.op, left.value, right.value);
          if (!value) continue;
          if (rest == 0 && *value != Fraction(kTarget)) continue;
          nodes_.push_back(ExpressionNode{0, combination.op, left.node, right.node});
          const int node = static_cast<int>(nodes_.size()) - 1;
          if (rest == 0) {
            solutions_.insert(normal_form_text(nodes_, node));
          } else {
            next[rest] = {*value, node};
            combine(next.data(), rest + 1);
          }
          nodes_.pop_back();
        }
      }
    }
  }

  ExpressionNodes nodes_;
  std::set<std::string> solutions_;
};

std::size_t parentheses(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '(')); }

}  // namespace

bool within_exact_range(std::int32_t number) { return number >= -kExactNumberLimit && number <= kExactNumberLimit; }

std::vector<std::string> exact_solutions(const FourNumbers& numbers) {
  const Search search(numbers);
  std::vector<std::string> solutions(search.solutions().begin(), search.solutions().end());
  // Plain forms first: a list that opens with 1×2×3×4 reads easier than one that opens with brackets.
  std::stable_sort(solutions.begin(), solutions.end(),
                   [](const std::string& a, const std::string& b) { return parentheses(a) < parentheses(b); });
  return solutions;
}

}  // namespace quadrivo
