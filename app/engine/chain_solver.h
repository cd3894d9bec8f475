// The chain solver: every way the fixed chain a op (b op (c op d)) reaches 24 from four whole
// numbers, with the six operation slots and whole-number arithmetic (quotients truncated toward
// zero, a quotient by zero is 0).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quadrivo {

// The program-wide list of solution paths of the last solve, in search order, duplicates kept.
using ResultsList = std::vector<std::string>;

// Empties results, then appends every solution path of the four numbers in search order:
// by ordering of the positions (lexicographic), then by the slot of level 1, 2 and 3.
void solve(std::int32_t first, std::int32_t second, std::int32_t third, std::int32_t fourth, ResultsList& results);

// For each path solve() lists, in the same order, whether every step of it is exact: no quotient
// truncated or taken by zero, no value clamped to 32 bits. The trainer lists both kinds alike; this
// tells the host's companion which paths are true solutions.
std::vector<bool> exact_paths(std::int32_t first, std::int32_t second, std::int32_t third, std::int32_t fourth);

// One combine step of x and y: the six values in slot order (x+y, x-y, x*y, x/y, y/x, y-x).
std::array<std::int32_t, 6> combine_values(std::int32_t x, std::int32_t y);

// The step text of slot (1..6) for x and y, "|" + left + operator + right + "=" + value.
std::string step_text(int slot, std::int32_t x, std::int32_t y);

}  // namespace quadrivo
