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

}  // namespace
}  // namespace zor
