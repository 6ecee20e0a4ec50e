#include "core/screen/picture_orientation.h"

#include <gtest/gtest.h>

#include <vector>

namespace zor {
namespace {

// A 3 × 2 stored picture whose pixels are their own numbers:
//   1 2 3
//   4 5 6
const std::vector<std::uint32_t> kStored{1, 2, 3, 4, 5, 6};

std::vector<std::uint32_t> Upright(Orientation o) {
  const PixelSize size = UprightSize({3, 2}, o);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size.width * size.height));
  OrientPixels(kStored.data(), 3, 2, o, out.data());
  return out;
}

// Faults: any of the eight turned the wrong way (a quarter turn the other
// way round, a mirror missing from 5 and 7), or the sides not swapped.
TEST(PictureOrientation, EachOfTheEightStandsUpright) {
  using V = std::vector<std::uint32_t>;
  EXPECT_EQ(Upright(Orientation::kUpright), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Upright(Orientation::kMirrored), (V{3, 2, 1, 6, 5, 4}));
  EXPECT_EQ(Upright(Orientation::kHalfTurn), (V{6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(Upright(Orientation::kFlipped), (V{4, 5, 6, 1, 2, 3}));
  // 2 × 3 from here on: the stored first row is the upright first column (5),
  // the right column (6, turned clockwise), the right column read upwards
  // (7), the left column read upwards (8).
  EXPECT_EQ(Upright(Orientation::kTransposed), (V{1, 4, 2, 5, 3, 6}));
  EXPECT_EQ(Upright(Orientation::kQuarterRight), (V{4, 1, 5, 2, 6, 3}));
  EXPECT_EQ(Upright(Orientation::kTransverse), (V{6, 3, 5, 2, 4, 1}));
  EXPECT_EQ(Upright(Orientation::kQuarterLeft), (V{3, 6, 2, 5, 1, 4}));
  EXPECT_EQ(UprightSize({3, 2}, Orientation::kQuarterRight), (PixelSize{2, 3}));
  EXPECT_EQ(UprightSize({3, 2}, Orientation::kHalfTurn), (PixelSize{3, 2}));
}

// Fault: a tag value outside 1..8 (a broken or hostile file) used as an
// orientation.
TEST(PictureOrientation, GarbageTagsAreUpright) {
  for (const std::uint32_t v : {0u, 9u, 255u, 0xFFFFu, 0xFFFFFFFFu}) {
    EXPECT_EQ(OrientationFromTag(v), Orientation::kUpright) << v;
  }
  EXPECT_EQ(OrientationFromTag(6), Orientation::kQuarterRight);
}

// Fault: the stored part read for an upright part (a picture at its own size
// larger than the screen) off by the turn, so the wrong corner is shown.
TEST(PictureOrientation, StoredRectOfAnUprightPart) {
  const PixelSize stored{3, 2};
  for (int o = 1; o <= 8; ++o) {
    const Orientation orientation = OrientationFromTag(static_cast<std::uint32_t>(o));
    const PixelSize up = UprightSize(stored, orientation);
    const std::vector<std::uint32_t> whole = Upright(orientation);
    // Each single upright pixel comes from the stored pixel the rect names.
    for (int y = 0; y < up.height; ++y) {
      for (int x = 0; x < up.width; ++x) {
        const PixelRect r = StoredRect({x, y, x + 1, y + 1}, stored, orientation);
        ASSERT_EQ(r.width(), 1);
        ASSERT_EQ(r.height(), 1);
        EXPECT_EQ(kStored[static_cast<std::size_t>(r.top * 3 + r.left)],
                  whole[static_cast<std::size_t>(y * up.width + x)])
            << "orientation " << o << " at " << x << "," << y;
      }
    }
    const PixelRect all = StoredRect({0, 0, up.width, up.height}, stored, orientation);
    EXPECT_EQ(all, (PixelRect{0, 0, 3, 2})) << o;
  }
  EXPECT_EQ(StoredRect({0, 0, 0, 5}, stored, Orientation::kQuarterLeft), PixelRect{}) << "an empty part";
}

// Fault: the blocked copy of a quarter turn dropping or repeating pixels at
// block edges of a picture larger than one block.
TEST(PictureOrientation, LargePicturesTurnWhole) {
  const int w = 130, h = 67;
  std::vector<std::uint32_t> stored(static_cast<std::size_t>(w * h));
  for (std::size_t i = 0; i < stored.size(); ++i) stored[i] = static_cast<std::uint32_t>(i);
  std::vector<std::uint32_t> out(stored.size(), 0xFFFFFFFFu);
  OrientPixels(stored.data(), w, h, Orientation::kQuarterLeft, out.data());
  for (int y = 0; y < w; ++y) {
    for (int x = 0; x < h; ++x) {
      ASSERT_EQ(out[static_cast<std::size_t>(y * h + x)], static_cast<std::uint32_t>(x * w + (w - 1 - y)))
          << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace zor
