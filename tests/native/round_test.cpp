// A quiz round as plain values: the draw, the Question text, the listing, the award and scores.
#include "app/engine/round.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/engine/chain_solver.h"
#include "common/gbk_utf8.h"
#include "modules/log/log_entry.h"
#include "app/engine/texts.h"

namespace quadrivo {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

TEST(RandomDraw, GeneratorGivesTheFifteenBitSequenceOfItsSeed) {
  const struct {
    std::uint32_t seed;
    std::vector<int> values;
  } cases[] = {
      {1, {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}},
      {0, {38, 7719, 21238, 2437, 8855, 11797, 8365, 32285, 10450, 30612}},
  };
  for (const auto& c : cases) {
    RandomGenerator generator;
    generator.seed(c.seed);
    std::vector<int> values;
    for (std::size_t i = 0; i < c.values.size(); ++i) values.push_back(generator.next_value());
    EXPECT_EQ(values, c.values) << "seed " << c.seed;
  }
}

TEST(RandomDraw, RankIsTheValueModuloThirteenPlusOne) {
  RandomGenerator generator, mirror;
  generator.seed(123456789);
  mirror.seed(123456789);
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) {
    const int value = mirror.next_value();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
    const int rank = draw_rank(generator);
    ASSERT_EQ(rank, value % 13 + 1);
    seen.insert(rank);
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  // Seed 1 starts with 41 and 18467: ranks 3 and 8.
  generator.seed(1);
  EXPECT_EQ(draw_rank(generator), 3);
  EXPECT_EQ(draw_rank(generator), 8);
}

TEST(Deal, QuestionTextJoinsTheCountAndTheFourCaptions) {
  EXPECT_EQ(question_text(1, {"10", "1", "4", "1"}), gbk(u8"1    10、1、4、1"));
  EXPECT_EQ(question_text(5, {"13", "13", "2", "7"}), gbk(u8"5    13、13、2、7"));
  EXPECT_EQ(question_text(-2147483647 - 1, {"1", "2", "3", "4"}), gbk(u8"-2147483648    1、2、3、4"));
}

TEST(Deal, CounterCountsUpAndWrapsInsteadOfOverflowing) {
  EXPECT_EQ(next_deal_count(0), 1);
  EXPECT_EQ(next_deal_count(4), 5);
  EXPECT_EQ(next_deal_count(2147483647), -2147483647 - 1);
}

TEST(ShowAnswer, ProblemIsReadBackFromTheLabelsByTheNumberRules) {
  EXPECT_EQ(problem_from_captions({"10", "1", "4", "1"}), (std::array<std::int32_t, 4>{10, 1, 4, 1}));
  EXPECT_EQ(problem_from_captions({gbk(u8"１３"), "2.9", "", "x"}), (std::array<std::int32_t, 4>{13, 2, 0, 0}));
}

TEST(ShowAnswer, CaptionsCarryTheCountAndTheCredit) {
  const std::string credit = std::string("   ") + texts::kCredit;
  EXPECT_EQ(answer_caption(2), gbk(u8"速算Cardomi  本题共有2种算法") + credit);
  EXPECT_EQ(answer_caption(0), gbk(u8"速算Cardomi  本题共有0种算法") + credit);
  EXPECT_EQ(answer_caption(384), gbk(u8"速算Cardomi  本题共有384种算法") + credit);
  EXPECT_EQ(start_caption("Quadrivo"), "Quadrivo" + credit);
}

TEST(ShowAnswer, ListingTextOfTheExamples) {
  ResultsList results;
  solve(10, 1, 4, 1, results);
  EXPECT_EQ(listing_text(results),
            gbk(u8"共有2种算法 \r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n|1+1=2|10 ×2=20|4+20=24\r\n\r\n"));

  solve(2, 7, 1, 1, results);
  EXPECT_EQ(listing_text(results), gbk(u8"本题无解"));

  solve(12, 12, 12, 12, results);
  ASSERT_EQ(results.size(), 384u);
  const std::string text = listing_text(results);
  EXPECT_TRUE(text.starts_with(gbk(u8"共有384种算法 \r\n"))) << gbk_to_utf8(text.substr(0, 40));
  std::string expected = listing_header(384);
  for (const auto& path : results) expected += path + "\r\n\r\n";
  EXPECT_EQ(text, expected);
}

// Simulated appends: a fixed cost per append plus a cost per path.
std::vector<std::size_t> batches(double fixed_ms, double per_path_ms, std::size_t paths) {
  AppendBatcher batcher(15.0);
  std::vector<std::size_t> sizes;
  for (std::size_t done = 0; done < paths;) {
    const std::size_t count = std::min(batcher.next_count(), paths - done);
    sizes.push_back(count);
    batcher.record(count, fixed_ms + per_path_ms * static_cast<double>(count));
    done += count;
  }
  return sizes;
}

TEST(ShowAnswer, BatcherAmortisesAFixedAppendCostAndStillFillsFromTheTop) {
  // Wine's visible edit box: about 16 ms per append, a few microseconds per path.
  EXPECT_EQ(batches(16.0, 0.005, 384), (std::vector<std::size_t>{1, 2, 4, 8, 16, 32, 64, 128, 129}));
  // Nothing costs anything: the batches double.
  EXPECT_EQ(batches(0.0, 0.0, 20), (std::vector<std::size_t>{1, 2, 4, 8, 5}));
  // Expensive text (6 ms a path against a target of 15): the batch stays small. While only equal
  // batches are in view their text looks free and the batch doubles once; the next append then
  // shows the cost and cuts it back.
  for (std::size_t size : batches(1.0, 6.0, 60)) EXPECT_LE(size, 10u);
  // A slow first append does not hide a cheaper fixed cost later on.
  AppendBatcher batcher(15.0);
  batcher.record(1, 40.0);
  batcher.record(2, 16.0);
  batcher.record(4, 16.2);
  EXPECT_EQ(batcher.next_count(), 8u);
  // Nor does a cheap first append (the box still short, no scroll bars yet) make every later one
  // look expensive for ever, nor a slow one (a message box opened meanwhile): four appends later
  // the batch grows again.
  for (const std::vector<double>& times : {std::vector<double>{0.5, 16, 16, 16, 16},
                                           std::vector<double>{16, 16, 16, 5000, 16, 16, 16, 16}}) {
    AppendBatcher recovering(15.0);
    std::size_t count = 0;
    for (double t : times) {
      count = recovering.next_count();
      recovering.record(count, t);
    }
    EXPECT_GE(recovering.next_count(), 2 * count) << "still doubling after " << times.size() << " appends";
  }
}

struct AwardCase {
  const char* name;
  AwardInputs inputs;
  AwardRefusal refusal;
  int group;
  int points;
  const char8_t* message;
  const char8_t* title;
};

TEST(Award, NineCasesAndThreeRefusalsInTheirOrder) {
  const bool T = true, F = false;
  const AwardCase cases[] = {
      {"nothing dealt, a group chosen", {F, {T, F, F}, F, F}, AwardRefusal::kNotDealt, -1, 0,
       u8"还没有出题呢,怎么会有人得分?", u8"得分提示"},
      {"nothing dealt, both boxes", {F, {F, F, T}, T, T}, AwardRefusal::kNotDealt, -1, 0,
       u8"还没有出题呢,怎么会有人得分?", u8"得分提示"},
      {"no group", {T, {F, F, F}, T, F}, AwardRefusal::kNoGroup, -1, 0, u8"哪一组算正确了呢?请你选择好哦",
       u8"得分提示"},
      {"both boxes", {T, {F, F, T}, T, T}, AwardRefusal::kBothMethods, -1, 0,
       u8"出错了，【第一种方法】和【第二种方法】不能同时选中哦~", u8"出错提示"},
      {"case 1", {T, {T, F, F}, F, F}, AwardRefusal::kNone, 0, 3, u8"恭喜第一组得三分", u8"恭喜"},
      {"case 2", {T, {F, T, F}, F, F}, AwardRefusal::kNone, 1, 3, u8"恭喜第二组得三分", u8"恭喜"},
      {"case 3", {T, {F, F, T}, F, F}, AwardRefusal::kNone, 2, 3, u8"恭喜第三组得三分", u8"恭喜"},
      {"case 4", {T, {T, F, F}, T, F}, AwardRefusal::kNone, 0, 2, u8"恭喜第一组再得二分", u8"恭喜"},
      {"case 5", {T, {F, T, F}, T, F}, AwardRefusal::kNone, 1, 2, u8"恭喜第二组再得二分", u8"恭喜"},
      {"case 6", {T, {F, F, T}, T, F}, AwardRefusal::kNone, 2, 2, u8"恭喜第三组再得二分", u8"恭喜"},
      {"case 7", {T, {T, F, F}, F, T}, AwardRefusal::kNone, 0, 1, u8"恭喜第一组再得一分", u8"恭喜"},
      {"case 8", {T, {F, T, F}, F, T}, AwardRefusal::kNone, 1, 1, u8"恭喜第二组再得一分", u8"恭喜"},
      {"case 9", {T, {F, F, T}, F, T}, AwardRefusal::kNone, 2, 1, u8"恭喜第三组再得一分", u8"恭喜"},
      // Should two radio buttons ever be checked, the first case in order wins.
      {"groups 2 and 3, second method", {T, {F, T, T}, T, F}, AwardRefusal::kNone, 1, 2,
       u8"恭喜第二组再得二分", u8"恭喜"},
      {"groups 1 and 3, first method", {T, {T, F, T}, F, F}, AwardRefusal::kNone, 0, 3, u8"恭喜第一组得三分",
       u8"恭喜"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AwardDecision d = decide_award(c.inputs);
    EXPECT_EQ(d.refusal, c.refusal);
    EXPECT_EQ(d.group, c.group);
    EXPECT_EQ(d.points, c.points);
    ASSERT_NE(d.message, nullptr);
    ASSERT_NE(d.title, nullptr);
    EXPECT_EQ(d.message, gbk(c.message));
    EXPECT_EQ(d.title, gbk(c.title));
    EXPECT_EQ(d.log_kind, c.refusal == AwardRefusal::kNone ? log::kScore : log::kError);
  }
}

TEST(Award, PointsAreAddedToWhateverTheScoreBoxHolds) {
  const struct {
    std::string before;
    int points;
    std::string after;
  } cases[] = {
      {"0", 3, "3"},
      {"2.5", 2, "4.5"},
      {gbk(u8"7分"), 3, "10"},
      {"abc", 1, "1"},
      {"", 1, "1"},
      {gbk(u8"１２"), 3, "15"},
      {"-4", 1, "-3"},
      {"9999999999999", 1, "1e+13"},
      {"0.1", 2, "2.1"},
      {"1234567890.123456", 1, "1234567891.123"},
  };
  for (const auto& c : cases) EXPECT_EQ(add_points(c.before, c.points), c.after) << gbk_to_utf8(c.before);
}

}  // namespace
}  // namespace quadrivo
