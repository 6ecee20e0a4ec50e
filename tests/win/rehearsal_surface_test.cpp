// The rehearsal of a page: it shares the page's caches and leaves the page
// as it stood.
#include "win/screen/rehearsal_surface.h"

#include <gtest/gtest.h>

#include "win/common/dib.h"

namespace zor::win {
namespace {

class CountingHost final : public SurfaceHost {
 public:
  int calls = 0;
  [[nodiscard]] PointSize CreditLabelSize() const override { return {30.0f, 9.0f}; }
  void PlaceCreditLabel(float, float, Rgb) override { ++calls; }
  void Refresh(std::span<const PixelRect>) override { ++calls; }
  void ReportMissingFace(std::wstring_view) override { ++calls; }
};

// Catches a rehearsal that changes the page's own state: its font, type
// and ground colours, or the ground it fills with, which the page's next
// prints use without selecting them again; and one that reaches the host.
TEST(RehearsalSurface, LeavesThePageAsItStood) {
  DibImage image, fresh;
  ASSERT_TRUE(image.Create(240, 120));
  ASSERT_TRUE(fresh.Create(240, 120));
  CountingHost host;
  GdiSurface page(image.dc(), 240, 120, 15.0f, 15.0f, host);
  GdiSurface unrehearsed(fresh.dc(), 240, 120, 15.0f, 15.0f, host);
  const FontSpec font{L"IPAMincho", 30.0f, false, false, 0};
  for (GdiSurface* s : {&page, &unrehearsed}) {
    s->SetBackColour({0, 0, 80});
    s->Clear();
    s->SelectFont(font);
    s->SetForeColour({250, 200, 0});
  }
  const int calls = host.calls;
  {
    RehearsalSurface rehearsal(page);
    EXPECT_EQ(rehearsal.ScaleWidth(), page.ScaleWidth());
    rehearsal.SetBackColour({255, 255, 255});
    rehearsal.Clear();
    rehearsal.SelectFont(FontSpec{L"@IPAMincho", 50.0f, true, false, 2700});
    rehearsal.SetForeColour({0, 0, 0});
    rehearsal.Print(5, 5, L"永あ");
    const Offset around[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    rehearsal.PrintCopies(5, 5, L"永", around);
    rehearsal.ReportMissingFace(L"no face");
    rehearsal.PlaceCreditLabel(0, 0, {0, 0, 0});
    rehearsal.Refresh();
    EXPECT_FALSE(rehearsal.LoadPicture(L"nowhere.bmp", PictureUse{}));
  }
  EXPECT_EQ(host.calls, calls) << "nothing reached the host";
  EXPECT_TRUE(page.ForeColour() == (Rgb{250, 200, 0}) && page.BackColour() == (Rgb{0, 0, 80}));
  for (GdiSurface* s : {&page, &unrehearsed}) {
    s->Print(20, 20, L"永あ");
    s->Clear();
    s->Print(60, 40, L"一");
    GdiFlush();
  }
  int differing = 0;
  for (int i = 0; i < 240 * 120; ++i) differing += (image.pixels()[i] & 0xFFFFFF) != (fresh.pixels()[i] & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace zor::win
