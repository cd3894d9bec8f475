#include "common/scoped_flag.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quadrivo {
namespace {

TEST(ScopedFlag, IsSetInsideTheScopeAndClearedHoweverItIsLeft) {
  bool flag = false;
  {
    const ScopedFlag set(flag);
    EXPECT_TRUE(flag);
  }
  EXPECT_FALSE(flag);

  // An exception out of the guarded work, as the answer listing could throw.
  EXPECT_THROW(
      {
        const ScopedFlag set(flag);
        throw std::runtime_error("listing failed");
      },
      std::runtime_error);
  EXPECT_FALSE(flag) << "left set, the button would do nothing for the rest of the run";
}

}  // namespace
}  // namespace quadrivo
