#include "core/screen/shrink_policy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "shrink_test_rows.h"

namespace zor {
namespace {

using shrink_testing::KernelGuard;
using shrink_testing::kLayouts;
using shrink_testing::kVectorKernels;
using shrink_testing::RandomRows;
using shrink_testing::Shrink;

TEST(ShrinkKernel, EveryKernelMatchesThePlainOneExactly) {
  const KernelGuard guard;
  // A kernel the processor lacks falls back to the best below it.
  EXPECT_EQ(SetShrinkKernel(ShrinkKernel::kPortable), ShrinkKernel::kPortable);
  for (const ShrinkKernel wanted : kVectorKernels) EXPECT_LE(SetShrinkKernel(wanted), wanted);
#if defined(__SSE2__)
  EXPECT_GE(SetShrinkKernel(ShrinkKernel::kAvx2), ShrinkKernel::kSse2);
#endif
  // Ratios for 2, 3, 4, 5 and many taps per column, odd sizes, one axis kept.
  const std::pair<PixelSize, PixelSize> sizes[] = {
      {{7, 5}, {3, 2}},       {{100, 60}, {99, 59}},  {{1500, 1000}, {960, 640}}, {{301, 201}, {100, 67}},
      {{397, 211}, {101, 53}}, {{997, 661}, {97, 31}}, {{640, 9}, {640, 3}},       {{33, 480}, {1, 17}}};
  std::uint32_t seed = 7;
  for (const auto& [from, to] : sizes) {
    for (const RowLayout layout : kLayouts) {
      const auto rows = RandomRows(from, layout, ++seed);
      // One band; bands meeting at a third and two thirds; a file that ends early.
      const std::vector<int> thirds{to.width / 3, 2 * to.width / 3};
      const int early = from.height - from.height / 4;
      const auto whole = Shrink(ShrinkKernel::kPortable, rows, from, to, layout).out;
      const auto cut = Shrink(ShrinkKernel::kPortable, rows, from, to, layout, {}, 0, -1, early).out;
      ASSERT_EQ(std::count(whole.begin(), whole.end(), 0xDEADBEEFu), 0);
      for (const ShrinkKernel kernel : kVectorKernels) {
        SCOPED_TRACE(testing::Message() << from.width << "x" << from.height << " -> " << to.width << "x" << to.height
                                        << ", bytes per pixel " << BytesPerPixel(layout) << ", kernel "
                                        << static_cast<int>(kernel));
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout).out, whole);
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout, thirds).out, whole);
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout, {}, 0, -1, early).out, cut);
      }
    }
  }
  // A photo's size at 4K in two bands, BGR rows.
  const PixelSize from{4001, 2999};
  const PixelSize to{3840, 2160};
  const auto rows = RandomRows(from, RowLayout::kBgr24, 4001);
  const auto whole = Shrink(ShrinkKernel::kPortable, rows, from, to, RowLayout::kBgr24).out;
  for (const ShrinkKernel kernel : kVectorKernels) {
    EXPECT_EQ(Shrink(kernel, rows, from, to, RowLayout::kBgr24, {1921}).out, whole) << static_cast<int>(kernel);
  }
}

}  // namespace
}  // namespace zor
