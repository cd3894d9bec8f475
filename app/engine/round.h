// One quiz round as plain values: the random draw of a deal, the Question text, the answer
// listing's caption and pieces, the award decision and the score arithmetic. The window reads
// its controls, calls these, and writes the results back; nothing here knows about windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/engine/chain_solver.h"

namespace quadrivo {

// The program's one pseudo-random generator, 15-bit values from a linear congruential sequence
// (state = state * 214013 + 2531011, value = bits 16 to 30 of the state). Seeded once at start.
class RandomGenerator {
 public:
  void seed(std::uint32_t seed) { state_ = seed; }
  // The next value, 0 to 32767.
  int next_value();

 private:
  std::uint32_t state_ = 1;
};

// lo + (v mod (hi - lo + 1)) with v the generator's next value; hi >= lo.
int draw_in_range(RandomGenerator& generator, int lo, int hi);

inline constexpr int kLowestRank = 1;
inline constexpr int kHighestRank = 13;
inline constexpr int kCardsPerDeal = 4;

// A card rank 1 to 13: (v mod 13) + 1.
inline int draw_rank(RandomGenerator& generator) { return draw_in_range(generator, kLowestRank, kHighestRank); }

// The captions of the four number labels, card 1 to card 4 (GBK).
using NumberCaptions = std::array<std::string, kCardsPerDeal>;

// The deal counter after one more deal. It never runs backwards within a run; past the largest
// 32-bit value it wraps instead of overflowing.
std::int32_t next_deal_count(std::int32_t count);

// "1    10、1、4、1": the deal counter, four spaces, the captions joined by the ideographic comma.
std::string question_text(std::int32_t deal_count, const NumberCaptions& captions);

// The four numbers of the problem as show answer reads them back from the labels: each caption
// through the text-to-number conversion, truncated toward zero.
std::array<std::int32_t, kCardsPerDeal> problem_from_captions(const NumberCaptions& captions);

// "速算Cardomi  本题共有N种算法" + three blanks + the credit.
std::string answer_caption(std::size_t path_count);
// The caption at start: the form's caption + three blanks + the credit.
std::string start_caption(std::string_view form_caption);

// "共有N种算法 \r\n": the first line of a listing with N >= 1.
std::string listing_header(std::size_t path_count);
// One path as it is appended: the path, its line break and an empty line.
std::string listing_piece(std::string_view path);
// The whole text of the answer box after a complete listing of results.
std::string listing_text(const ResultsList& results);

// How many paths the next append of a listing carries. Appending to a visible multi-line box can
// cost a fixed amount per append, whatever it carries (the scroll bars' update), besides the cost
// of the text itself. The batcher takes the cheapest of the last few appends as the fixed share
// and the rest of an append's time as the share of its text: while that stays within the target
// the next append carries twice as many paths, otherwise proportionally fewer. So the box still
// fills visibly from the top and a long list needs only a few appends; where the text itself is
// expensive, the batch stays where its share is near the target, now and then doubling once and
// being cut back by the next append. Only recent appends count: one that was cheap
// because the box was still short, or one slowed down by whatever ran in the events handled
// after it, is soon forgotten.
class AppendBatcher {
 public:
  explicit AppendBatcher(double target_ms) : target_ms_(target_ms) {}
  std::size_t next_count() const { return next_; }
  // An append of count paths took elapsed_ms, measured with the handling that follows it.
  void record(std::size_t count, double elapsed_ms);

 private:
  static constexpr std::size_t kRecent = 4;
  double target_ms_;
  double recent_ms_[kRecent] = {};
  std::size_t recorded_ = 0;
  std::size_t next_ = 1;
};

// What the award's inputs are: whether a problem has been dealt (the first number label is not
// empty), the checked states of the three group radio buttons and of the two method check boxes.
struct AwardInputs {
  bool dealt = false;
  std::array<bool, 3> group = {false, false, false};
  bool second_method = false;
  bool third_method = false;
};

enum class AwardRefusal { kNone, kNotDealt, kNoGroup, kBothMethods };

// The outcome of an award: a refusal (message box, Error entry, no score change) or the group
// (0 to 2) that gets the points, with the congratulation. The message box style is always the
// information icon with OK.
struct AwardDecision {
  AwardRefusal refusal = AwardRefusal::kNone;
  int group = -1;
  int points = 0;
  const char* message = nullptr;
  const char* title = nullptr;
  int log_kind = 0;
};

// The three refusals in their order, then the nine cases in theirs: the first method (neither
// check box) for groups one to three, then the second, then the third.
AwardDecision decide_award(const AwardInputs& inputs);

// The score box's text with the points added: text-to-number, plus the points, "%.13g".
std::string add_points(std::string_view score_text, int points);

}  // namespace quadrivo
