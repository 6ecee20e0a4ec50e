#include "core/screen/glyph_drawing.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/screen/card_inputs.h"
#include "core/screen/glyph_rules.h"
#include "core/screen/recording_surface.h"

namespace zor {
namespace {

constexpr Rgb kBlack = PaletteColour(kPaletteBlack);
constexpr Rgb kWhite = PaletteColour(kPaletteWhite);
constexpr Rgb kRed = PaletteColour(12);

struct Printed {
  float x;
  float y;
  Rgb colour;
};

void ExpectPrints(const RecordingSurface& s, const std::vector<Printed>& want) {
  ASSERT_EQ(s.prints.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_FLOAT_EQ(s.prints[i].x, want[i].x) << "print " << i;
    EXPECT_FLOAT_EQ(s.prints[i].y, want[i].y) << "print " << i;
    EXPECT_EQ(s.prints[i].colour, want[i].colour) << "print " << i;
  }
}

// 1024 × 768 pixels at 15 twips per pixel, type 72 pt.
struct Drawing {
  explicit Drawing(std::int16_t decoration, float tpp = 15.0f)
      : surface(1024, 768, tpp, tpp), drawer(surface, decoration, L"IPAMincho", true) {
    EXPECT_TRUE(drawer.SetDrawFont(L"IPAMincho", 72.0f, kKeep, kKeep));
    surface.SetBackColour(kBlack);
    surface.SetForeColour(kWhite);
  }
  RecordingSurface surface;
  GlyphDrawer drawer;
};

TEST(DrawDecorated, PlainAndUnknownDecorationsPrintOnce) {
  for (int mode : {0, 4, -1, 32767}) {
    Drawing d(static_cast<std::int16_t>(mode));
    d.drawer.DrawDecorated(100, 50, L"文字列", 1, true);
    ExpectPrints(d.surface, {{100, 50, kWhite}});
  }
}

TEST(DrawDecorated, ExtraBoldSmearsWholePixelsOfFivePercent) {
  Drawing right(kDecorationExtraBold);
  right.drawer.DrawDecorated(100, 50, L"文字列", 1, true);
  ExpectPrints(right.surface, {{100, 50, kWhite},
                               {100.75f, 50, kWhite},
                               {101.5f, 50, kWhite},
                               {102.25f, 50, kWhite},
                               {103, 50, kWhite},
                               {103.75f, 50, kWhite}});

  for (int leftward : {0, 2}) {
    Drawing left(kDecorationExtraBold);
    left.drawer.DrawDecorated(100, 50, L"文字列", leftward, true);
    ExpectPrints(left.surface, {{96.25f, 50, kWhite},
                                {97, 50, kWhite},
                                {97.75f, 50, kWhite},
                                {98.5f, 50, kWhite},
                                {99.25f, 50, kWhite},
                                {100, 50, kWhite}});
  }

  // 120 dpi: 6 pixels of 0.6 pt.
  Drawing fine(kDecorationExtraBold, 12.0f);
  fine.drawer.DrawDecorated(10, 0, L"字", 1, true);
  ASSERT_EQ(fine.surface.prints.size(), 7u);
  EXPECT_FLOAT_EQ(fine.surface.prints.back().x, 13.6f);

  // 7 pt: 5 % is under half a pixel.
  Drawing tiny(kDecorationExtraBold);
  ASSERT_TRUE(tiny.drawer.SetDrawFont(L"", 7.0f, kKeep, kKeep));
  tiny.drawer.DrawDecorated(10, 20, L"字", 1, true);
  ExpectPrints(tiny.surface, {{10, 20, kWhite}});
}

TEST(DrawDecorated, ShadowIsThePixelCountAppliedAsPoints) {
  Drawing d(kDecorationShadow);
  d.drawer.DrawDecorated(100, 50, L"影", 1, true);
  // Black on a black ground: it shows only over a picture.
  ExpectPrints(d.surface, {{104.8f, 54.8f, kBlack}, {100, 50, kWhite}});
  EXPECT_EQ(d.surface.ForeColour(), kWhite);
}

TEST(DrawDecorated, OutlineOnWhiteGroundIsWhiteThenTheTypeColour) {
  Drawing d(kDecorationOutline);
  d.surface.SetBackColour(kWhite);
  d.surface.SetForeColour(kRed);
  d.drawer.DrawDecorated(100, 50, L"縁", 1, true);
  std::vector<Printed> want;
  for (int dir = 0; dir < 8; ++dir) {
    for (float k : {0.75f, 1.5f}) want.push_back({100 + k * OutlineDX(dir), 50 + k * OutlineDY(dir), kWhite});
  }
  want.push_back({100, 50, kRed});
  ExpectPrints(d.surface, want);
  EXPECT_EQ(d.surface.ForeColour(), kRed);
}

TEST(DrawDecorated, OutlineOnBlackGroundIsBlack) {
  Drawing d(kDecorationOutline);
  d.drawer.DrawDecorated(0, 0, L"縁", 1, true);
  ASSERT_EQ(d.surface.prints.size(), 17u);
  EXPECT_EQ(d.surface.prints[0].colour, kBlack);
  EXPECT_EQ(d.surface.prints[16].colour, kWhite);
}

TEST(DrawDecorated, CentresOneCharacterInItsCell) {
  Drawing d(kDecorationNone);
  d.surface.horizontalEms[L'Ｗ'] = 1.25f;
  d.drawer.DrawDecorated(100, 50, L"a", 1, false);     // half an em: (72 - 36) / 2
  d.drawer.DrawDecorated(100, 50, L"あ", 1, false);    // a full em
  d.drawer.DrawDecorated(100, 50, L"Ｗ", 1, false);    // wider than its cell
  d.drawer.DrawDecorated(100, 50, L"line", 1, false);  // a whole line: as given
  ExpectPrints(d.surface, {{118, 50, kWhite}, {100, 50, kWhite}, {91, 50, kWhite}, {100, 50, kWhite}});
}

TEST(GetDiff, OneAxisPerFaceAndNothingForOtherTexts) {
  RecordingSurface s(1024, 768);
  s.verticalEms[L'ー'] = 0.8f;
  GlyphDrawer d(s, 0, L"IPAMincho", true);
  ASSERT_TRUE(d.SetDrawFont(L"IPAMincho", 72.0f, kKeep, kKeep));
  EXPECT_FLOAT_EQ(d.GetDiffX(L"a"), 18.0f);
  EXPECT_FLOAT_EQ(d.GetDiffY(L"a"), 0.0f);

  ASSERT_TRUE(d.SetDrawFont(L"@IPAMincho", kKeep, kKeep, kKeep));
  EXPECT_FLOAT_EQ(d.GetDiffX(L"ー"), 0.0f);
  EXPECT_FLOAT_EQ(d.GetDiffY(L"ー"), 7.2f);

  const std::size_t captions = s.captions.size();
  EXPECT_EQ(d.GetDiffX(L""), 0.0f);
  EXPECT_EQ(d.GetDiffY(L"ーー"), 0.0f);
  EXPECT_EQ(s.captions.size(), captions) << "the label is left alone";
}

TEST(GetDiff, OneMeasureForEachDecoratedCharacter) {
  RecordingSurface s(1024, 768);
  GlyphDrawer d(s, 0, L"IPAMincho", true);
  ASSERT_TRUE(d.SetDrawFont(L"IPAMincho", 72.0f, kKeep, kKeep));
  const std::size_t before = s.captions.size();
  d.DrawDecorated(100, 50, L"あ", 1, false);
  EXPECT_EQ(s.captions.size(), before + 1) << "the upright face: across only";
  ASSERT_TRUE(d.SetDrawFont(L"@IPAMincho", kKeep, kKeep, kKeep));
  d.DrawDecorated(100, 50, L"あ", 1, false);
  EXPECT_EQ(s.captions.size(), before + 2) << "the vertical face: down only";
  d.DrawDecorated(100, 50, L"あ", 1, true);
  EXPECT_EQ(s.captions.size(), before + 2) << "no centring, no measure";
}

TEST(GetDiff, UsesTheSizeThePlatformGave) {
  RecordingSurface s(1024, 768);
  s.sizeStep = 0.75f;
  GlyphDrawer d(s, 0, L"IPAMincho", true);
  ASSERT_TRUE(d.SetDrawFont(L"IPAMincho", 10.0f, kKeep, kKeep));
  EXPECT_FLOAT_EQ(d.GetDiffX(L"a"), 2.4375f) << "9.75 pt given for 10 pt";
}

TEST(SetDrawFont, KeepRulesOnFormAndLabel) {
  RecordingSurface s(1024, 768);
  GlyphDrawer d(s, 0, L"IPAMincho", false);
  EXPECT_EQ(d.LabelFont().face, L"@ＭＳ Ｐ明朝");
  EXPECT_TRUE(d.LabelFont().bold);
  EXPECT_FLOAT_EQ(d.LabelFont().size, 56.25f);

  ASSERT_TRUE(d.SetDrawFont(L"", 20.0f, kKeep, kKeep));
  EXPECT_EQ(d.FormFont(), (FontSpec{L"IPAMincho", 20.0f, false, false, 0}));
  EXPECT_EQ(d.LabelFont(), (FontSpec{L"@ＭＳ Ｐ明朝", 20.0f, true, false, 0})) << "the label keeps measuring in bold";
  EXPECT_EQ(s.SelectedFont(), d.FormFont());

  ASSERT_TRUE(d.SetDrawFont(L"IPAGothic", kKeep, kKeep, -1));
  EXPECT_EQ(d.FormFont(), (FontSpec{L"IPAGothic", 20.0f, false, true, 0}));
  EXPECT_EQ(d.LabelFont(), (FontSpec{L"IPAGothic", 20.0f, true, true, 0}));

  ASSERT_TRUE(d.SetDrawFont(L"", kKeep, 0, 0));
  EXPECT_FALSE(d.LabelFont().bold);
  EXPECT_FALSE(d.FormFont().italic);
  EXPECT_TRUE(s.reportedMessages.empty());
}

TEST(SetDrawFont, MissingFaceIsReportedAndChangesNothing) {
  for (const std::wstring missing : {L"ＭＳ 明朝", L"@ＭＳ 明朝"}) {
    RecordingSurface s(1024, 768);
    s.missingFaces = {missing};
    GlyphDrawer d(s, 0, L"IPAMincho", true);
    EXPECT_FALSE(d.SetDrawFont(missing, 30.0f, kKeep, kKeep));
    ASSERT_EQ(s.reportedMessages.size(), 1u);
    EXPECT_EQ(s.reportedMessages[0], kMissingFaceMessage);
    EXPECT_EQ(d.FormFont().face, L"IPAMincho");
    EXPECT_FLOAT_EQ(d.FormFont().size, 10.0f);
  }
}

TEST(RotatedFont, EscapementIsTenthsModuloAFullTurn) {
  EXPECT_EQ(EscapementTenths(270), 2700);
  EXPECT_EQ(EscapementTenths(360), 0);
  EXPECT_EQ(EscapementTenths(-90), -900);
  EXPECT_EQ(EscapementTenths(0), 0);
  EXPECT_EQ(EscapementTenths(630), 2700);
  EXPECT_EQ(EscapementTenths(-450), -900);
  EXPECT_EQ(EscapementTenths(12.34f), 123);

  RecordingSurface s(1024, 768);
  GlyphDrawer d(s, 0, L"IPAMincho", true);
  ASSERT_TRUE(d.SetDrawFont(L"@IPAMincho", 40.0f, kKeep, kKeep));
  {
    const RotatedFont turned(d, 270);
    EXPECT_EQ(s.SelectedFont().escapement, 2700);
    EXPECT_EQ(s.SelectedFont().face, L"@IPAMincho");
  }
  EXPECT_EQ(s.SelectedFont(), d.FormFont());
}

TEST(Stopwatch, WaitsOnlyTheRemainderThroughTheClock) {
  ManualClock clock;
  Stopwatch sw(clock);
  sw.Start();
  clock.Advance(600);
  sw.WaitSince(500);
  EXPECT_TRUE(clock.waits.empty());

  sw.Start();
  const std::int32_t start = clock.TickCount();
  clock.Advance(100);
  sw.WaitSince(500);
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{400}));
  EXPECT_EQ(clock.TickCount() - start, 500);
}

TEST(Stopwatch, EarlyReturnsFromTheWaitAreWaitedAgain) {
  ManualClock clock;
  clock.waitStep = 150;
  Stopwatch sw(clock);
  sw.Start();
  const std::int32_t start = clock.TickCount();
  clock.Advance(100);
  sw.WaitSince(500);
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{400, 250, 100}));
  EXPECT_EQ(clock.TickCount() - start, 500);
}

TEST(Stopwatch, TickCountWrapAndReset) {
  ManualClock wrapping(INT_MAX - 50);
  Stopwatch across(wrapping);
  across.Start();
  wrapping.Advance(100);
  across.WaitSince(500);
  EXPECT_EQ(wrapping.waits, (std::vector<std::int32_t>{400})) << "the wrap of the count is not a reset";

  ManualClock reset(5000);
  Stopwatch ahead(reset);
  ahead.Start();
  reset.Advance(-3000);
  ahead.WaitSince(500);
  EXPECT_TRUE(reset.waits.empty()) << "a start in the future returns at once";
}

}  // namespace
}  // namespace zor
