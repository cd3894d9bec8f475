#include "app/engine/chain_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk_utf8.h"

namespace quadrivo {
namespace {

// Expected texts are written in UTF-8 here and compared as GBK, the solver's own encoding.
std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

TEST(CombineStep, ValuesAndTextsInSlotOrder) {
  const auto values = combine_values(3, 4);
  EXPECT_EQ(values, (std::array<std::int32_t, 6>{7, -1, 12, 0, 1, 1}));
  const char8_t* texts[] = {u8"|3+4=7", u8"|3－ 4=-1", u8"|3 ×4=12", u8"|3 ÷4=0", u8"|4 ÷3=1", u8"|4 －3=1"};
  for (int slot = 1; slot <= 6; ++slot) EXPECT_EQ(step_text(slot, 3, 4), gbk(texts[slot - 1])) << slot;
}

TEST(CombineStep, OperatorLiteralBytes) {
  // The spaces differ from slot to slot; the bytes are fixed.
  EXPECT_EQ(step_text(1, 1, 2), "|1+2=3");
  EXPECT_EQ(step_text(2, 1, 2), "|1\xA3\xAD 2=-1");
  EXPECT_EQ(step_text(3, 1, 2), "|1 \xA1\xC1" "2=2");
  EXPECT_EQ(step_text(4, 1, 2), "|1 \xA1\xC2" "2=0");
  EXPECT_EQ(step_text(5, 1, 2), "|2 \xA1\xC2" "1=2");
  EXPECT_EQ(step_text(6, 1, 2), "|2 \xA3\xAD" "1=1");
}

struct Truncation {
  int slot;
  std::int32_t x, y, value;
};

TEST(CombineStep, QuotientsTruncateTowardZeroAndByZeroGiveZero) {
  const Truncation cases[] = {
      {4, 7, 2, 3},   {4, 64, 3, 21},  {4, 3, 4, 0},  {4, -7, 2, -3}, {4, 13, -4, -3},
      {4, 5, 0, 0},   {4, 0, 0, 0},    {5, 0, 5, 0},  {5, 2, 7, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(combine_values(c.x, c.y)[c.slot - 1], c.value) << c.x << " " << c.y;
  }
  EXPECT_EQ(step_text(4, 5, 0), gbk(u8"|5 ÷0=0"));
}

TEST(CombineStep, ResultsOutsideThirtyTwoBitsAreClamped) {
  constexpr std::int32_t kMax = 2147483647;
  constexpr std::int32_t kMin = -2147483647 - 1;
  EXPECT_EQ(combine_values(kMax, 1)[0], kMax);
  EXPECT_EQ(combine_values(kMin, 1)[1], kMin);
  EXPECT_EQ(combine_values(kMax, kMax)[2], kMax);
  EXPECT_EQ(combine_values(kMax, kMin)[2], kMin);
  EXPECT_EQ(combine_values(kMin, -1)[3], kMax);  // 2^31 does not fit
  EXPECT_EQ(combine_values(-1, kMin)[4], kMax);
}

struct Problem {
  std::int32_t numbers[4];
  std::size_t count;
  const char8_t* first;
  const char8_t* last;
};

TEST(Solve, KnownProblems) {
  const Problem problems[] = {
      {{1, 2, 3, 4}, 54, u8"|3 ×4=12|2 ×12=24|1 ×24=24", u8"|2 ÷1=2|3 ×2=6|4 ×6=24"},
      {{1, 1, 4, 10}, 2, u8"|1+1=2|10 ×2=20|4+20=24", u8"|1+1=2|10 ×2=20|4+20=24"},
      {{1, 1, 7, 8}, 2, u8"|1+1=2|7 ÷2=3|8 ×3=24", u8"|1+1=2|7 ÷2=3|8 ×3=24"},
      {{3, 3, 8, 8}, 44, u8"|8 ×8=64|64 ÷3=21|3+21=24", nullptr},
      {{12, 12, 12, 12}, 384, nullptr, nullptr},
      {{1, 1, 2, 7}, 0, nullptr, nullptr},
      {{2, 7, 1, 1}, 0, nullptr, nullptr},
  };
  ResultsList results;
  for (const auto& p : problems) {
    solve(p.numbers[0], p.numbers[1], p.numbers[2], p.numbers[3], results);
    SCOPED_TRACE(testing::Message() << p.numbers[0] << " " << p.numbers[1] << " " << p.numbers[2] << " "
                                    << p.numbers[3]);
    ASSERT_EQ(results.size(), p.count);
    if (p.first) {
      EXPECT_EQ(results.front(), gbk(p.first));
    }
    if (p.last) {
      EXPECT_EQ(results.back(), gbk(p.last));
    }
  }
}

TEST(Solve, OneTwoThreeFourDetails) {
  ResultsList results;
  solve(1, 2, 3, 4, results);
  ASSERT_GE(results.size(), 2u);
  EXPECT_EQ(results[1], gbk(u8"|3 ×4=12|2 ×12=24|24 ÷1=24"));
  // Slot 4 with x = 4 and slot 5 with x = 1 write the same text; both stay in the list.
  EXPECT_EQ(std::count(results.begin(), results.end(), gbk(u8"|4 ÷1=4|3 ×4=12|2 ×12=24")), 2);
}

TEST(Solve, NegativeRunningValuesAreWrittenWithAHyphen) {
  ResultsList results;
  solve(1, 4, 5, 8, results);
  EXPECT_NE(std::find(results.begin(), results.end(), gbk(u8"|1－ 5=-4|4 ×-4=-16|8－ -16=24")), results.end());
}

TEST(Solve, EveryPathHasThreeStepsAndEndsInTwentyFour) {
  ResultsList results;
  solve(12, 12, 12, 12, results);
  for (const auto& path : results) {
    EXPECT_EQ(std::count(path.begin(), path.end(), '|'), 3) << path;
    EXPECT_EQ(std::count(path.begin(), path.end(), '='), 3) << path;
    EXPECT_TRUE(path.ends_with("=24")) << path;
  }
}

TEST(Solve, ASecondSolveReplacesTheFirst) {
  ResultsList results;
  solve(12, 12, 12, 12, results);
  solve(1, 1, 4, 10, results);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0], gbk(u8"|1+1=2|10 ×2=20|4+20=24"));
  solve(1, 1, 2, 7, results);
  EXPECT_TRUE(results.empty());
}

TEST(Solve, OrderingsAreTakenByPosition) {
  // Equal numbers give repeated orderings: four equal cards list each chain 24 times.
  ResultsList results;
  solve(6, 6, 6, 6, results);
  ASSERT_FALSE(results.empty());
  EXPECT_EQ(results.size() % 24, 0u);
  EXPECT_EQ(std::count(results.begin(), results.end(), results.front()) % 24, 0);
}

TEST(Solve, ScanOfAllRankMultisets) {
  ResultsList results;
  int problems = 0, unsolved = 0;
  std::size_t paths = 0, most = 0;
  for (int a = 1; a <= 13; ++a)
    for (int b = a; b <= 13; ++b)
      for (int c = b; c <= 13; ++c)
        for (int d = c; d <= 13; ++d) {
          solve(a, b, c, d, results);
          ++problems;
          if (results.empty()) ++unsolved;
          paths += results.size();
          most = std::max(most, results.size());
        }
  EXPECT_EQ(problems, 1820);
  EXPECT_EQ(unsolved, 267);
  EXPECT_EQ(paths, 49042u);
  EXPECT_EQ(most, 384u);
}

struct PathExactness {
  std::int32_t numbers[4];
  const char8_t* path;
  bool exact;
};

TEST(ExactPaths, EachPathOfTheListingIsJudgedInTheSameOrder) {
  const PathExactness cases[] = {
      {{1, 2, 3, 4}, u8"|3 ×4=12|2 ×12=24|1 ×24=24", true},
      {{1, 1, 7, 8}, u8"|1+1=2|7 ÷2=3|8 ×3=24", false},               // 7÷2 is 3.5
      {{4, 4, 10, 10}, u8"|10 ×10=100|100 －4=96|96 ÷4=24", true},
      {{4, 4, 10, 10}, u8"|10 ÷4=2|10 ×2=20|4+20=24", false},          // 10÷4 is 2.5
      {{3, 3, 8, 8}, u8"|8 ×8=64|64 ÷3=21|3+21=24", false},
      {{1, 4, 5, 8}, u8"|1－ 5=-4|4 ×-4=-16|8－ -16=24", true},
      {{6, 6, 9, 11}, u8"|6 ×9=54|54 ÷11=4|6 ×4=24", false},       // 54÷11 is not 4
  };
  ResultsList results;
  for (const auto& c : cases) {
    const auto& n = c.numbers;
    solve(n[0], n[1], n[2], n[3], results);
    const std::vector<bool> exact = exact_paths(n[0], n[1], n[2], n[3]);
    ASSERT_EQ(exact.size(), results.size());
    const auto found = std::find(results.begin(), results.end(), gbk(c.path));
    ASSERT_NE(found, results.end()) << gbk_to_utf8(gbk(c.path));
    EXPECT_EQ(exact[static_cast<std::size_t>(found - results.begin())], c.exact) << gbk_to_utf8(*found);
  }
}

TEST(ExactPaths, QuotientsByZeroAndClampedValuesAreNotExact) {
  // 5-5 gives 0 and the chain's 0÷0 gives 0, so |5－ 5=0|0 ÷0=0|24+0=24 is listed: not an exact path.
  ResultsList results;
  solve(24, 0, 5, 5, results);
  const std::vector<bool> exact = exact_paths(24, 0, 5, 5);
  ASSERT_EQ(exact.size(), results.size());
  bool saw_quotient_by_zero = false;
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (results[i].find(gbk(u8" ÷0=")) == std::string::npos) continue;
    saw_quotient_by_zero = true;
    EXPECT_FALSE(exact[i]) << gbk_to_utf8(results[i]);
  }
  EXPECT_TRUE(saw_quotient_by_zero);

