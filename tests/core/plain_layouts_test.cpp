#include "core/screen/plain_layouts.h"

#include <gtest/gtest.h>

#include "title_card_fixture.h"

namespace zor {
namespace {

using card_test::Bands;
using card_test::CardBench;

constexpr Rgb kBlack = PaletteColour(kPaletteBlack);
constexpr Rgb kWhite = PaletteColour(kPaletteWhite);

std::wstring Repeat(std::wstring_view unit, int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

using Layout = PageResult (*)(CardContext&, const CardRequest&, bool&);

// Seven ems at 10 pt: 70 pt wide, one line.
const std::wstring kSevenEms = L"今日は良い日ab";

TEST(PlainLayouts, WorkedExample) {
  struct Case {
    Layout layout;
    float x;
    float y;
  };
  for (const Case& c :
       {Case{ZOR00b2, 15.36f, 496.08f}, Case{ZOR01b2, 273.84f, 11.52f}, Case{DrawCentred, 144.6f, 253.8f}}) {
    CardBench bench;
    bool invert = false;
    ASSERT_EQ(c.layout(bench.context, {kSevenEms, {}, {}, false}, invert), PageResult::kDrawn);
    ASSERT_EQ(bench.surface.prints.size(), 1u);
    const RecordedPrint& p = bench.surface.prints[0];
    EXPECT_FLOAT_EQ(p.x, c.x);
    EXPECT_FLOAT_EQ(p.y, c.y);
    EXPECT_EQ(p.text, kSevenEms);
    EXPECT_EQ(p.colour, kWhite);
    EXPECT_EQ(p.font, (FontSpec{L"IPAMincho", 68.4f, true, false, 0}));
  }
}

// On the settings' small preview screen (152 × 112 pixels) type of a few
// pixels is wider than the size scaled from 10 pt: a long line would leave
// the screen, and is made smaller until it fits.
TEST(PlainLayouts, ALineTooWideAtItsSmallSizeShrinksUntilItStaysOnTheScreen) {
  const std::wstring line = L"Rome was not built in a day, nor in two.";  // 40 bytes: one line
  const float linear = 10.0f / (40 * 5.0f) * 0.95f * 114.0f;
  for (Layout layout : {ZOR00b2, ZOR01b2, DrawCentred}) {
    CardBench bench(152, 112);
    bench.surface.extraPerCharacter = 0.75f;  // a pixel each
    bool invert = false;
    ASSERT_EQ(layout(bench.context, {line, {}, {}, false}, invert), PageResult::kDrawn);
    ASSERT_EQ(bench.surface.prints.size(), 1u);
    const RecordedPrint& p = bench.surface.prints[0];
    const float width = 40 * (0.5f * p.font.size + 0.75f);
    EXPECT_LT(p.font.size, linear);
    EXPECT_GE(p.x, 0.0f);
    EXPECT_LE(p.x + width, 114.0f) << "the line ends on the screen";
    EXPECT_GE(width, 0.9f * 114.0f) << "and still fills most of its width";
  }
}

TEST(PlainLayouts, ForeignTextIsCappedAtAnEighthOfTheUsableHeight) {
  CardBench bench;
  bool invert = false;
  ASSERT_EQ(ZOR00b2(bench.context, {L"a", {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_FLOAT_EQ(bench.surface.prints.at(0).font.size, 68.4f);
}

TEST(PlainLayouts, TwoLinesShareXAndPitch) {
  // 60 bytes fold after 42: 21 characters, then the rest.
  const std::wstring text = Repeat(L"あ", 29) + L"ab";
  const float size = 10.0f / 210.0f * 729.6f;
  struct Case {
    Layout layout;
    float x;
    float y1;
  };
  for (const Case& c : {Case{ZOR00b2, 15.36f, 564.48f - 2 * size}, Case{ZOR01b2, 752.64f - 21 * size, 11.52f},
                        Case{DrawCentred, (768 - 21 * size) / 2, (576 - 2 * size) / 2}}) {
    CardBench bench;
    bool invert = true;
    ASSERT_EQ(c.layout(bench.context, {text, {}, {}, false}, invert), PageResult::kDrawn);
    ASSERT_EQ(bench.surface.prints.size(), 2u);
    EXPECT_EQ(bench.surface.prints[0].text, Repeat(L"あ", 21));
    EXPECT_EQ(bench.surface.prints[1].text, Repeat(L"あ", 8) + L"ab");
    // Near: the width subtracted here comes from a different order of float steps.
    EXPECT_NEAR(bench.surface.prints[0].x, c.x, 1e-3f);
    EXPECT_NEAR(bench.surface.prints[1].x, c.x, 1e-3f);
    EXPECT_NEAR(bench.surface.prints[0].y, c.y1, 1e-3f);
    EXPECT_NEAR(bench.surface.prints[1].y, c.y1 + size, 1e-3f);
    EXPECT_EQ(bench.surface.prints[1].colour, kBlack);
  }
}

TEST(PlainLayouts, FortyOneBytesAreLaidOutForTwoLines) {
  const float size = 10.0f / 205.0f * 729.6f;
  CardBench bottom;
  bool invert = false;
  ASSERT_EQ(ZOR00b2(bottom.context, {Repeat(L"a", 41), {}, {}, false}, invert), PageResult::kDrawn);
  ASSERT_EQ(bottom.surface.prints.size(), 1u) << "the empty second line prints nothing";
  EXPECT_FLOAT_EQ(bottom.surface.prints[0].y, 564.48f - 2 * size);

  CardBench centre;
  ASSERT_EQ(DrawCentred(centre.context, {Repeat(L"a", 41), {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_FLOAT_EQ(centre.surface.prints.at(0).y, (576 - 2 * size) / 2);

  CardBench one;
  ASSERT_EQ(ZOR00b2(one.context, {Repeat(L"a", 40), {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_FLOAT_EQ(one.surface.prints.at(0).y, 564.48f - 36.48f) << "40 bytes stay on one line";
}

TEST(SplitPlainLines, AtTheFoldByte) {
  EXPECT_EQ(SplitPlainLines(Repeat(L"a", 40)).count, 1);
  const PlainLines empty = SplitPlainLines(Repeat(L"a", 41));
  EXPECT_EQ(empty.count, 2);
  EXPECT_EQ(empty.first, Repeat(L"a", 41));
  EXPECT_EQ(empty.second, L"");

  std::wstring spaced = Repeat(L"a", 100);
  spaced[44] = L' ';
  spaced[59] = L' ';
  const PlainLines atSpace = SplitPlainLines(spaced);
  EXPECT_EQ(atSpace.first, spaced.substr(0, 60));
  EXPECT_EQ(atSpace.second, spaced.substr(60));
}

TEST(PlainLayouts, CornerBandIsTheTextBlock) {
  const float size = 10.0f / 210.0f * 729.6f;
  CardBench bench;
  bench.pictures.corner = true;
  bool invert = false;
  ASSERT_EQ(ZOR01b2(bench.context, {Repeat(L"あ", 29) + L"ab", {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_EQ(bench.surface.Count(Bands(TextPlace::kTopRight, 2 * size, 0)), 1);
}

TEST(PlainLayouts, ExtraBoldGoesLeftAlsoTopRight) {
  CardBench bench(1024, 768, kDecorationExtraBold);
  bool invert = false;
  ASSERT_EQ(ZOR01b2(bench.context, {kSevenEms, {}, {}, false}, invert), PageResult::kDrawn);
  ASSERT_EQ(bench.surface.prints.size(), 6u) << "5 % of 68.4 pt is 4.56 pixels";
  EXPECT_FLOAT_EQ(bench.surface.prints.front().x, 273.84f - 3.75f);
  EXPECT_FLOAT_EQ(bench.surface.prints.back().x, 273.84f);
}

TEST(PlainLayouts, WaitsHalfASecondUnlessTestDisplay) {
  CardBench normal;
  bool invert = false;
  normal.clock.Advance(50);
  ASSERT_EQ(DrawCentred(normal.context, {kSevenEms, {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_EQ(normal.clock.waits, (std::vector<std::int32_t>{500}));

  CardBench test;
  ASSERT_EQ(DrawCentred(test.context, {kSevenEms, {}, {}, true}, invert), PageResult::kDrawn);
  EXPECT_TRUE(test.clock.waits.empty());
}

TEST(PlainLayouts, ColourFollowsTheSettledGround) {
  CardBench bench;
  bench.background.backgroundMode = 1;
  bench.state.displayTick = 1;
  bench.surface.SetBackColour(kWhite);
  bool invert = false;
  ASSERT_EQ(ZOR00b2(bench.context, {kSevenEms, {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_TRUE(invert) << "the ground of the repeated background";
  EXPECT_EQ(bench.surface.prints.at(0).colour, kBlack);
  EXPECT_EQ(bench.surface.creditColour, kBlack);
  EXPECT_FLOAT_EQ(bench.surface.creditTop, 0.0f);
}

TEST(PlainLayouts, MissingFaceStopsBeforeAnyText) {
  CardBench bench;
  bench.surface.missingFaces = {L"IPAMincho"};
  bool invert = false;
  EXPECT_EQ(ZOR00b2(bench.context, {kSevenEms, {}, {}, false}, invert), PageResult::kMissingFace);
  EXPECT_TRUE(bench.surface.prints.empty());
  EXPECT_EQ(bench.surface.reportedMessages.size(), 1u);
}

TEST(PlainLayouts, EmptyTextShowsTheGroundOnly) {
  CardBench bench;
  bench.pictures.corner = true;
  bool invert = true;
  ASSERT_EQ(DrawCentred(bench.context, {L"", {}, {}, false}, invert), PageResult::kDrawn);
  EXPECT_TRUE(bench.surface.prints.empty());
  EXPECT_EQ(bench.surface.Count(Bands(TextPlace::kCentre, 0, 0)), 1);
  EXPECT_EQ(bench.surface.creditPlacements, 1);
}

}  // namespace
}  // namespace zor
