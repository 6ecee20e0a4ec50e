// Fonts known by ids that stay with their descriptions, and what is kept per
// font staying right when the handles are let go.
#include "win/screen/font_cache.h"

#include <gtest/gtest.h>

#include <set>

#include "win/common/dib.h"
#include "win/screen/gdi_surface.h"
#include "win/screen/print_caches.h"

namespace zor::win {
namespace {

// Catches ids that follow handles (a handle value is reused once fonts are
// let go, so kept prints and stamps of another font would be found) and ids
// that change when a font is made again (its caches would have to be cleared).
TEST(FontCache, IdsStayWithTheirDescriptionsWhenHandlesGo) {
  DibImage image;
  ASSERT_TRUE(image.Create(16, 16));
  FontCache cache;
  cache.UsedBy(image.dc());
  const FontSpec mincho{L"IPAMincho", 12.0f, false, false, 0};
  const CachedFont first = cache.Get(image.dc(), mincho, 16);
  ASSERT_NE(first.handle, nullptr);
  EXPECT_NE(first.id, 0u);
  EXPECT_EQ(cache.Get(image.dc(), mincho, 16).handle, first.handle) << "made once";
  SelectObject(image.dc(), first.handle);

  std::set<FontId> ids{first.id};
  FontSpec turned = mincho;
  turned.escapement = 2700;
  ids.insert(cache.Get(image.dc(), turned, 16).id);
  FontSpec bold = mincho;
  bold.bold = true;
  ids.insert(cache.Get(image.dc(), bold, 16).id);
  const std::uint32_t generation = cache.Generation();
  for (int pixels = 20; pixels < 120; ++pixels) ids.insert(cache.Get(image.dc(), mincho, pixels).id);
  EXPECT_EQ(ids.size(), 103u) << "every description its own id";
  EXPECT_NE(cache.Generation(), generation) << "the handles were let go";
  EXPECT_EQ(GetCurrentObject(image.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT))
      << "no font of the cache stays selected";

  const CachedFont again = cache.Get(image.dc(), mincho, 16);
  EXPECT_EQ(again.id, first.id);
  ASSERT_NE(again.handle, nullptr);
}

// Catches measures and kept prints keyed on something that does not follow
// the font: after the fonts are let go and made again, a caption measures
// as before and a text printed again equals the system's own print.
TEST(FontCache, SurfaceDrawsAndMeasuresTheSameAfterFontsAreMadeAgain) {
  DibImage image, fresh;
  ASSERT_TRUE(image.Create(200, 120));
  ASSERT_TRUE(fresh.Create(200, 120));
  OffscreenHost host;
  GdiSurface surface(image.dc(), 200, 120, 15.0f, 15.0f, host);
  GdiSurface once(fresh.dc(), 200, 120, 15.0f, 15.0f, host);
  const FontSpec font{L"IPAMincho", 24.0f, false, false, 0};
  const TextExtent measured = surface.MeasureText(font, L"永あ");
  const auto page = [&](GdiSurface& s) {
    s.SetBackColour({0, 0, 0});
    s.Clear();
    s.SelectFont(font);
    s.SetForeColour({255, 255, 255});
    s.Print(10, 10, L"永あ");
    GdiFlush();
  };
  page(surface);
  page(surface);
  for (int size = 1; size < 60; ++size) {
    (void)surface.MeasureText(FontSpec{L"IPAMincho", static_cast<float>(size), false, false, 0}, L"一");
  }
  const TextExtent again = surface.MeasureText(font, L"永あ");
  EXPECT_FLOAT_EQ(again.width, measured.width);
  EXPECT_FLOAT_EQ(again.size, measured.size);
  page(surface);
  page(once);
  int differing = 0;
  for (int i = 0; i < 200 * 120; ++i) differing += (image.pixels()[i] & 0xFFFFFF) != (fresh.pixels()[i] & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}

// Catches places printed that outlive the font handles: a page drawn again
// only after many other sizes (a first page after a change of size) would
// keep each print, paying for a look at what it drew, as if printed twice in a row.
TEST(PrintCaches, PlacesPrintedAreForgottenWithTheFontHandles) {
  DibImage image;
  ASSERT_TRUE(image.Create(16, 16));
  PrintCaches caches;
  caches.UsedBy(image.dc());
  const FontSpec mincho{L"IPAMincho", 12.0f, false, false, 0};
  const FontId id = caches.FontFor(image.dc(), mincho, 15.0f).id;
  EXPECT_FALSE(caches.PrintedBefore(id, 10, 20, L"永"));
  EXPECT_TRUE(caches.PrintedBefore(id, 10, 20, L"永"));
  EXPECT_FALSE(caches.PrintedBefore(id, 11, 20, L"永")) << "another place";
  const std::uint32_t generation = caches.FontGeneration();
  for (int size = 13; caches.FontGeneration() == generation && size < 200; ++size) {
    (void)caches.FontFor(image.dc(), FontSpec{L"IPAMincho", static_cast<float>(size), false, false, 0}, 15.0f);
  }
  ASSERT_NE(caches.FontGeneration(), generation);
  EXPECT_EQ(caches.FontFor(image.dc(), mincho, 15.0f).id, id);
  EXPECT_FALSE(caches.PrintedBefore(id, 10, 20, L"永")) << "noted before the handles were let go";
  EXPECT_TRUE(caches.PrintedBefore(id, 10, 20, L"永"));
}

}  // namespace
}  // namespace zor::win
