#include "core/screen/glyph_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "core/screen/palette.h"

namespace zor {
namespace {

TEST(RoundOff, ByTheFirstDecimalHalvesAwayFromZero) {
  EXPECT_EQ(RoundOff(4.8f), 5.0f);
  EXPECT_EQ(RoundOff(4.45f), 4.0f);
  EXPECT_EQ(RoundOff(0.5f), 1.0f);
  EXPECT_EQ(RoundOff(-2.5f), -3.0f);
  EXPECT_EQ(RoundOff(-2.4f), -2.0f);
  EXPECT_EQ(RoundOff(0.0f), 0.0f);
  EXPECT_EQ(RoundOff(0.49f), 0.0f) << "5 % of a tiny font: no smear";
  EXPECT_EQ(RoundOff(3.6f), 4.0f);
}

// The eight neighbours of a pixel, each once: the four beside it first, then
// the four corners.
TEST(Outline, EightDirectionsAndNothingElse) {
  std::set<std::pair<float, float>> seen;
  for (int d = 0; d < 8; ++d) {
    const float x = OutlineDX(d);
    const float y = OutlineDY(d);
    EXPECT_TRUE(x == -1.0f || x == 0.0f || x == 1.0f) << d;
    EXPECT_TRUE(y == -1.0f || y == 0.0f || y == 1.0f) << d;
    EXPECT_EQ(std::abs(x) + std::abs(y), d < 4 ? 1.0f : 2.0f) << d;
    seen.insert({x, y});
  }
  EXPECT_EQ(seen.size(), 8u);
  EXPECT_EQ(OutlineDX(8), 0.0f);
  EXPECT_EQ(OutlineDY(-1), 0.0f);
}

TEST(IsFoldSensitive, TheTwentySevenAndNothingElse) {
  const std::wstring all = L"ぁぃぅぇぉっゃゅょァィゥェォッャュョ、。～ー…「」・－";
  ASSERT_EQ(all.size(), 27u);
  for (wchar_t c : all) EXPECT_TRUE(IsFoldSensitive(std::wstring(1, c))) << static_cast<int>(c);
  EXPECT_FALSE(IsFoldSensitive(L"や"));
  EXPECT_FALSE(IsFoldSensitive(L"ゃゃ"));
  EXPECT_FALSE(IsFoldSensitive(L""));
  EXPECT_FALSE(IsFoldSensitive(L"\u301C")) << "wave dash is not the full-width tilde";
  EXPECT_FALSE(IsFoldSensitive(L"-"));
}

TEST(Palette, EmphasisColourAndValues) {
  EXPECT_EQ(NormaliseEmphasisColour(1), 1);
  EXPECT_EQ(NormaliseEmphasisColour(14), 14);
  EXPECT_EQ(NormaliseEmphasisColour(0), 12);
  EXPECT_EQ(NormaliseEmphasisColour(15), 12);
  EXPECT_EQ(NormaliseEmphasisColour(-1), 12);
  EXPECT_EQ(NormaliseEmphasisColour(32767), 12);
  EXPECT_EQ(PaletteColour(12), (Rgb{255, 0, 0}));
  EXPECT_EQ(PaletteColour(7), (Rgb{192, 192, 192}));
  EXPECT_EQ(PaletteColour(15), (Rgb{255, 255, 255}));
}

TEST(PixelsToPoints, TwipsPerPixel) {
  EXPECT_FLOAT_EQ(PixelsToPoints(1024, 15), 768.0f);
  EXPECT_FLOAT_EQ(PixelsToPoints(20, 12), 12.0f);
}

}  // namespace
}  // namespace zor
