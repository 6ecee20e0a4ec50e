#include "win/common/dib.h"

#include <gtest/gtest.h>

namespace zor::win {
namespace {

TEST(DibImage, CreateKeepsAnImageOfTheSameSizeAndMovesLeaveNothingBehind) {
  DibImage image;
  EXPECT_FALSE(image.Create(0, 10));
  EXPECT_FALSE(image.Create(10, -1));
  EXPECT_EQ(image.pixels(), nullptr);

  ASSERT_TRUE(image.Create(4, 3));
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.height(), 3);
  EXPECT_EQ(image.pixels()[11], 0u) << "a new image is black";
  // Drawn through the DC, read through the pixels: the section is selected.
  SetPixel(image.dc(), 3, 2, RGB(0x12, 0x34, 0x56));
  GdiFlush();
  EXPECT_EQ(image.pixels()[2 * 4 + 3] & 0xFFFFFF, 0x123456u) << "0x00RRGGBB, rows from the top";

  std::uint32_t* const before = image.pixels();
  ASSERT_TRUE(image.Create(4, 3));
  EXPECT_EQ(image.pixels(), before) << "the same size is kept, pixels and all";
  EXPECT_FALSE(image.Create(1 << 20, 1 << 20)) << "too large for memory";
  EXPECT_EQ(image.pixels(), before) << "a failed Create keeps the image held";

  DibImage moved(std::move(image));
  EXPECT_EQ(image.pixels(), nullptr);
  EXPECT_EQ(image.dc(), nullptr);
  EXPECT_EQ(moved.pixels(), before);
  moved.Reset();
  EXPECT_EQ(moved.width(), 0);
  ASSERT_TRUE(moved.Create(2, 2));
  EXPECT_EQ(moved.pixels()[3], 0u);
}

}  // namespace
}  // namespace zor::win
