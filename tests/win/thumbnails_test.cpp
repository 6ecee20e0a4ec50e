// The settings dialogs' pictures: thumbnails drawn by the title-card
// renderers, their fallback sketches, fold markers, layout pictures and the
// drag cursor.
#include "win/settings_dialog/thumbnails.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/screen/sequencer.h"
#include "win/screen/gdi_surface.h"
#include "win/common/drawings.h"
#include "win/common/smooth_sketch.h"

namespace zor::win {
namespace {

constexpr int kW = 96;
constexpr int kH = 72;

struct Image {
  int w = 0;
  int h = 0;
  std::vector<std::uint32_t> px;
  [[nodiscard]] std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x] & 0xFFFFFF; }
  // Pixels in [x0, x1) × [y0, y1) within `within` of colour on each channel.
  [[nodiscard]] int Near(std::uint32_t colour, int x0, int y0, int x1, int y1, int within = 64) const {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t p = At(x, y);
        bool close = true;
        for (int shift : {0, 8, 16}) {
          close = close &&
                  std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) < within;
        }
        n += close ? 1 : 0;
      }
    }
    return n;
  }
  // Pixels of r that stand out from the ground.
  [[nodiscard]] int Ink(std::uint32_t ground, const RECT& r) const {
    return (r.right - r.left) * (r.bottom - r.top) - Near(ground, r.left, r.top, r.right, r.bottom);
  }
  friend bool operator==(const Image&, const Image&) = default;
};

Image Read(HBITMAP bitmap) {
  Image image;
  DIBSECTION dib{};
  if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32) return image;
  image.w = dib.dsBm.bmWidth;
  image.h = dib.dsBm.bmHeight;
  const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
  image.px.assign(bits, bits + static_cast<std::size_t>(image.w) * image.h);
  return image;
}

ThumbnailInputs Inputs(std::wstring text) {
  ThumbnailInputs in;
  in.text = std::move(text);
  in.settings.typeFace = L"IPAMincho";
  in.format.mode = 'R';  // marks only, and none set
  in.header.options.emphasisOn = 0;
  in.header.options.colour = 12;
  return in;
}

class Thumbnails : public testing::Test {
 protected:
  void SetUp() override {
    DibPage page(8, 8);
    OffscreenHost host;
    GdiSurface surface(page.dc(), 8, 8, 15.0f, 15.0f, host);
    if (!surface.FaceInstalled(L"IPAMincho")) GTEST_SKIP() << "IPAMincho is not installed";
  }
};

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Where each thumbnail's ink must and must not be, as the renderers and the
// sketch both lay it out.
struct Expectation {
  int index;
  std::uint32_t ground;
  RECT inked;  // some ink here
  RECT clear;  // none here
};
constexpr Expectation kLayouts[] = {
    {0, kBlack, {kW * 2 / 3, 0, kW, kH / 4}, {0, kH / 2, kW / 2, kH}},  // "A": top row, right column
    {1, kBlack, {0, kH * 3 / 4, kW / 3, kH}, {kW / 2, 0, kW, kH / 2}},  // "B": left column, bottom row
    {2, kWhite, {kW * 5 / 6, kH / 2, kW, kH}, {0, kH / 2, kW / 2, kH}},
    {3, kWhite, {0, 0, kW / 6, kH / 3}, {kW / 2, 0, kW, kH / 2}},
    {4, kBlack, {kW / 3, kH / 3, kW * 2 / 3, kH * 2 / 3}, {0, 0, kW, kH / 4}},  // "C": the middle band
    {5, kWhite, {kW / 3, kH / 3, kW * 2 / 3, kH * 2 / 3}, {0, kH * 3 / 4, kW, kH}},
};

void ExpectLayout(const Image& image, const Expectation& e, const char* what) {
  SCOPED_TRACE(testing::Message() << what << " " << e.index);
  ASSERT_EQ(image.w, kW);
  ASSERT_EQ(image.h, kH);
  EXPECT_GT(image.Ink(e.ground, e.inked), 10);
  EXPECT_EQ(image.Ink(e.ground, e.clear), 0);
}

TEST_F(Thumbnails, MessageStandsWhereItsLayoutPutsItOnItsGround) {
  const ThumbnailInputs in = Inputs(L"今日は良い天気ですね");
  for (const Expectation& e : kLayouts) {
    const Image image = Read(RenderThumbnail(in, e.index, kW, kH).get());
    ExpectLayout(image, e, "thumbnail");
    const std::uint32_t type = e.ground ^ 0xFFFFFF;
    EXPECT_GT(image.Near(type, 0, 0, kW, kH, 128), 60) << e.index << ": strokes in the type colour";
    EXPECT_EQ(image.Near(0xFF0000, 0, 0, kW, kH), 0) << e.index << ": no emphasis";
  }
}

TEST_F(Thumbnails, SketchesFollowTheSameLayouts) {
  for (const Expectation& e : kLayouts) ExpectLayout(Read(DrawLayoutSketch(e.index, kW, kH).get()), e, "sketch");
}

TEST_F(Thumbnails, RandomEmphasisIsStableForOneMessage) {
  ThumbnailInputs in = Inputs(L"ひらがなと漢字");
  in.format.mode = ' ';
  in.header.options.emphasisOn = -1;
  const Image first = Read(RenderThumbnail(in, 4, kW, kH).get());
  EXPECT_GT(first.Near(0xFF0000, 0, 0, kW, kH), 5) << "one character in the emphasis colour";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Read(RenderThumbnail(in, 4, kW, kH).get()), first);
}

