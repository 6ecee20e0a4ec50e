// Where GDI puts a face's ideographic em box, as the surface reports it, in
// faces with little and much room in their lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/screen/points_and_pixels.h"
#include "win/common/dib.h"
#include "win/screen/gdi_surface.h"

namespace zor::win {
namespace {

constexpr int kSide = 400;
constexpr float kSize = 150.0f;  // points: 200 pixels at 15 twips per pixel

struct InkBox {
  int left = kSide;
  int top = kSide;
  int right = -1;
  int bottom = -1;
};

InkBox Ink(const DibImage& image) {
  InkBox box;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if ((image.pixels()[y * kSide + x] & 0xFFFFFF) == 0) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

// 国 printed so that, by the surface's drop, its em box should fill the
// 200-pixel square at (100, 100): upright moved up by the drop, turned in the
// "@" face moved right by it from the square's top-right corner.
InkBox PrintedInSquare(const std::wstring& face, bool turned, float& drop) {
  DibImage image;
  EXPECT_TRUE(image.Create(kSide, kSide));
  OffscreenHost host;
  GdiSurface surface(image.dc(), kSide, kSide, 15.0f, 15.0f, host);
  surface.SetBackColour({0, 0, 0});
  surface.Clear();
  const FontSpec font{turned ? L"@" + face : face, kSize, false, false, turned ? 2700 : 0};
  drop = surface.EmBoxDrop(font);
  surface.SelectFont(font);
  surface.SetForeColour({255, 255, 255});
  if (turned) {
    surface.Print(PixelsToPoints(300, 15.0f) + drop, PixelsToPoints(100, 15.0f), L"国");
  } else {
    surface.Print(PixelsToPoints(100, 15.0f), PixelsToPoints(100, 15.0f) - drop, L"国");
  }
  GdiFlush();
  return Ink(image);
}

// Catches a drop taken from the wrong metric (the line's height, the internal
// leading, the ascent alone): in faces whose lines hold 1.10 to 1.45 ems the
// ink of 国 lands inside the em square, both upright and turned, and IPA
// Mincho's em box meets its cell's top (its pictures stay as they were).
TEST(EmBox, IdeographInkLandsInTheEmSquareInEveryFace) {
  for (const std::wstring face : {L"IPAMincho", L"TakaoMincho", L"Noto Serif CJK JP", L"Noto Sans CJK JP",
                                  L"VL Gothic"}) {
    for (const bool turned : {false, true}) {
      float drop = 0.0f;
      const InkBox ink = PrintedInSquare(face, turned, drop);
      std::string what = turned ? "turned " : "upright ";
      for (const wchar_t c : face) what += static_cast<char>(c);
      EXPECT_GE(ink.left, 100) << what;
      EXPECT_LE(ink.right, 300) << what;
      EXPECT_GE(ink.top, 100) << what;
      EXPECT_LE(ink.bottom, 300) << what;
      // The glyph nearly fills its square: centred within a few percent.
      EXPECT_NEAR((ink.left + ink.right) / 2, 200, 10) << what;
      EXPECT_NEAR((ink.top + ink.bottom) / 2, 200, 10) << what;
      if (face == L"IPAMincho" || face == L"TakaoMincho") {
        EXPECT_EQ(drop, 0.0f) << what;
      }
      if (face.starts_with(L"Noto")) {
        EXPECT_NEAR(drop / kSize, 0.27f, 0.02f) << what;
      }
    }
  }
}

// Catches 、 of a face without vertical forms taken for one with them (it
// would stand where horizontal text puts it) and the reverse (moved twice).
TEST(EmBox, VerticalFormsAreKnownPerFace) {
  DibImage image;
  ASSERT_TRUE(image.Create(16, 16));
  OffscreenHost host;
  GdiSurface surface(image.dc(), 16, 16, 15.0f, 15.0f, host);
  const FontSpec mincho{L"@IPAMincho", 40.0f, false, false, 2700};
  const FontSpec vl{L"@VL Gothic", 40.0f, false, false, 2700};
  EXPECT_TRUE(surface.HasVerticalForm(mincho, L"、"));
  EXPECT_TRUE(surface.HasVerticalForm(mincho, L"ょ"));
  EXPECT_TRUE(surface.HasVerticalForm(FontSpec{L"Noto Sans CJK JP", 40.0f, false, false, 0}, L"。"));
  EXPECT_FALSE(surface.HasVerticalForm(vl, L"、"));
  EXPECT_FALSE(surface.HasVerticalForm(vl, L"ょ"));
}

}  // namespace
}  // namespace zor::win
