#include "core/screen/decoded_row.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

TEST(ExpandRow, EveryLayout) {
  const std::uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
  const std::uint8_t bgrx[8] = {1, 2, 3, 99, 4, 5, 6, 99};
  const std::uint8_t grey[2] = {7, 200};
  std::uint32_t out[2] = {};
  ExpandRow(bgr, RowLayout::kBgr24, 2, out);
  EXPECT_EQ(out[0], 0x030201u);
  EXPECT_EQ(out[1], 0x060504u);
  ExpandRow(bgrx, RowLayout::kBgrx32, 2, out);
  EXPECT_EQ(out[1], 0x060504u) << "the fourth byte is dropped";
  ExpandRow(grey, RowLayout::kGray8, 2, out);
  EXPECT_EQ(out[0], 0x070707u);
  EXPECT_EQ(out[1], 0xC8C8C8u);
}

// Faults: a see-through pixel left black (alpha dropped), 71 % white drawn
// as full white, or the ground's channels swapped.
TEST(CompositeRowOverGround, BlendsEachPixelOverTheGround) {
  std::uint8_t row[16] = {
      10, 20, 30, 255,    // opaque: as it is
      200, 100, 50, 0,    // clear: the ground
      255, 255, 255, 181, // 71 % white
      0, 0, 255, 128,     // half red
  };
  CompositeRowOverGround(row, 4, Rgb{0, 0, 0});
  std::uint32_t out[4] = {};
  ExpandRow(row, RowLayout::kBgrx32, 4, out);
  EXPECT_EQ(out[0], 0x1E140Au);
  EXPECT_EQ(out[1], 0x000000u);
  EXPECT_EQ(out[2], 0xB5B5B5u);
  EXPECT_EQ(out[3], 0x800000u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(row[i * 4 + 3], 0) << "the fourth byte is left unused";

  std::uint8_t clear[8] = {9, 9, 9, 0, 0, 0, 0, 128};
  CompositeRowOverGround(clear, 2, Rgb{0x12, 0x34, 0x56});
  ExpandRow(clear, RowLayout::kBgrx32, 2, out);
  EXPECT_EQ(out[0], 0x123456u) << "a clear pixel is the ground, red in the top byte";
  EXPECT_EQ(out[1], 0x091A2Bu) << "half black over the ground";
}

}  // namespace
}  // namespace zor