TEST_F(Thumbnails, KeywordsAreExpanded) {
  const std::wstring date = ExpandKeywords(L"\\date", false, false);
  ASSERT_NE(date, L"\\date");
  EXPECT_EQ(Read(RenderThumbnail(Inputs(L"\\DATE"), 4, kW, kH).get()),
            Read(RenderThumbnail(Inputs(date), 4, kW, kH).get()));
}

TEST_F(Thumbnails, MissingFaceGivesTheSketch) {
  ThumbnailInputs in = Inputs(L"今日は良い天気ですね");
  in.settings.typeFace = L"No Such Face Anywhere";
  for (const int index : {0, 5}) {
    const Image image = Read(RenderThumbnail(in, index, kW, kH).get());
    ASSERT_FALSE(image.px.empty());
    EXPECT_EQ(image, Read(DrawLayoutSketch(index, kW, kH).get()));
  }
}

TEST_F(Thumbnails, BlankMessageGivesTheGroundAndBadRequestsNothing) {
  const Image blank = Read(RenderThumbnail(Inputs(L""), 3, kW, kH).get());
  EXPECT_EQ(blank.Near(kWhite, 0, 0, kW, kH), kW * kH);
  const ThumbnailInputs in = Inputs(L"天気");
  EXPECT_FALSE(RenderThumbnail(in, -1, kW, kH));
  EXPECT_FALSE(RenderThumbnail(in, kThumbnailCount, kW, kH));
  EXPECT_FALSE(RenderThumbnail(in, 0, 0, kH));
  EXPECT_FALSE(RenderThumbnail(in, 0, kW, 100000));
  EXPECT_FALSE(DrawLayoutSketch(6, kW, kH));
  EXPECT_FALSE(DrawLayoutSketch(0, -5, kH));
}

// A white page with a picture drawn on it.
template <typename Draw>
Image OnWhite(int w, int h, Draw&& draw) {
  DibPage page(w, h);
  std::fill_n(page.bits(), static_cast<std::size_t>(w) * h, 0xFFFFFFu);
  draw(page.dc(), RECT{0, 0, w, h});
  return Read(page.Release().get());
}

TEST(DialogDrawings, MarkerPicturesAreDistinctAndOneIsEmpty) {
  for (const int size : {16, 24}) {
    std::vector<Image> markers;
    for (int p = 0; p < kMarkerPictureCount; ++p) {
      markers.push_back(OnWhite(size, size, [p](HDC dc, const RECT& r) { DrawFoldMarker(dc, r, p); }));
      const int ink = size * size - markers.back().Near(kWhite, 0, 0, size, size);
      if (p == 1) {
        EXPECT_EQ(ink, 0) << "picture 1 is empty";
      } else {
        EXPECT_GT(ink, size * size / 8) << "picture " << p << " at " << size;
      }
    }
    for (int a = 0; a < kMarkerPictureCount; ++a) {
      for (int b = a + 1; b < kMarkerPictureCount; ++b) EXPECT_NE(markers[a], markers[b]) << a << " and " << b;
    }
  }
}

TEST(DialogDrawings, MarkerPictureOfKind) {
  const std::pair<char, int> cases[] = {{'A', 2}, {'B', 3},  {'C', 4}, {'D', 5},
                                        {' ', 0}, {'\0', 0}, {'a', 0}, {'E', 0}};
  for (const auto& [kind, picture] : cases) EXPECT_EQ(MarkerPictureOfKind(kind), picture) << int{kind};
}

TEST(DialogDrawings, LayoutPicturesPutTheCharactersOnTheirEdges) {
  constexpr int w = 64;
  constexpr int h = 48;
  std::vector<Image> pictures;
  for (const bool selected : {false, true}) {
    for (int which = 0; which < kLayoutPictureCount; ++which) {
      pictures.push_back(OnWhite(w, h, [&](HDC dc, const RECT& r) { DrawLayoutPicture(dc, r, which, selected); }));
    }
  }
  const std::uint32_t dark = 0x404040;
  EXPECT_GT(pictures[0].Near(dark, w * 3 / 4, h / 2, w, h), 10) << "right column";
  EXPECT_EQ(pictures[0].Near(dark, 0, h / 2, w / 2, h), 0);
  EXPECT_GT(pictures[1].Near(dark, 0, 0, w / 4, h / 2), 10) << "left column";
  EXPECT_EQ(pictures[1].Near(dark, w / 2, 0, w, h / 2), 0);
  EXPECT_GT(pictures[2].Near(dark, w / 3, h / 3, w * 2 / 3, h * 2 / 3), 10);
  EXPECT_EQ(pictures[2].Near(dark, 0, 0, w, h / 3), 0);
  for (int i = 0; i < kLayoutPictureCount; ++i) EXPECT_NE(pictures[i], pictures[i + kLayoutPictureCount]);
}

TEST(DialogDrawings, DragCursorHasTheSystemSizeAndItsHotSpotAtTheTip) {
  HCURSOR cursor = CreateDragCursor();
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_LE(info.xHotspot, 2u);
  EXPECT_LE(info.yHotspot, 2u);
  BITMAP mask{};
  GetObjectW(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXCURSOR));
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DestroyCursor(cursor);
}

}  // namespace
}  // namespace zor::win
