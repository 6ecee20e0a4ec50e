#include "core/screen/composers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "title_card_fixture.h"

namespace zor {
namespace {

using card_test::Bands;
using card_test::CardBench;

constexpr Rgb kBlack = PaletteColour(kPaletteBlack);
constexpr Rgb kWhite = PaletteColour(kPaletteWhite);
constexpr float kTol = 1e-3f;

std::wstring Repeat(std::wstring_view unit, int n) {
  std::wstring s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

CardRequest Request(std::wstring text, CurrentFormat format = {}, EmphasisOptions emphasis = {}) {
  return {std::move(text), std::move(format), emphasis, false};
}

float Shrunk(float size, int steps) { return size * static_cast<float>(std::pow(0.95, steps)); }

// 1000 × 600 points: usable 950 × 570, six characters folded at the third.
TEST(StoredFoldSizes, KindsOnTheBottomLeft) {
  struct Case {
    char kind;
    int shrinks;
    float big1;  // size1 / base
    float big2;
    bool cornerInFirst;
  };
  for (const Case& c : {Case{' ', 0, 1, 1, true}, Case{'A', 8, 1.5f, 1, true}, Case{'B', 4, 1, 1.5f, false},
                        Case{'C', 2, 1, 1.5f, true}, Case{'D', 6, 1.5f, 1, false}}) {
    const LSizes s = StoredFoldSizes(LShape::kBottomLeft, 950, 570, 6, 3, c.kind);
    const float base = Shrunk(190, c.shrinks);
    EXPECT_NEAR(s.size1, c.big1 * base, kTol) << c.kind;
    EXPECT_NEAR(s.size2, c.big2 * base, kTol) << c.kind;
    EXPECT_EQ(s.fold, 3);
    EXPECT_EQ(s.cornerInFirst, c.cornerInFirst) << c.kind;
    // The column fits the height and the row the width.
    const float corner = s.cornerInFirst ? s.size1 : s.size2;
    EXPECT_LE(2 * s.size1 + corner, 570.0f) << c.kind;
    EXPECT_LE(corner + 3 * s.size2, 950.0f) << c.kind;
  }
}

TEST(StoredFoldSizes, TopRightSwapsTheDirectionsAndShortMessagesAreFixed) {
  const LSizes tr = StoredFoldSizes(LShape::kTopRight, 950, 570, 6, 3, ' ');
  EXPECT_FLOAT_EQ(tr.size1, 142.5f) << "the column of four cells sets the size";

  const LSizes one = StoredFoldSizes(LShape::kBottomLeft, 950, 570, 1, 1, 'A');
  EXPECT_FLOAT_EQ(one.size1, 0.66f * 570);
  EXPECT_FLOAT_EQ(one.size2, 0.66f * 570);
  const LSizes two = StoredFoldSizes(LShape::kTopRight, 950, 570, 2, 2, 'B');
  EXPECT_FLOAT_EQ(two.size1, 285.0f);
  EXPECT_FLOAT_EQ(two.size2, 285.0f);
  EXPECT_EQ(two.fold, 2);
  EXPECT_FALSE(two.cornerInFirst);
}

std::vector<std::wstring> Chars(std::wstring_view text) { return SplitCharacters(text); }

// 1024 × 768 pixels: usable 729.6 × 547.2 points.
TEST(AutomaticFoldSizes, Table) {
  struct Case {
    LShape shape;
    const wchar_t* text;
    int fold;
    float size;
  };
  const float h = 0.95f * 576;
  const Case cases[] = {
      {LShape::kBottomLeft, L"一二三四五六七八九十", 5, 104.75564f},
      {LShape::kTopRight, L"一二三四五六七八九十", 6, 104.75564f},
      // A fold-sensitive corner with more than two cells after it moves the fold.
      {LShape::kBottomLeft, L"一二三四ー六七八九十", 6, 89.81486f},
      {LShape::kTopRight, L"一二三四五ー七八九十", 5, 89.81486f},
      {LShape::kBottomLeft, L"字", 1, 0.66f * h},
      {LShape::kBottomLeft, L"日本", 1, h / 2},
      {LShape::kTopRight, L"日本", 1, h / 2},
      {LShape::kBottomLeft, L"はい。", 1, h / 3},
      {LShape::kTopRight, L"はい。", 1, h / 3},
  };
  for (const Case& c : cases) {
    const LSizes s = AutomaticFoldSizes(c.shape, 0.95f * 768, h, Chars(c.text));
    EXPECT_EQ(s.fold, c.fold) << static_cast<int>(c.shape) << " " << ::testing::PrintToString(std::wstring(c.text));
    EXPECT_NEAR(s.size1, c.size, kTol);
    EXPECT_EQ(s.size1, s.size2);
    EXPECT_TRUE(s.cornerInFirst);
  }
}

TEST(AutomaticFoldSizes, TallScreenKeepsTheFoldWithinTheMessage) {
  // 200 × 1600 points: after shrinking to fit the width eight cells would
  // fit down the edge, more than the three characters.
  const float w = 0.95f * 200;
  const float h = 0.95f * 1600;
  const LSizes bl = AutomaticFoldSizes(LShape::kBottomLeft, w, h, Chars(L"日本語"));
  EXPECT_EQ(bl.fold, 3) << "the whole message down the column, corner at the bottom";
  EXPECT_LE(bl.size1, w);
  const LSizes tr = AutomaticFoldSizes(LShape::kTopRight, w, h, Chars(L"日本語"));
  EXPECT_EQ(tr.fold, 1) << "never below the first character";
  EXPECT_LE(tr.size1, w);
}

TEST(LSizesFor, StoredFoldOnlyWithinTheMessage) {
  CurrentFormat format;
  format.foldPosition = 3;
  format.foldKind = 'A';
  EXPECT_FLOAT_EQ(LSizesFor(LShape::kBottomLeft, 950, 570, Chars(L"一二三四五六"), format).size1,
                  1.5f * Shrunk(190, 8));
  format.foldPosition = 9;
  const LSizes beyond = LSizesFor(LShape::kBottomLeft, 950, 570, Chars(L"一二三四五六"), format);
  EXPECT_EQ(beyond.size1, beyond.size2) << "a fold past the end is automatic";
}

struct Place {
  int index;
  float x;
  float y;
  float size;
  bool turned;
};

void ExpectPlaces(const std::vector<GlyphPlace>& got, const std::vector<Place>& want, const char* name) {
  ASSERT_EQ(got.size(), want.size()) << name;
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].index, want[i].index) << name << " " << i;
    EXPECT_FLOAT_EQ(got[i].x, want[i].x) << name << " " << i;
    EXPECT_FLOAT_EQ(got[i].y, want[i].y) << name << " " << i;
    EXPECT_FLOAT_EQ(got[i].size, want[i].size) << name << " " << i;
    EXPECT_EQ(got[i].turned, want[i].turned) << name << " " << i;
  }
}

