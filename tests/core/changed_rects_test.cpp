#include "core/screen/changed_rects.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/screen/points_and_pixels.h"

namespace zor {
namespace {

std::vector<PixelRect> Listed(const ChangedRects& rects) { return {rects.Rects().begin(), rects.Rects().end()}; }

// Catches a rectangle handed on past the image's edge (a blit or fill
// outside the image) and an empty one kept.
TEST(ChangedRects, ClipsToTheImageAndDropsWhatLiesOutside) {
  ChangedRects rects(100, 50, 12, ChangedRects::Joining::kMerge);
  EXPECT_EQ(rects.Add({-10, -5, 20, 10}), (PixelRect{0, 0, 20, 10}));
  EXPECT_TRUE(IsEmpty(rects.Add({100, 0, 120, 10}))) << "right of the image";
  EXPECT_TRUE(IsEmpty(rects.Add({30, 30, 30, 40}))) << "no width";
  EXPECT_EQ(Listed(rects), (std::vector<PixelRect>{{0, 0, 20, 10}}));
  EXPECT_EQ(rects.Add({-1, -1, 101, 51}), rects.All());
  EXPECT_TRUE(rects.CoversAll());
}

// Catches merging that loses or duplicates area: what is inside a kept
// rectangle adds nothing, neighbours in a run join into one band, and
// rectangles far apart stay apart (their union would waste most of it).
TEST(ChangedRects, MergesNeighboursAndKeepsDistantOnesApart) {
  ChangedRects rects(640, 480, 12, ChangedRects::Joining::kMerge);
  for (int i = 0; i < 8; ++i) rects.Add({300, i * 20, 320, i * 20 + 22});
  EXPECT_EQ(Listed(rects), (std::vector<PixelRect>{{300, 0, 320, 162}})) << "a column of glyphs";
  rects.Add({305, 10, 315, 30});
  EXPECT_EQ(rects.size(), 1u) << "inside the band";
  rects.Add({0, 400, 10, 410});
  rects.Add({600, 0, 610, 10});
  EXPECT_EQ(rects.size(), 3u);
  // Two apart that a third joins: the merge goes round again.
  ChangedRects joined(640, 480, 12, ChangedRects::Joining::kMerge);
  joined.Add({0, 0, 10, 10});
  joined.Add({20, 0, 30, 10});
  EXPECT_EQ(joined.size(), 2u);
  joined.Add({5, 0, 25, 10});
  EXPECT_EQ(Listed(joined), (std::vector<PixelRect>{{0, 0, 30, 10}}));
}

// Catches a list that grows without bound, or a cap that drops area.
TEST(ChangedRects, PastTheCapBecomeTheirUnion) {
  ChangedRects merged(640, 480, 3, ChangedRects::Joining::kMerge);
  for (int i = 0; i < 4; ++i) merged.Add({i * 100, i * 100, i * 100 + 5, i * 100 + 5});
  EXPECT_EQ(Listed(merged), (std::vector<PixelRect>{{0, 0, 305, 305}}));
  ChangedRects appended(640, 480, 3, ChangedRects::Joining::kAppend);
  appended.Add({0, 0, 10, 10});
  appended.Add({0, 0, 10, 10});
  EXPECT_EQ(appended.size(), 2u) << "appending keeps repeats";
  appended.Add({50, 50, 60, 60});
  appended.Add({600, 0, 610, 5});
  EXPECT_EQ(Listed(appended), (std::vector<PixelRect>{{0, 0, 610, 60}}));
  EXPECT_TRUE(appended.Meets({605, 55, 700, 70}));
  EXPECT_FALSE(appended.Meets({610, 0, 640, 60})) << "right edges are exclusive";
  appended.clear();
  EXPECT_FALSE(appended.Meets({0, 0, 640, 480}));
}

// Catches a rounding that differs left of or above the image: positions
// there round away from zero exactly as those on it.
TEST(PointsAndPixels, RoundHalvesAwayFromZeroOnBothSides) {
  EXPECT_EQ(PointsToPixels(7.5f, 15.0f), 10);
  EXPECT_EQ(PointsToPixels(0.375f, 15.0f), 1) << "half a pixel";
  EXPECT_EQ(PointsToPixels(-0.375f, 15.0f), -1) << "half a pixel left of the image";
  EXPECT_EQ(PointsToPixels(-0.3f, 15.0f), 0);
  EXPECT_EQ(PointsToPixels(10.0f, 12.0f), 17) << "125 dots per inch";
  EXPECT_FLOAT_EQ(PixelsToPoints(800.0f, 15.0f), 600.0f);
}

}  // namespace
}  // namespace zor
