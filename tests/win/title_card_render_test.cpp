// Title cards drawn with GDI on an off-screen page: where the ink falls,
// which colours appear, and that vertical runs stand upright.
#include <gtest/gtest.h>

#include "core/screen/sequencer.h"
#include "win/screen/gdi_surface.h"

namespace zor::win {
namespace {

constexpr int kW = 960;
constexpr int kH = 540;
constexpr wchar_t kFace[] = L"IPAMincho";

struct Box {
  int left = kW, top = kH, right = -1, bottom = -1;
  int count = 0;
  [[nodiscard]] bool empty() const { return count == 0; }
};

class Card : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(canvas.Create(kW, kH));
    surface = std::make_unique<GdiSurface>(canvas.dc(), kW, kH, 15.0f, 15.0f, host);
    if (!surface->FaceInstalled(kFace)) GTEST_SKIP() << "IPAMincho is not installed";
  }

  PageResult Draw(char layout, std::wstring text, bool white, std::int16_t decoration = 0,
                  std::string marks = {}) {
    TitleCardRenderer renderer(*surface, clock, pictures, random, frame);
    renderer.draw.typeFace = kFace;
    renderer.draw.decorationStyle = decoration;
    CardRequest request;
    request.text = std::move(text);
    request.testDisplay = true;
    request.emphasis.on = !marks.empty();
    request.emphasis.colour = 12;
    if (!marks.empty()) {
      request.format.emphasisMode = 'R';
      request.format.emphasisMarks = marks;
    } else {
      request.format.emphasisMode = 'R';  // no random emphasis
    }
    bool invert = white;
    const PageResult r = renderer.Render(layout, request, invert);
    GdiFlush();
    return r;
  }

  [[nodiscard]] std::uint32_t At(int x, int y) const {
    return canvas.pixels()[static_cast<std::size_t>(y) * kW + static_cast<std::size_t>(x)] & 0xFFFFFF;
  }

  // Pixels in the rectangle that differ from the ground.
  [[nodiscard]] Box Ink(std::uint32_t ground, int x0 = 0, int y0 = 0, int x1 = kW, int y1 = kH) const {
    Box b;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (At(x, y) == ground) continue;
        ++b.count;
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
      }
    }
    return b;
  }

  [[nodiscard]] int CountColour(std::uint32_t colour) const {
    int n = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) n += At(x, y) == colour ? 1 : 0;
    }
    return n;
  }

  DibImage canvas;
  OffscreenHost host;
  std::unique_ptr<GdiSurface> surface;
  NoWaitClock clock;
  SeededRandom random{1};
  FrameState frame;
  NoBackground pictures;
};

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

TEST_F(Card, BottomLeftLRunsDownTheLeftAndAlongTheBottom) {
  ASSERT_EQ(Draw('B', L"今日は良い天気ですね", false), PageResult::kDrawn);
  EXPECT_EQ(At(0, 0), kBlack);
  const Box all = Ink(kBlack);
  EXPECT_GT(all.count, 5000);
  EXPECT_GE(all.left, static_cast<int>(0.02 * kW) - 2);
  EXPECT_LE(all.bottom, static_cast<int>(0.98 * kH) + 2);
  EXPECT_TRUE(Ink(kBlack, kW / 2, 0, kW, kH / 2).empty()) << "the top-right quarter stays clear";
  EXPECT_FALSE(Ink(kBlack, 0, 0, kW / 6, kH / 3).empty()) << "the column starts high on the left";
  EXPECT_FALSE(Ink(kBlack, kW / 2, kH * 3 / 4, kW, kH).empty()) << "the row runs along the bottom";
}

TEST_F(Card, TopRightLOnWhite) {
  ASSERT_EQ(Draw('A', L"今日は良い天気ですね", true), PageResult::kDrawn);
  EXPECT_EQ(At(kW - 1, kH - 1), kWhite);
  EXPECT_TRUE(Ink(kWhite, 0, kH / 2, kW / 2, kH).empty()) << "the bottom-left quarter stays clear";
  EXPECT_FALSE(Ink(kWhite, 0, 0, kW / 2, kH / 5).empty());
  EXPECT_FALSE(Ink(kWhite, kW * 5 / 6, kH * 2 / 3, kW, kH).empty());
  EXPECT_GT(CountColour(kBlack), 1000) << "black type";
}

TEST_F(Card, CentredRowAndPlainLineStayInTheMiddleBand) {
  ASSERT_EQ(Draw('C', L"今日は良い天気ですね", false), PageResult::kDrawn);
  Box b = Ink(kBlack);
  EXPECT_GT(b.top, kH / 4);
  EXPECT_LT(b.bottom, kH * 3 / 4);
  EXPECT_NEAR((b.left + b.right) / 2, kW / 2, kW / 20);
  ASSERT_EQ(Draw('C', L"Rome was not built in a day.", false), PageResult::kDrawn);
  b = Ink(kBlack);
  EXPECT_NEAR((b.top + b.bottom) / 2, kH / 2, kH / 10);
  EXPECT_LE(b.right - b.left, static_cast<int>(0.95 * kW) + 4);
}