// 1000 × 600 points: margins at x 20 / 980 and y 12 / 588.
TEST(PlaceL, CornerInEitherPart) {
  const auto five = Chars(L"一二三四五");
  ExpectPlaces(PlaceL(LShape::kBottomLeft, five, {150, 100, 3, true}, 1000, 600),
               {{1, 170, 138, 150, true},
                {2, 170, 288, 150, true},
                {3, 170, 438, 150, true},
                {4, 170, 488, 100, false},
                {5, 270, 488, 100, false}},
               "bottom-left, corner first");
  ExpectPlaces(PlaceL(LShape::kBottomLeft, five, {100, 150, 3, false}, 1000, 600),
               {{1, 120, 238, 100, true},
                {2, 120, 338, 100, true},
                {3, 20, 438, 150, false},
                {4, 170, 438, 150, false},
                {5, 320, 438, 150, false}},
               "bottom-left, corner second");
  ExpectPlaces(PlaceL(LShape::kTopRight, five, {150, 100, 3, true}, 1000, 600),
               {{1, 530, 12, 150, false},
                {2, 680, 12, 150, false},
                {3, 830, 12, 150, false},
                {4, 980, 162, 100, true},
                {5, 980, 262, 100, true}},
               "top-right, corner first");
  ExpectPlaces(PlaceL(LShape::kTopRight, five, {100, 150, 3, false}, 1000, 600),
               {{1, 630, 12, 100, false},
                {2, 730, 12, 100, false},
                {3, 980, 12, 150, true},
                {4, 980, 162, 150, true},
                {5, 980, 312, 150, true}},
               "top-right, corner second");
}

