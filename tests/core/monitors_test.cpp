#include "core/screen/monitors.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(MonitorsToCover, EveryMonitorTheFormDoesNotFill) {
  const PixelRect primary{0, 0, 1920, 1080};
  const PixelRect right{1920, 0, 3200, 1024};
  const PixelRect left{-1280, 100, 0, 1124};
  const PixelRect partly{1000, 0, 2920, 1080};  // overlaps the form, not inside it
  EXPECT_TRUE(MonitorsToCover({primary}, primary).empty());
  EXPECT_EQ(MonitorsToCover({primary, right, left}, primary), (std::vector<PixelRect>{right, left}));
  EXPECT_EQ(MonitorsToCover({primary, partly}, primary), (std::vector<PixelRect>{partly}));
  EXPECT_TRUE(MonitorsToCover({PixelRect{5, 5, 5, 9}}, primary).empty()) << "an empty monitor";
  EXPECT_TRUE(MonitorsToCover({}, primary).empty());
}

}  // namespace
}  // namespace zor
