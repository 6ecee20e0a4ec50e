// The L-shaped layouts in faces whose lines hold room beyond the em box, and
// in faces without vertical forms of their own.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/screen/composers.h"
#include "core/screen/glyph_drawing.h"
#include "core/screen/plain_layouts.h"
#include "title_card_fixture.h"

namespace zor {
namespace {

using card_test::CardBench;

constexpr float kTol = 1e-3f;

CardRequest Request(std::wstring text) { return {std::move(text), {}, {}, false}; }

using Layout = PageResult (*)(CardContext&, const CardRequest&, bool&);

// The prints of a page drawn once in a face with no room (as IPA Mincho) and
// once in one whose em box lies drop ems below the cell's top.
struct TwoFaces {
  std::vector<RecordedPrint> plain;
  std::vector<RecordedPrint> tall;
};
TwoFaces DrawBoth(Layout layout, const std::wstring& text, float drop,
                  const std::set<std::wstring>& noVerticalForm = {}) {
  TwoFaces both;
  for (int tall = 0; tall < 2; ++tall) {
    CardBench bench;
    bench.surface.emBoxDrop = tall ? drop : 0.0f;
    bench.surface.noVerticalForm = noVerticalForm;
    bool invert = false;
    EXPECT_EQ(layout(bench.context, Request(text), invert), PageResult::kDrawn);
    (tall ? both.tall : both.plain) = bench.surface.prints;
  }
  return both;
}

// Catches a turned run left of its corner (a face's extra room taken for the
// em box) and an upright corner sunk into the run below it: in both Ls every
// turned character moves right by the drop and every upright one up by it,
// nothing else changes; with no drop the prints are the ones of before.
TEST(TallFaces, EachCharacterOfAnLMovesByTheDropOnItsOwnAxis) {
  for (Layout layout : {ComposeLTopRight, ComposeLBottomLeft}) {
    const TwoFaces both = DrawBoth(layout, L"ヒーローは一番強い人だ", 0.27f);
    ASSERT_EQ(both.plain.size(), both.tall.size());
    int turned = 0;
    for (std::size_t i = 0; i < both.plain.size(); ++i) {
      const RecordedPrint& p = both.plain[i];
      const RecordedPrint& t = both.tall[i];
      EXPECT_EQ(p.font, t.font) << i;
      const float drop = 0.27f * p.font.size;
      if (p.font.escapement == 2700) {
        ++turned;
        EXPECT_NEAR(t.x, p.x + drop, kTol) << i;
        EXPECT_NEAR(t.y, p.y, kTol) << i;
      } else {
        EXPECT_NEAR(t.x, p.x, kTol) << i;
        EXPECT_NEAR(t.y, p.y - drop, kTol) << i;
      }
    }
    EXPECT_GT(turned, 1);
  }
}

// Catches the centred row moved with the Ls: it is right in every face.
TEST(TallFaces, TheCentredRowStaysWhereItWas) {
  const TwoFaces both = DrawBoth(ComposeCentred, L"ヒーローは、強い", 0.3f, {L"、"});
  ASSERT_EQ(both.plain.size(), both.tall.size());
  for (std::size_t i = 0; i < both.plain.size(); ++i) {
    EXPECT_FLOAT_EQ(both.tall[i].x, both.plain[i].x) << i;
    EXPECT_FLOAT_EQ(both.tall[i].y, both.plain[i].y) << i;
  }
  const TwoFaces plain = DrawBoth(DrawCentred, L"Tall faces", 0.3f);
  EXPECT_FLOAT_EQ(plain.tall.at(0).y, plain.plain.at(0).y);
}

// Catches the plain corners' lines left low by the face's room (cut off at
// the bottom edge in layout B).
TEST(TallFaces, PlainCornerLinesMoveUpByTheDrop) {
  for (Layout layout : {ZOR00b2, ZOR01b2}) {
    const TwoFaces both = DrawBoth(layout, L"Tall faces 今日", 0.44f);
    ASSERT_EQ(both.tall.size(), 1u);
    EXPECT_NEAR(both.tall[0].y, both.plain[0].y - 0.44f * both.plain[0].font.size, kTol);
    EXPECT_FLOAT_EQ(both.tall[0].x, both.plain[0].x);
  }
}

// Catches 、。 and small kana of a face without vertical forms standing in a
// column where horizontal text has them, and the usual shift given to a face
// that has its own forms (moving them twice) or to characters that need none.
TEST(TallFaces, MarksWithoutAVerticalFormTakeTheUsualPlace) {
  const std::wstring text = L"きょうは、休み。一二三四五六七";
  CardBench lacking;
  lacking.surface.noVerticalForm = {L"、", L"ょ", L"。", L"一"};
  CardBench withForms;
  bool invert = false;
  ASSERT_EQ(ComposeLBottomLeft(lacking.context, Request(text), invert), PageResult::kDrawn);
  ASSERT_EQ(ComposeLBottomLeft(withForms.context, Request(text), invert), PageResult::kDrawn);
  const auto& l = lacking.surface.prints;
  const auto& w = withForms.surface.prints;
  ASSERT_EQ(l.size(), w.size());
  int moved = 0;
  for (std::size_t i = 0; i < l.size(); ++i) {
    const Offset shift = l[i].font.escapement == 2700 ? VerticalFormShift(l[i].text) : Offset{};
    if (shift.dx != 0.0f) ++moved;
    EXPECT_NEAR(l[i].x, w[i].x + shift.dx * l[i].font.size, kTol) << i;
    EXPECT_NEAR(l[i].y, w[i].y + shift.dy * l[i].font.size, kTol) << i;
  }
  EXPECT_GE(moved, 2);
  EXPECT_FLOAT_EQ(VerticalFormShift(L"、").dx, 0.6f);
  EXPECT_FLOAT_EQ(VerticalFormShift(L"ょ").dy, -0.1f);
  EXPECT_FLOAT_EQ(VerticalFormShift(L"一").dx, 0.0f);
  EXPECT_FLOAT_EQ(VerticalFormShift(L"ー").dy, 0.0f);
  EXPECT_FLOAT_EQ(VerticalFormShift(L"、、").dx, 0.0f);
}

}  // namespace
}  // namespace zor
