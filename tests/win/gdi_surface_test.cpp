// The GDI surface: stamped decoration copies look like the prints they stand for.
#include "win/screen/gdi_surface.h"
#include "win/screen/rehearsal_surface.h"

#include "core/screen/glyph_rules.h"
#include "core/screen/sequencer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace zor::win {
namespace {

// A grey ramp, so that copies drawn over each other and over the ground show.
void Ramp(DibImage& canvas) {
  for (int x = 0; x < canvas.width(); ++x) {
    const auto v = static_cast<BYTE>(x * 255 / canvas.width());
    RECT r{x, 0, x + 1, canvas.height()};
    HBRUSH brush = CreateSolidBrush(RGB(v, 255 - v, v / 2));
    FillRect(canvas.dc(), &r, brush);
    DeleteObject(brush);
  }
}


void Draw(DibImage& canvas, const FontSpec& font, bool stamped, std::span<const Offset> offsets) {
  OffscreenHost host;
  GdiSurface surface(canvas.dc(), canvas.width(), canvas.height(), 15.0f, 15.0f, host);
  Ramp(canvas);
  surface.SelectFont(font);
  surface.SetForeColour(Rgb{250, 20, 20});
  if (stamped) {
    surface.PrintCopies(40, 30, L"永あ「", offsets);
  } else {
    surface.Surface::PrintCopies(40, 30, L"永あ「", offsets);
  }
  GdiFlush();
}

TEST(GdiSurface, StampedCopiesMatchSeparatePrints) {
  std::array<Offset, 16> ring;
  for (int d = 0; d < 8; ++d) {
    for (int k = 1; k <= 2; ++k) {
      ring[static_cast<std::size_t>(d * 2 + k - 1)] = {0.75f * static_cast<float>(k) * OutlineDX(d),
                                                       0.75f * static_cast<float>(k) * OutlineDY(d)};
    }
  }
  for (int escapement : {0, 2700}) {
    FontSpec font{escapement ? L"@IPAMincho" : L"IPAMincho", 90.0f, true, false, escapement};
    DibImage a;
    DibImage b;
    ASSERT_TRUE(a.Create(600, 400));
    ASSERT_TRUE(b.Create(600, 400));
    Draw(a, font, true, ring);
    Draw(b, font, false, ring);
    int inked = 0;
    int differing = 0;
    for (int i = 0; i < 600 * 400; ++i) {
      const std::uint32_t p = a.pixels()[i] & 0xFFFFFF;
      const std::uint32_t q = b.pixels()[i] & 0xFFFFFF;
      if ((q & 0xFF0000) >> 16 >= 240 && (q & 0xFF) < 40) ++inked;
      int worst = 0;
      for (int shift : {0, 8, 16}) {
        worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF)));
      }
      if (worst > 80) ++differing;
    }
    EXPECT_GT(inked, 3000) << "escapement " << escapement;
    // Anti-aliased edges are blended once instead of once a copy: a thin
    // fringe may differ, the glyphs and their outline may not.
    EXPECT_LT(differing, inked / 12) << "escapement " << escapement << ": the stamp differs from the prints";
  }
}