TEST(PlaceL, ExclamationStandsUprightByItsLeftEdge) {
  const auto bl = PlaceL(LShape::kBottomLeft, Chars(L"一！三四五"), {150, 100, 3, true}, 1000, 600);
  EXPECT_FLOAT_EQ(bl[1].x, 20);
  EXPECT_FALSE(bl[1].turned);
  const auto blCorner = PlaceL(LShape::kBottomLeft, Chars(L"一二！四五"), {150, 100, 3, true}, 1000, 600);
  EXPECT_FLOAT_EQ(blCorner[2].x, 20);
  EXPECT_FALSE(blCorner[2].turned);
  const auto tr = PlaceL(LShape::kTopRight, Chars(L"一二！！五"), {100, 150, 3, false}, 1000, 600);
  EXPECT_FLOAT_EQ(tr[2].x, 830);
  EXPECT_FALSE(tr[2].turned);
  EXPECT_FLOAT_EQ(tr[3].x, 830);
  EXPECT_FALSE(tr[3].turned);
  EXPECT_TRUE(tr[4].turned);
}

TEST(ComposeLBottomLeft, TenCharactersDownAndAlong) {
  CardBench bench;
  bool invert = false;
  ASSERT_EQ(ComposeLBottomLeft(bench.context, Request(L"一二三四五六七八九十"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 10u);
  const float s = p[0].font.size;
  EXPECT_NEAR(s, 104.75564f, kTol);
  for (int k = 1; k <= 5; ++k) {
    const RecordedPrint& g = p[static_cast<std::size_t>(k - 1)];
    EXPECT_FLOAT_EQ(g.x, 15.36f + s) << k;
    EXPECT_NEAR(g.y, 564.48f - static_cast<float>(6 - k) * s, kTol) << k;
    EXPECT_EQ(g.font, (FontSpec{L"@IPAMincho", s, true, false, 2700})) << k;
  }
  for (int k = 6; k <= 10; ++k) {
    const RecordedPrint& g = p[static_cast<std::size_t>(k - 1)];
    EXPECT_NEAR(g.x, 15.36f + static_cast<float>(k - 5) * s, kTol) << k;
    EXPECT_NEAR(g.y, 564.48f - s, kTol) << k;
    EXPECT_EQ(g.font, (FontSpec{L"IPAMincho", s, true, false, 0})) << k;
    EXPECT_EQ(g.colour, kWhite);
  }
  // One switch per run (face, then turned copy), and the form's font at the end.
  EXPECT_EQ(bench.surface.fontsSelected.size(), 5u);
  EXPECT_EQ(bench.surface.SelectedFont().escapement, 0);
  EXPECT_FLOAT_EQ(bench.surface.creditLeft, 768 - bench.surface.creditLabel.width);
  EXPECT_FLOAT_EQ(bench.surface.creditTop, 0);
}

TEST(ComposeLBottomLeft, ExclamationSwitchesFontsOnlyAtAChangeOfKind) {
  CardBench bench;
  bool invert = true;
  ASSERT_EQ(ComposeLBottomLeft(bench.context, Request(L"一二！！五六七八九十"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[2].font.face, L"IPAMincho");
  EXPECT_TRUE(p[2].font.italic);
  EXPECT_EQ(p[2].font.escapement, 0);
  EXPECT_FLOAT_EQ(p[2].x, 15.36f);
  EXPECT_FALSE(p[4].font.italic);
  EXPECT_EQ(p[4].font.escapement, 2700);
  EXPECT_EQ(p[9].colour, kBlack);
  // Runs: turned, upright italic (two characters), turned, upright.
  EXPECT_EQ(bench.surface.fontsSelected.size(), 4u * 2 + 1);
}

TEST(ComposeLBottomLeft, TurnedCharactersAreCentredAlongTheColumn) {
  CardBench bench;
  bench.surface.verticalEms[L'ー'] = 0.5f;
  bool invert = false;
  ASSERT_EQ(ComposeLBottomLeft(bench.context, Request(L"一ー三四五六七八九十"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  const float s = p[0].font.size;
  EXPECT_NEAR(p[1].y, 564.48f - 4 * s + s / 4, kTol);
  EXPECT_FLOAT_EQ(p[1].x, p[0].x);
}

TEST(ComposeLTopRight, TwoCharactersGoDownTheRightEdge) {
  CardBench bench;
  bench.pictures.corner = true;
  bool invert = false;
  ASSERT_EQ(ComposeLTopRight(bench.context, Request(L"日本"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 2u);
  const float s = 0.95f * 576 / 2;
  EXPECT_FLOAT_EQ(p[0].x, 752.64f - s);
  EXPECT_FLOAT_EQ(p[0].y, 11.52f);
  EXPECT_EQ(p[0].font.escapement, 0);
  EXPECT_FLOAT_EQ(p[1].x, 752.64f);
  EXPECT_FLOAT_EQ(p[1].y, 11.52f + s);
  EXPECT_EQ(p[1].font.face, L"@IPAMincho");
  EXPECT_EQ(bench.surface.Count(Bands(TextPlace::kTopRight, s / 2, s)), 1);
  EXPECT_FLOAT_EQ(bench.surface.creditLeft, 5);
}

TEST(ComposeLBottomLeft, OneCharacterIsTheCornerAlone) {
  CardBench bench;
  bench.pictures.corner = true;
  bool invert = false;
  ASSERT_EQ(ComposeLBottomLeft(bench.context, Request(L"愛"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 1u);
  const float s = 0.66f * (0.95f * 576);
  EXPECT_FLOAT_EQ(p[0].font.size, s);
  EXPECT_FLOAT_EQ(p[0].x, 15.36f + s);
  EXPECT_FLOAT_EQ(p[0].y, 564.48f - s);
  EXPECT_EQ(bench.surface.Count(Bands(TextPlace::kBottomLeft, s / 2, s)), 1);
}

TEST(ComposeCentred, OneRowAcrossTheMiddle) {
  CardBench bench;
  bench.pictures.corner = true;
  bool invert = false;
  ASSERT_EQ(ComposeCentred(bench.context, Request(L"一二三四五"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 5u);
  const float s = 0.8f * (0.95f * 768) / 5;
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(p[i].x, (768 - 5 * s) / 2 + s * static_cast<float>(i), kTol);
    EXPECT_NEAR(p[i].y, (576 - s) / 2, kTol);
    EXPECT_EQ(p[i].font, (FontSpec{L"IPAMincho", s, true, false, 0}));
  }
  EXPECT_EQ(bench.surface.Count(Bands(TextPlace::kCentre, s, s)), 1);
  EXPECT_FLOAT_EQ(CentredSize(729.6f, 547.2f, 1), 0.66f * 547.2f) << "one character: capped by the height";
}

TEST(ComposeCentred, ExtraBoldGoesRight) {
  CardBench bench(1024, 768, kDecorationExtraBold);
  bool invert = false;
  ASSERT_EQ(ComposeCentred(bench.context, Request(L"一"), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_GT(p.size(), 1u);
  EXPECT_GT(p.back().x, p.front().x);
}

TEST(Composers, MarkedEmphasis) {
  CurrentFormat format;
  format.emphasisMode = 'R';
  format.emphasisMarks = " A    A" + std::string(25, ' ');
  struct Case {
    EmphasisOptions emphasis;
    Rgb marked;
  };
  for (const Case& c : {Case{{true, 9}, PaletteColour(9)}, Case{{true, 0}, PaletteColour(12)},
                        Case{{true, 15}, PaletteColour(12)}, Case{{false, 9}, kWhite}}) {
    CardBench bench;
    bool invert = false;
    ASSERT_EQ(ComposeCentred(bench.context, Request(L"一二三四五六七八", format, c.emphasis), invert),
              PageResult::kDrawn);
    const auto& p = bench.surface.prints;
    for (std::size_t i = 0; i < p.size(); ++i) {
      EXPECT_EQ(p[i].colour, i == 1 || i == 6 ? c.marked : kWhite) << i;
    }
    EXPECT_TRUE(bench.random.asked.empty()) << "no random pick in marked mode";
  }
}

TEST(Composers, CharactersAfterTheThirtySecondAreUnmarked) {
  CurrentFormat format;
  format.emphasisMode = 'R';
  format.emphasisMarks = std::string(32, 'A');
  CardBench bench;
  bool invert = false;
  ASSERT_EQ(ComposeCentred(bench.context, Request(Repeat(L"漢", 34), format, {true, 12}), invert), PageResult::kDrawn);
  const auto& p = bench.surface.prints;
  ASSERT_EQ(p.size(), 34u);
  EXPECT_EQ(p[31].colour, PaletteColour(12));
  EXPECT_EQ(p[32].colour, kWhite);
  EXPECT_EQ(p[33].colour, kWhite);
}

TEST(Composers, RandomEmphasisAndOtherModes) {
  CardBench random;
  random.random = ScriptedRandom({0});
  bool invert = true;
  ASSERT_EQ(ComposeLTopRight(random.context, Request(L"きょうは晴れです", {}, {true, 12}), invert), PageResult::kDrawn);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(random.surface.prints[i].colour, i == 4 ? PaletteColour(12) : kBlack) << i;
  }

  CurrentFormat none;
  none.emphasisMode = 'X';
  CardBench other;
  ASSERT_EQ(ComposeLTopRight(other.context, Request(L"晴れ", none, {true, 12}), invert), PageResult::kDrawn);
  for (const RecordedPrint& p : other.surface.prints) EXPECT_EQ(p.colour, kBlack);
}

TEST(Composers, MissingVerticalFaceStopsThePage) {
  CardBench bench;
  bench.surface.missingFaces = {L"@IPAMincho"};
  bool invert = false;
  EXPECT_EQ(ComposeLBottomLeft(bench.context, Request(L"一二三四五六七八九十"), invert), PageResult::kMissingFace);
  EXPECT_TRUE(bench.surface.prints.empty());
  EXPECT_EQ(bench.surface.reportedMessages.size(), 1u);
  EXPECT_EQ(bench.surface.SelectedFont().escapement, 0);
}

TEST(Composers, EmptyMessageShowsTheGround) {
  using Composer = PageResult (*)(CardContext&, const CardRequest&, bool&);
  for (Composer compose : {ComposeLBottomLeft, ComposeLTopRight, ComposeCentred}) {
    CardBench bench;
    bench.pictures.corner = true;
    bool invert = true;
    ASSERT_EQ(compose(bench.context, Request(L""), invert), PageResult::kDrawn);
    EXPECT_TRUE(bench.surface.prints.empty());
    EXPECT_EQ(bench.surface.BackColour(), kWhite);
    EXPECT_EQ(bench.surface.creditPlacements, 1);
    EXPECT_EQ(bench.surface.Count("refresh"), 2) << "the pending corner, then the page";
  }
}

TEST(PickRandomEmphasis, ClassesAndRanges) {
  struct Case {
    const wchar_t* text;
    std::int16_t fold;
    char kind;
    int scripted;
    int askedRange;  // 0: no draw
    std::int16_t pick;
  };
  const Case cases[] = {
      {L"あいう漢えお", 0, ' ', 0, 1, 4},  // the one kanji
      {L"あいうえ", 0, ' ', 2, 4, 3},      // hiragana only
      {L"カタカナ", 0, ' ', 1, 4, 2},      // katakana
      {L"ＡＢ１あ", 0, ' ', 2, 3, 3},      // full-width letters and digits before hiragana
      {L"、。！", 0, ' ', 0, 0, -1},       // no class
      {L"漢字漢字漢字", 3, 'A', 2, 3, 3},  // 1..q
      {L"漢字漢字漢字", 3, 'B', 0, 4, 3},  // q..d
      {L"漢字漢字漢字", 3, 'C', 0, 3, 4},  // q+1..d
      {L"漢字漢字漢字", 6, 'C', 5, 6, 6},  // q+1 > d: all
      {L"漢字漢字漢字", 3, 'D', 1, 2, 2},  // 1..q-1
      {L"漢字漢字漢字", 1, 'D', 0, 6, 1},  // q < 2: all
      {L"漢字漢字漢字", 3, ' ', 0, 6, 1},  // equal sizes: all
      {L"漢字漢字漢字", 0, 'A', 0, 6, 1},  // automatic fold: all
      {L"あ漢いうえお", 3, 'B', 0, 4, 3},  // the kanji is outside the range
      {L"漢字", 5, 'B', 1, 2, 2},          // a fold past the end narrows nothing
      {L"漢字ab", 1, 'A', 3, 4, 4},        // half-width text: no narrowing, bytes count as class 1
  };
  for (const Case& c : cases) {
    ScriptedRandom random({c.scripted});
    EXPECT_EQ(PickRandomEmphasis(c.text, c.fold, c.kind, ' ', random), c.pick)
        << ::testing::PrintToString(std::wstring(c.text)) << " " << c.kind << c.fold;
    EXPECT_EQ(random.asked, c.askedRange ? std::vector<int>{c.askedRange} : std::vector<int>{});
  }
  ScriptedRandom unused;
  EXPECT_EQ(PickRandomEmphasis(L"漢字", 0, ' ', 'R', unused), -1);
  EXPECT_TRUE(unused.asked.empty());
}

}  // namespace
}  // namespace zor
