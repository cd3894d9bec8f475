#include "app/engine/round.h"

#include <algorithm>
#include <limits>

#include "common/log_kinds.h"
#include "common/numbers.h"
#include "app/engine/texts.h"

namespace quadrivo {
namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;
constexpr int kValueShift = 16;
constexpr std::uint32_t kValueMask = 0x7FFF;

std::string count_text(std::size_t count) {
  const std::size_t largest = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  return int_to_text(static_cast<std::int32_t>(std::min(count, largest)));
}

// Points of the first, second and third correct method, in the order the cases are tested.
constexpr int kPoints[3] = {3, 2, 1};

}  // namespace

int RandomGenerator::next_value() {
  state_ = state_ * kMultiplier + kIncrement;  // unsigned: wraps modulo 2^32 by definition
  return static_cast<int>((state_ >> kValueShift) & kValueMask);
}

int draw_in_range(RandomGenerator& generator, int lo, int hi) {
  return lo + generator.next_value() % (hi - lo + 1);
}

std::int32_t next_deal_count(std::int32_t count) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u);
}

std::string question_text(std::int32_t deal_count, const NumberCaptions& captions) {
  std::string text = int_to_text(deal_count) + texts::kQuestionGap;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (i > 0) text += texts::kQuestionSeparator;
    text += captions[i];
  }
  return text;
}

std::array<std::int32_t, kCardsPerDeal> problem_from_captions(const NumberCaptions& captions) {
  std::array<std::int32_t, kCardsPerDeal> numbers{};
  for (std::size_t i = 0; i < captions.size(); ++i) numbers[i] = real_to_whole(text_to_number(captions[i]));
  return numbers;
}

std::string answer_caption(std::size_t path_count) {
  return std::string(texts::kAnswerCaptionHead) + count_text(path_count) + texts::kAnswerCaptionTail +
         texts::kCaptionGap + texts::kCredit;
}

std::string start_caption(std::string_view form_caption) {
  return std::string(form_caption) + texts::kCaptionGap + texts::kCredit;
}

std::string listing_header(std::size_t path_count) {
  return std::string(texts::kListingHead) + count_text(path_count) + texts::kListingHeadTail;
}

std::string listing_piece(std::string_view path) {
  return std::string(path) + texts::kLineBreak + texts::kLineBreak;
}

std::string listing_text(const ResultsList& results) {
  if (results.empty()) return texts::kNoSolution;
  std::string text = listing_header(results.size());
  for (const auto& path : results) text += listing_piece(path);
  return text;
}

void AppendBatcher::record(std::size_t count, double elapsed_ms) {
  if (count == 0) return;
  recent_ms_[recorded_ % kRecent] = elapsed_ms;
  ++recorded_;
  double fixed_ms = elapsed_ms;
  for (std::size_t i = 0; i < std::min(recorded_, kRecent); ++i) fixed_ms = std::min(fixed_ms, recent_ms_[i]);
  const double text_ms = elapsed_ms - fixed_ms;
  if (text_ms <= target_ms_) {
    next_ = count * 2;
    return;
  }
  const double fitting = static_cast<double>(count) * target_ms_ / text_ms;
  next_ = std::max<std::size_t>(1, static_cast<std::size_t>(fitting));
}

AwardDecision decide_award(const AwardInputs& inputs) {
  AwardDecision decision;
  const auto refuse = [&](AwardRefusal refusal, const char* message, const char* title) {
    decision.refusal = refusal;
    decision.message = message;
    decision.title = title;
    decision.log_kind = log::kError;
    return decision;
  };
  if (!inputs.dealt) return refuse(AwardRefusal::kNotDealt, texts::kNobodyCanScore, texts::kScorePromptTitle);
  if (!inputs.group[0] && !inputs.group[1] && !inputs.group[2]) {
    return refuse(AwardRefusal::kNoGroup, texts::kChooseGroup, texts::kScorePromptTitle);
  }
  // Cases 1 to 9: for each method in turn, the groups in order; the first that holds wins.
  const bool methods[3][2] = {
      {!inputs.second_method, !inputs.third_method},  // first method: neither box checked
      {inputs.second_method, !inputs.third_method},
      {inputs.third_method, !inputs.second_method},
  };
  for (int method = 0; method < 3; ++method) {
    if (!(methods[method][0] && methods[method][1])) continue;
    for (int group = 0; group < 3; ++group) {
      if (!inputs.group[group]) continue;
      decision.group = group;
      decision.points = kPoints[method];
      decision.message = texts::kAwardMessages[method][group];
      decision.title = texts::kCongratulationsTitle;
      decision.log_kind = log::kScore;
      return decision;
    }
  }
  return refuse(AwardRefusal::kBothMethods, texts::kBothMethods, texts::kErrorPromptTitle);
}

std::string add_points(std::string_view score_text, int points) {
  return double_to_text(text_to_number(score_text) + static_cast<double>(points));
}

}  // namespace quadrivo