TEST(GdiSurface, StampedCopiesClipAtTheEdges) {
  OffscreenHost host;
  DibImage canvas;
  ASSERT_TRUE(canvas.Create(120, 80));
  GdiSurface surface(canvas.dc(), 120, 80, 15.0f, 15.0f, host);
  surface.SetBackColour(Rgb{0, 0, 0});
  surface.Clear();
  surface.SelectFont(FontSpec{L"IPAMincho", 72.0f, false, false, 0});
  std::array<Offset, 4> smear{{{-1.5f, 0}, {-0.75f, 0}, {0, 0}, {0.75f, 0}}};
  surface.PrintCopies(-30, -20, L"永", smear);  // partly off the image
  surface.PrintCopies(80, 50, L"永", smear);
  GdiFlush();
  int lit = 0;
  for (int i = 0; i < 120 * 80; ++i) lit += (canvas.pixels()[i] & 0xFFFFFF) != 0 ? 1 : 0;
  EXPECT_GT(lit, 100);
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// Draws a page of the text on the surface, as the test display would.
void Page(Surface& surface, char layout, const wchar_t* text, bool white, std::int16_t decoration) {
  NoWaitClock clock;
  SeededRandom random(4);
  FrameState frame;
  NoBackground pictures;
  TitleCardRenderer renderer(surface, clock, pictures, random, frame);
  renderer.draw.typeFace = L"IPAMincho";
  renderer.draw.decorationStyle = decoration;
  CardRequest request;
  request.text = text;
  request.testDisplay = true;
  request.emphasis.on = true;
  bool invert = white;
  (void)renderer.Render(layout, request, invert);
  GdiFlush();
}

// A page drawn after others must look exactly like the same page drawn on a
// fresh image: clearing only what was drawn may leave nothing behind.
TEST(GdiSurface, PageAfterPagesEqualsPageOnAFreshImage) {
  OffscreenHost host;
  DibImage reused;
  ASSERT_TRUE(reused.Create(800, 450));
  GdiSurface surface(reused.dc(), 800, 450, 15.0f, 15.0f, host);
  Page(surface, 'A', L"夜明け前が一番暗い", false, 2);
  Page(surface, 'C', L"Rome was not built in a day.", false, 1);
  Page(surface, 'B', L"継続は力なり", true, 2);
  Page(surface, 'A', L"今日は良い天気ですね", true, 3);
  Page(surface, 'B', L"千里の道も一歩から", false, 2);

  DibImage fresh;
  ASSERT_TRUE(fresh.Create(800, 450));
  GdiSurface once(fresh.dc(), 800, 450, 15.0f, 15.0f, host);
  Page(once, 'B', L"千里の道も一歩から", false, 2);

  int differing = 0;
  for (int i = 0; i < 800 * 450; ++i) {
    differing += (reused.pixels()[i] & 0xFFFFFF) != (fresh.pixels()[i] & 0xFFFFFF) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// A long run draws at many sizes: fonts are let go now and then, and what is
// drawn afterwards must not use a stamp of a font that is gone.
TEST(GdiSurface, ManySizesKeepDrawingRight) {
  OffscreenHost host;
  DibImage canvas;
  ASSERT_TRUE(canvas.Create(400, 300));
  GdiSurface surface(canvas.dc(), 400, 300, 15.0f, 15.0f, host);
  const std::array<Offset, 4> copies{{{-1.5f, 0}, {-0.75f, 0}, {0, 0}, {0.75f, 0}}};
  for (int size = 20; size < 140; ++size) {
    surface.SelectFont(FontSpec{L"IPAMincho", static_cast<float>(size), false, false, 0});
    surface.SetBackColour(Rgb{0, 0, 0});
    surface.Clear();
    surface.SetForeColour(Rgb{255, 255, 255});
    surface.PrintCopies(10, 10, L"永", copies);
  }
  surface.SelectFont(FontSpec{L"IPAMincho", 60.0f, false, false, 0});
  surface.Clear();
  surface.PrintCopies(10, 10, L"永", copies);
  GdiFlush();

  DibImage fresh;
  ASSERT_TRUE(fresh.Create(400, 300));
  GdiSurface once(fresh.dc(), 400, 300, 15.0f, 15.0f, host);
  once.SelectFont(FontSpec{L"IPAMincho", 60.0f, false, false, 0});
  once.SetBackColour(Rgb{0, 0, 0});
  once.Clear();
  once.SetForeColour(Rgb{255, 255, 255});
  once.PrintCopies(10, 10, L"永", copies);
  GdiFlush();
  int differing = 0;
  for (int i = 0; i < 400 * 300; ++i) {
    differing += (canvas.pixels()[i] & 0xFFFFFF) != (fresh.pixels()[i] & 0xFFFFFF) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// What a screen shows when only the changed rectangles reach it.
// With a second image, the one the surface last said to show is copied.
class ScreenCopy final : public SurfaceHost {
 public:
  ScreenCopy(DibImage& image, DibImage& screen, DibImage* second = nullptr)
      : image_(image), screen_(screen), second_(second) {}
  int refreshes = 0;
  int secondAsked = 0;
  long long copied = 0;
  [[nodiscard]] PointSize CreditLabelSize() const override { return {}; }
  void PlaceCreditLabel(float, float, Rgb) override {}
  [[nodiscard]] HDC SecondImage() override {
    ++secondAsked;
    return second_ ? second_->dc() : nullptr;
  }
  void ShowImage(HDC dc) override {
    ASSERT_TRUE(second_);
    ASSERT_TRUE(dc == image_.dc() || dc == second_->dc());
    shown_ = dc == image_.dc() ? &image_ : second_;
  }
  [[nodiscard]] const DibImage& Shown() const { return *shown_; }
  // Shows a plain-ground image as the screen form does: a fill, then the
  // drawn rectangles copied. Off: the surface must copy instead.
  bool fills = false;
  int filled = 0;
  [[nodiscard]] bool RefreshOnGround(Rgb ground, std::span<const PixelRect> drawn) override {
    if (!fills) return false;
    ++refreshes;
    ++filled;
    GdiFlush();
    UniqueBrush brush(CreateSolidBrush(ToColorRef(ground)));
    RECT all{0, 0, screen_.width(), screen_.height()};
    FillRect(screen_.dc(), &all, brush.get());
    copied += static_cast<long long>(screen_.width()) * screen_.height();
    for (const PixelRect& r : drawn) {
      BitBlt(screen_.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, shown_->dc(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    return true;
  }
  void Refresh(std::span<const PixelRect> changed) override {
    ++refreshes;
    GdiFlush();
    for (const PixelRect& r : changed) {
      EXPECT_LT(r.left, r.right);
      EXPECT_LT(r.top, r.bottom);
      EXPECT_GE(r.left, 0);
      EXPECT_GE(r.top, 0);
      EXPECT_LE(r.right, image_.width());
      EXPECT_LE(r.bottom, image_.height());
      BitBlt(screen_.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, shown_->dc(), r.left, r.top, SRCCOPY);
      copied += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    }
    GdiFlush();
  }
  void ReportMissingFace(std::wstring_view) override {}

 private:
  DibImage& image_;
  DibImage& screen_;
  DibImage* second_;
  DibImage* shown_ = &image_;
};

int Differing(const DibImage& a, const DibImage& b) {
  int n = 0;
  for (int i = 0; i < a.width() * a.height(); ++i) n += (a.pixels()[i] & 0xFFFFFF) != (b.pixels()[i] & 0xFFFFFF) ? 1 : 0;
  return n;
}

// Pages in every layout, ground and decoration, each shown through only the
// rectangles the surface reported: the screen must equal the image exactly
// after every page, and a page that keeps its ground shows only part of it.
// With a second image the surface changes images where the ground changes,
// and a host that fills the screen with a plain ground is told to: both must
// look the same.
TEST(GdiSurface, ChangedRectanglesShowEveryPageExactly) {
  for (const int way : {0, 1, 2}) {
    const bool twoImages = way >= 1;
    DibImage image;
    DibImage screen;
    DibImage second;
    ASSERT_TRUE(image.Create(800, 450));
    ASSERT_TRUE(screen.Create(800, 450));
    ASSERT_TRUE(second.Create(800, 450));
    ScreenCopy host(image, screen, twoImages ? &second : nullptr);
    host.fills = way == 2;
    GdiSurface surface(image.dc(), 800, 450, 15.0f, 15.0f, host);
    struct Card {
      char layout;
      const wchar_t* text;
      bool white;
      std::int16_t decoration;
    };
    const Card cards[] = {
        {'A', L"夜明け前が一番暗い", false, 2},        {'C', L"Rome was not built in a day.", false, 1},
        {'B', L"継続は力なり", false, 3},              {'B', L"継続は力なり", true, 3},
        {'A', L"今日は良い天気ですね", true, 0},       {'C', L"千里の道も一歩から", true, 2},
        {'B', L"千里の道も一歩から「ちゃんと」…", false, 1}, {'A', L"一", false, 0},
        {'A', L"夜明け前が一番暗い", true, 2},         {'C', L"継続は力なり", false, 0},
        {'C', L"継続は力なり", true, 0},               {'C', L"継続は力なり", false, 3},
    };
    int page = 0;
    for (const Card& c : cards) {
      const long long before = host.copied;
      Page(surface, c.layout, c.text, c.white, c.decoration);
      EXPECT_EQ(Differing(host.Shown(), screen), 0) << "page " << page << ", way " << way;
      if (page > 0 && c.white == cards[page - 1].white) {
        EXPECT_LT(host.copied - before, 800LL * 450) << "page " << page << " keeps its ground: only part is shown";
      }
      ++page;
    }
    EXPECT_GE(host.refreshes, page);
    EXPECT_LE(host.secondAsked, 1) << "the second image is asked for once";
    if (host.fills) {
      EXPECT_GE(host.filled, 5) << "each change of ground fills";
    }
    EXPECT_TRUE(surface.Changed().empty()) << "every change was handed over";
    // Whichever image is shown last, a page on it equals the same page drawn fresh.
    DibImage fresh;
    ASSERT_TRUE(fresh.Create(800, 450));
    OffscreenHost alone;
    GdiSurface once(fresh.dc(), 800, 450, 15.0f, 15.0f, alone);
    Page(once, 'C', L"継続は力なり", false, 3);
    EXPECT_EQ(Differing(host.Shown(), fresh), 0) << "way " << way;
  }
}

// However many places are drawn on, the changed rectangles stay few, and
// drawing over what was already reported adds no rectangle.
TEST(GdiSurface, ChangedRectanglesStayFewAndMerge) {
  DibImage image;
  ASSERT_TRUE(image.Create(640, 480));
  OffscreenHost host;
  GdiSurface surface(image.dc(), 640, 480, 15.0f, 15.0f, host);
  surface.SetBackColour(Rgb{0, 0, 0});
  surface.Clear();
  surface.Refresh();
  EXPECT_TRUE(surface.Changed().empty());
  surface.SelectFont(FontSpec{L"IPAMincho", 20.0f, false, false, 0});
  surface.SetForeColour(Rgb{255, 255, 255});
  for (int i = 0; i < 60; ++i) surface.Print(static_cast<float>(i % 10) * 45.0f, static_cast<float>(i / 10) * 55.0f, L"永");
  GdiFlush();
  EXPECT_LE(surface.Changed().size(), 12u);
  surface.Refresh();
  surface.Print(10, 10, L"永");
  ASSERT_EQ(surface.Changed().size(), 1u);
  const PixelRect one = surface.Changed()[0];
  surface.Print(10, 10, L"永");
  ASSERT_EQ(surface.Changed().size(), 1u) << "the same place again";
  EXPECT_EQ(one, surface.Changed()[0]);
  // A column of glyphs joins into one band.
  surface.Refresh();
  for (int i = 0; i < 8; ++i) surface.Print(300, static_cast<float>(i) * 15.0f, L"永");
  EXPECT_EQ(surface.Changed().size(), 1u);
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// A text printed again in a font is blended from its kept coverage: on a
// plain ground of any colour, in any type colour, it must give the pixels
// the system's own print gives; over other ink the system's print is used.
TEST(GdiSurface, RepeatedPrintsMatchTheSystemsPrint) {
  const Rgb grounds[] = {{0, 0, 0}, {255, 255, 255}, {40, 90, 160}};
  const Rgb types[] = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}, {30, 200, 120}};
  for (int escapement : {0, 2700}) {
    const FontSpec font{escapement ? L"@IPAMincho" : L"IPAMincho", 60.0f, false, false, escapement};
    for (const Rgb& ground : grounds) {
      for (const Rgb& type : types) {
        const auto draw = [&](GdiSurface& s, bool earlierPage) {
          s.SetBackColour(ground);
          s.SelectFont(font);
          s.SetForeColour(type);
          if (earlierPage) {
            s.Clear();
            s.Print(20, 60, L"永あ");
            s.Print(40, 70, L"「");
          }
          s.Clear();
          s.Print(24, 62, L"永あ");
          s.Print(30, 64, L"「");  // over the ink of the first print
          s.Print(30, 64, L"「");
          GdiFlush();
        };
        OffscreenHost host;
        DibImage again, once;
        ASSERT_TRUE(again.Create(320, 240));
        ASSERT_TRUE(once.Create(320, 240));
        GdiSurface second(again.dc(), 320, 240, 15.0f, 15.0f, host);
        GdiSurface first(once.dc(), 320, 240, 15.0f, 15.0f, host);
        draw(second, true);
        draw(first, false);
        int differing = 0, inked = 0;
        const std::uint32_t plain = static_cast<std::uint32_t>(ground.r) << 16 | ground.g << 8 | ground.b;
        for (int i = 0; i < 320 * 240; ++i) {
          differing += (again.pixels()[i] & 0xFFFFFF) != (once.pixels()[i] & 0xFFFFFF) ? 1 : 0;
          inked += (once.pixels()[i] & 0xFFFFFF) != plain ? 1 : 0;
        }
        EXPECT_EQ(inked > 500, !(type == ground));  // type in the ground's colour shows only over the ink
        EXPECT_EQ(differing, 0) << "escapement " << escapement << ", ground " << int(ground.r) << "," << int(ground.g)
                                << "," << int(ground.b) << ", type " << int(type.r) << "," << int(type.g) << ","
                                << int(type.b);
      }
    }
  }
}

}  // namespace
}  // namespace zor::win

namespace zor::win {
namespace {

// A host that counts what reaches the screen.
class CountingHost final : public SurfaceHost {
 public:
  int shown = 0;
  int labels = 0;
  [[nodiscard]] PointSize CreditLabelSize() const override { return {40.0f, 10.0f}; }
  void PlaceCreditLabel(float, float, Rgb) override { ++labels; }
  void Refresh(std::span<const PixelRect>) override { ++shown; }
  void ReportMissingFace(std::wstring_view) override { ++shown; }
};

// A page rehearsed ahead draws nothing, and then draws exactly as it would
// have unrehearsed, and so does the same page shown again: in every
// decoration, on both grounds, in the per-character layouts and the plain
// one, after a page on the other ground.
TEST(GdiSurface, RehearsedPagesLookExactlyAsUnrehearsedOnes) {
  struct Case {
    char layout;
    const wchar_t* text;
    bool white;
    std::int16_t decoration;
  };
  const Case cases[] = {{'A', L"夜明け前が一番暗い", false, 0}, {'B', L"継続は力なり", true, 1},
                        {'C', L"千里の道も一歩から", false, 2}, {'A', L"今日は良い天気ですね", true, 3},
                        {'C', L"Rome was not built in a day.", true, 2}, {'B', L"石の上にも三年", false, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.layout << " decoration " << c.decoration << (c.white ? " white" : " black"));
    CountingHost host;
    DibImage plain, rehearsed;
    ASSERT_TRUE(plain.Create(800, 450));
    ASSERT_TRUE(rehearsed.Create(800, 450));
    GdiSurface unrehearsedSurface(plain.dc(), 800, 450, 15.0f, 15.0f, host);
    GdiSurface rehearsedSurface(rehearsed.dc(), 800, 450, 15.0f, 15.0f, host);
    for (GdiSurface* surface : {&unrehearsedSurface, &rehearsedSurface}) {
      Page(*surface, 'B', L"一期一会", !c.white, c.decoration);
    }

    DibImage before;
    ASSERT_TRUE(before.Create(800, 450));
    BitBlt(before.dc(), 0, 0, 800, 450, rehearsed.dc(), 0, 0, SRCCOPY);
    const Rgb fore = rehearsedSurface.ForeColour();
    const Rgb back = rehearsedSurface.BackColour();
    const int shown = host.shown;
    const int labels = host.labels;
    {
      RehearsalSurface rehearsal(rehearsedSurface);
      Page(rehearsal, c.layout, c.text, c.white, c.decoration);
      rehearsal.Refresh();
    }
    EXPECT_EQ(Differing(before, rehearsed), 0) << "the rehearsal drew";
    EXPECT_EQ(host.shown, shown);
    EXPECT_EQ(host.labels, labels);
    EXPECT_TRUE(rehearsedSurface.ForeColour() == fore && rehearsedSurface.BackColour() == back);

    for (GdiSurface* surface : {&unrehearsedSurface, &rehearsedSurface}) {
      Page(*surface, c.layout, c.text, c.white, c.decoration);
    }
    EXPECT_EQ(Differing(plain, rehearsed), 0);
    // Shown again after another page, from the second time on from the
    // prints kept where they stood: still the same.
    for (int again = 0; again < 2; ++again) {
      Page(rehearsedSurface, 'B', L"一期一会", !c.white, c.decoration);
      Page(rehearsedSurface, c.layout, c.text, c.white, c.decoration);
      EXPECT_EQ(Differing(plain, rehearsed), 0) << "shown again";
    }
  }
}

}  // namespace
}  // namespace zor::win