TEST_F(Card, MarkedCharacterTakesTheEmphasisColour) {
  ASSERT_EQ(Draw('C', L"今日は良い天気", false, 0, "AA"), PageResult::kDrawn);
  const int red = CountColour(kRed);
  EXPECT_GT(red, 200);
  // Only the first two cells hold red.
  int redRight = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = kW / 2; x < kW; ++x) redRight += At(x, y) == kRed ? 1 : 0;
  }
  EXPECT_EQ(redRight, 0);
}

TEST_F(Card, ExtraBoldAddsInkAndOutlineOnBlackKeepsItsOwnColour) {
  ASSERT_EQ(Draw('C', L"天気", false, 0), PageResult::kDrawn);
  const int plain = Ink(kBlack).count;
  ASSERT_EQ(Draw('C', L"天気", false, 1), PageResult::kDrawn);
  EXPECT_GT(Ink(kBlack).count, plain * 11 / 10);
  ASSERT_EQ(Draw('C', L"天気", false, 2), PageResult::kDrawn);
  EXPECT_NEAR(Ink(kBlack).count, plain, plain / 20) << "the outline is drawn in the ground colour";
}

TEST_F(Card, VerticalRunStandsUpright) {
  // "一" upright is a wide, flat stroke; turned on its side it would be tall.
  ASSERT_EQ(Draw('B', L"一一一一一一一一一一", false), PageResult::kDrawn);
  const Box top = Ink(kBlack, 0, 0, kW / 5, kH / 4);
  ASSERT_FALSE(top.empty());
  EXPECT_GT(top.right - top.left, 3 * (top.bottom - top.top));
}

TEST_F(Card, VerticalFormsOfMarksInAVerticalRun) {
  // "ー" upright in a horizontal run is a flat stroke; in a vertical run its
  // vertical form is a tall one.
  ASSERT_EQ(Draw('B', L"ーーーーーーーーーー", false), PageResult::kDrawn);
  const Box top = Ink(kBlack, 0, 0, kW / 5, kH / 4);
  ASSERT_FALSE(top.empty());
  EXPECT_GT(top.bottom - top.top, 3 * (top.right - top.left));
  // A row keeps the flat form.
  ASSERT_EQ(Draw('C', L"ーーー", false), PageResult::kDrawn);
  const Box row = Ink(kBlack, 0, 0, kW / 2, kH);
  ASSERT_FALSE(row.empty());
  EXPECT_GT(row.right - row.left, 3 * (row.bottom - row.top));
}

// Every layout on both grounds with every decoration: ink inside the margins,
// and no colour but the ground, the type, the emphasis colour and their blends.
TEST_F(Card, EveryLayoutGroundAndDecoration) {
  for (const char layout : {'A', 'B', 'C'}) {
    for (const bool white : {false, true}) {
      for (std::int16_t decoration = 0; decoration <= 3; ++decoration) {
        SCOPED_TRACE(testing::Message() << layout << (white ? " white " : " black ") << decoration);
        ASSERT_EQ(Draw(layout, L"夜明け前が一番暗い", white, decoration, "A"), PageResult::kDrawn);
        const std::uint32_t ground = white ? kWhite : kBlack;
        const std::uint32_t type = white ? kBlack : kWhite;
        const Box ink = Ink(ground);
        EXPECT_GT(ink.count, 2000);
        EXPECT_GE(ink.left, static_cast<int>(0.02 * kW) - 12);
        EXPECT_LE(ink.right, static_cast<int>(0.98 * kW) + 12);
        EXPECT_GE(ink.top, static_cast<int>(0.02 * kH) - 12);
        EXPECT_LE(ink.bottom, static_cast<int>(0.98 * kH) + 12);
        EXPECT_GT(CountColour(kRed), 50) << "the marked first character";
        int foreign = 0;
        for (int y = 0; y < kH; ++y) {
          for (int x = 0; x < kW; ++x) {
            const std::uint32_t p = At(x, y);
            const int r = static_cast<int>(p >> 16), g = static_cast<int>((p >> 8) & 0xFF),
                      b = static_cast<int>(p & 0xFF);
            // Blends of black, white and red have equal green and blue.
            const bool greyOrRed = std::abs(g - b) <= 2 && r >= g - 2;
            foreign += greyOrRed ? 0 : 1;
          }
        }
        EXPECT_EQ(foreign, 0) << "type " << std::hex << type;
      }
    }
  }
}

TEST_F(Card, MissingFaceIsReportedNotDrawn) {
  TitleCardRenderer renderer(*surface, clock, pictures, random, frame);
  renderer.draw.typeFace = L"No Such Face 123";
  CardRequest request;
  request.text = L"天気";
  request.testDisplay = true;
  bool invert = false;
  EXPECT_EQ(renderer.Render('C', request, invert), PageResult::kMissingFace);
  EXPECT_NE(host.missingFace.find(L"指定のフォントがインストールされていない可能性があります"), std::wstring::npos);
}

}  // namespace
}  // namespace zor::win
