#include "core/screen/shrink_policy.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(KeptSize, CoversTheScreenAndNoMore) {
  EXPECT_EQ(KeptSize({6000, 4000}, {1920, 1080}), (PixelSize{1920, 1280}));
  EXPECT_EQ(KeptSize({6000, 4000}, {3840, 2160}), (PixelSize{3840, 2560}));
  EXPECT_EQ(KeptSize({4000, 6000}, {1920, 1080}), (PixelSize{1920, 2880}));
  EXPECT_EQ(KeptSize({800, 600}, {1920, 1080}), (PixelSize{800, 600})) << "never enlarged";
  EXPECT_EQ(KeptSize({3000, 500}, {1920, 1080}), (PixelSize{3000, 500})) << "lower than the screen: kept whole";
  EXPECT_EQ(KeptSize({30000, 2}, {1920, 1080}), (PixelSize{30000, 2}));
}

}  // namespace
}  // namespace zor
