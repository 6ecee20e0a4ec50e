// A page rehearsed ahead of its tick on a GDI surface's caches: nothing is
// drawn, loaded or shown, but the fonts, measures, glyphs and stamps the
// page asks for are made (stamps blended for the plain ground the surface
// was last cleared to), so that the page itself then finds them. The
// surface's colours and font are left as they are.
#pragma once

#include <span>
#include <string_view>

#include "core/screen/surface.h"
#include "win/screen/gdi_surface.h"

namespace zor::win {

class RehearsalSurface final : public Surface {
 public:
  explicit RehearsalSurface(GdiSurface& page);

  [[nodiscard]] float ScaleWidth() const override { return page_.ScaleWidth(); }
  [[nodiscard]] float ScaleHeight() const override { return page_.ScaleHeight(); }
  [[nodiscard]] float TwipsPerPixelX() const override { return page_.TwipsPerPixelX(); }
  [[nodiscard]] float TwipsPerPixelY() const override { return page_.TwipsPerPixelY(); }

  [[nodiscard]] Rgb ForeColour() const override { return fore_; }
  void SetForeColour(Rgb colour) override { fore_ = colour; }
  [[nodiscard]] Rgb BackColour() const override { return back_; }
  void SetBackColour(Rgb colour) override { back_ = colour; }
  // The page's own clear leaves the ground of the colour.
  void Clear() override { ground_ = back_; }

  [[nodiscard]] bool FaceInstalled(std::wstring_view face) override { return page_.FaceInstalled(face); }
  void ReportMissingFace(std::wstring_view) override {}

  void SelectFont(const FontSpec& font) override;
  [[nodiscard]] TextExtent MeasureText(const FontSpec& font, std::wstring_view caption) override {
    return page_.MeasureText(font, caption);
  }
  [[nodiscard]] float EmBoxDrop(const FontSpec& font) override { return page_.EmBoxDrop(font); }
  [[nodiscard]] bool HasVerticalForm(const FontSpec& font, std::wstring_view ch) override {
    return page_.HasVerticalForm(font, ch);
  }
  void Print(float x, float y, std::wstring_view text) override;
  void PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) override;

  [[nodiscard]] bool LoadPicture(const std::filesystem::path&, const PictureUse&) override { return false; }
  [[nodiscard]] PointSize PictureSizePixels() const override { return page_.PictureSizePixels(); }
  void PaintPicture(const Rect&, const Rect&) override {}

  [[nodiscard]] PointSize CreditLabelSize() const override { return page_.CreditLabelSize(); }
  void PlaceCreditLabel(float, float, Rgb) override {}
  void Refresh() override {}

 private:
  [[nodiscard]] CachedFont SelectedFont();
  // A single print: in the ground's colour (a shadow) its footprint, which
  // also makes the glyphs; else the glyphs alone.
  void RehearsePrint(std::wstring_view text);

  GdiSurface& page_;
  PrintCaches& caches_;
  Rgb fore_;
  Rgb back_;
  Rgb ground_;
  FontSpec selected_;
  bool hasSelected_ = false;
};

}  // namespace zor::win