  constexpr std::int32_t kMax = 2147483647;
  const std::vector<bool> clamped = exact_paths(kMax, kMax, -kMax, 24);  // max + max clamps to max
  solve(kMax, kMax, -kMax, 24, results);
  ASSERT_EQ(clamped.size(), results.size());
  const auto wrong = std::find(results.begin(), results.end(),
                               "|2147483647+2147483647=2147483647|-2147483647+2147483647=0|24+0=24");
  ASSERT_NE(wrong, results.end());
  EXPECT_FALSE(clamped[static_cast<std::size_t>(wrong - results.begin())]);
}

TEST(ExactPaths, ScanOfAllRankMultisets) {
  // Of the 49,042 listed paths 14,224 rely on a truncated quotient; 273 problems have only such paths.
  std::size_t paths = 0, exact = 0;
  int all_truncate = 0;
  for (int a = 1; a <= 13; ++a)
    for (int b = a; b <= 13; ++b)
      for (int c = b; c <= 13; ++c)
        for (int d = c; d <= 13; ++d) {
          const std::vector<bool> flags = exact_paths(a, b, c, d);
          const auto exact_here = static_cast<std::size_t>(std::count(flags.begin(), flags.end(), true));
          paths += flags.size();
          exact += exact_here;
          if (!flags.empty() && exact_here == 0) ++all_truncate;
        }
  EXPECT_EQ(paths, 49042u);
  EXPECT_EQ(paths - exact, 14224u);
  EXPECT_EQ(all_truncate, 273);
}

}  // namespace
}  // namespace quadrivo
