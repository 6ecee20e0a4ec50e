#include "core/screen/page_frame.h"

#include <gtest/gtest.h>

#include "title_card_fixture.h"

namespace zor {
namespace {

using card_test::CardBench;

constexpr Rgb kBlack = PaletteColour(kPaletteBlack);
constexpr Rgb kWhite = PaletteColour(kPaletteWhite);

struct GroundCase {
  const char* name;
  BackgroundSettings settings;
  FrameState state;
  bool testDisplay;
  bool groundWhite;  // the previous page's ground
  bool invertIn;
  bool invertOut;
  bool lockedOut;
};

TEST(GroundColourStep, Table) {
  const GroundCase cases[] = {
      {"no pictures: the sequencer's choice stands",
       {0, 0, 0},
       {L"", false, false, false, 1},
       false,
       true,
       false,
       false,
       false},
      {"repeated background keeps the ground",
       {1, 0, 0},
       {L"", false, false, false, 1},
       false,
       true,
       false,
       true,
       false},
      {"new background on tick 0 takes the new choice",
       {1, 0, 0},
       {L"", false, false, false, 0},
       false,
       true,
       false,
       false,
       false},
      {"test display takes the new choice", {1, 0, 0}, {L"", false, false, false, 1}, true, true, false, false, false},
      {"a locked scheme is not carried over, and unlocks",
       {1, 0, 0},
       {L"", false, true, false, 1},
       false,
       true,
       false,
       false,
       false},
      {"interval images: no new run keeps the ground",
       {0, 0, 1},
       {L"", false, false, false, 0},
       false,
       false,
       true,
       false,
       false},
      {"interval images: a run just shown takes the new choice",
       {0, 0, 1},
       {L"", false, false, true, 1},
       false,
       false,
       true,
       true,
       false},
      {"file title 0: white on black",
       {1, -1, 0},
       {L"C:\\pics\\0sea.jpg", false, false, false, 0},
       false,
       false,
       true,
       false,
       false},
      {"file title 1 on tick 2 locks",
       {1, -1, 0},
       {L"C:\\pics\\1sky.jpg", false, false, false, 2},
       false,
       false,
       false,
       true,
       true},
      {"file title after a drive colon",
       {1, -1, 0},
       {L"D:1sky.jpg", false, false, false, 0},
       false,
       false,
       false,
       true,
       false},
      {"interval images: file rule locks until the next run",
       {1, -1, 1},
       {L"C:\\p\\0.bmp", false, false, false, 0},
       false,
       false,
       true,
       false,
       true},
      {"a letter changes nothing",
       {1, -1, 0},
       {L"C:\\pics\\sea.jpg", false, false, false, 0},
       false,
       false,
       true,
       true,
       false},
      {"the rule needs a placement",
       {0, -1, 0},
       {L"C:\\pics\\0sea.jpg", false, false, false, 0},
       false,
       false,
       true,
       true,
       false},
      {"the rule needs BWbyFN -1",
       {1, 1, 0},
       {L"C:\\pics\\0sea.jpg", false, false, false, 0},
       false,
       false,
       true,
       true,
       false},
      {"digit 1 in a folder name does not count",
       {1, -1, 0},
       {L"C:\\1\\sea.jpg", false, false, false, 0},
       false,
       false,
       false,
       false,
       false},
  };
  for (const GroundCase& c : cases) {
    RecordingSurface surface(1024, 768);
    surface.SetBackColour(c.groundWhite ? kWhite : kBlack);
    FrameState state = c.state;
    bool invert = c.invertIn;
    GroundColourStep(state, c.settings, c.testDisplay, surface, invert);
    EXPECT_EQ(invert, c.invertOut) << c.name;
    EXPECT_EQ(state.schemeLocked, c.lockedOut) << c.name;
    EXPECT_EQ(surface.BackColour(), c.invertOut ? kWhite : kBlack) << c.name;
  }
}

TEST(GroundColourStep, SetsTheGroundOnlyWhenItChanges) {
  RecordingSurface surface(1024, 768);
  FrameState state;
  bool invert = false;
  GroundColourStep(state, {}, false, surface, invert);
  EXPECT_TRUE(surface.events.empty());
  invert = true;
  GroundColourStep(state, {}, false, surface, invert);
  EXPECT_EQ(surface.events, (std::vector<std::string>{"back 255,255,255", "clear"}));
}

TEST(PageFrame, RunsItsStepsInOrder) {
  CardBench bench;
  bench.pictures.corner = true;
  bench.state.intervalJustShown = true;
  bool invert = true;
  bench.frame.Begin(false, invert);
  EXPECT_FALSE(bench.state.intervalJustShown);
  EXPECT_TRUE(bench.state.pendingCorner);
  bench.clock.Advance(120);
  bench.frame.PaintPendingCorner(TextPlace::kTopRight, 30, 40);
  bench.frame.PaintPendingCorner(TextPlace::kTopRight, 30, 40);
  bench.frame.WaitBeforeText(false);
  bench.frame.Finish(TextPlace::kTopRight, invert);
  EXPECT_EQ(bench.surface.events, (std::vector<std::string>{"clear", "choose", "back 255,255,255", "clear", "paint",
                                                            "corner 1 30 40", "refresh", "credit", "refresh"}));
  EXPECT_EQ(bench.clock.waits, (std::vector<std::int32_t>{380}));
}

TEST(PageFrame, TestDisplayNeitherStartsNorWaits) {
  CardBench bench;
  bool invert = false;
  bench.clock.Advance(5);
  bench.frame.Begin(true, invert);
  bench.frame.WaitBeforeText(true);
  EXPECT_TRUE(bench.clock.waits.empty());
  EXPECT_EQ(bench.surface.Count("corner 0 0 0"), 0) << "no corner pending";
}

TEST(PageFrame, CreditLabelInTheFreeCorner) {
  CardBench bench;
  bench.surface.creditLabel = {60, 12};
  bench.frame.Finish(TextPlace::kBottomLeft, true);
  EXPECT_FLOAT_EQ(bench.surface.creditLeft, 768 - 60);
  EXPECT_FLOAT_EQ(bench.surface.creditTop, 0);
  EXPECT_EQ(bench.surface.creditColour, kBlack);
  for (TextPlace place : {TextPlace::kTopRight, TextPlace::kCentre}) {
    bench.frame.Finish(place, false);
    EXPECT_FLOAT_EQ(bench.surface.creditLeft, 5);
    EXPECT_FLOAT_EQ(bench.surface.creditTop, 576 - 15);
    EXPECT_EQ(bench.surface.creditColour, kWhite);
  }
}

}  // namespace
}  // namespace zor
