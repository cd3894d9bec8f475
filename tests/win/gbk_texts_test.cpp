// Every user-visible text of the modules must be valid GBK, as code page 936 reads it: a literal
// outside GBK would compile (the sources are compiled to GB18030) and then show as garbage.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/engine/chain_solver.h"
#include "modules/log/log_entry.h"
#include "modules/update/update_texts.h"

namespace quadrivo {
namespace {

bool converts_strictly(const std::string& gbk) {
  if (gbk.empty()) return true;
  return MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0) > 0;
}

TEST(GbkTexts, UpdateModuleTexts) {
  const char* texts[] = {
      update::kWindowTitle,        update::kSpeedCaptionAtStart, update::kReceivedCaptionAtStart,
      update::kTotalCaptionAtStart, update::kPercentCaptionAtStart, update::kSpeedLabel,
      update::kReceivedLabel,       update::kTotalLabel,          update::kPercentLabel,
      update::kUpToDateText,        update::kUpToDateTitle,       update::kNewVersionText,
      update::kNewVersionTitle,     update::kRunNowText,          update::kRunNowTitle,
      update::kBadVersionText,      update::kBadAddressText,      update::kDownloadFailedText,
      update::kErrorTitle,          update::kSaveFilePrefix,
  };
  for (const char* text : texts) EXPECT_TRUE(converts_strictly(text)) << text;
}

TEST(GbkTexts, LogTimestampsAndLabels) {
  EXPECT_TRUE(converts_strictly(log::timestamp_text({2026, 12, 11, 23, 59, 58})));
  for (int kind = 1; kind <= 10; ++kind) {
    if (log::kind_label(kind)) {
      EXPECT_TRUE(converts_strictly(log::kind_label(kind))) << kind;
    }
  }
}

TEST(GbkTexts, SolverStepTexts) {
  for (int slot = 1; slot <= 6; ++slot) EXPECT_TRUE(converts_strictly(step_text(slot, 3, 4))) << slot;
}

}  // namespace
}  // namespace quadrivo
