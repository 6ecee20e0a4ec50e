#include "core/screen/glyph_rules.h"

#include <gtest/gtest.h>

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

TEST(Outline, EightDirectionsAndNothingElse) {
  const float dx[] = {1, -1, 0, 0, 1, 1, -1, -1};
  const float dy[] = {0, 0, 1, -1, 1, -1, -1, 1};
  for (int d = 0; d < 8; ++d) {
    EXPECT_EQ(OutlineDX(d), dx[d]) << d;
    EXPECT_EQ(OutlineDY(d), dy[d]) << d;
  }
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
