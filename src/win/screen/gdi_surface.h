// The drawing surface on GDI: a 32-bit memory DIB (the screen form's
// persistent image, or an off-screen page for rendering to a file).
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "core/screen/surface.h"
#include "win/common/dib.h"
#include "win/common/palette_colours.h"
#include "win/screen/ground_images.h"
#include "win/screen/held_picture.h"
#include "win/screen/print_caches.h"
#include "win/screen/surface_host.h"

namespace zor::win {

class GdiSurface final : public Surface {
 public:
  // dc: a memory DC holding the image of width × height pixels.
  GdiSurface(HDC dc, int width, int height, float twipsPerPixelX, float twipsPerPixelY, SurfaceHost& host);

  [[nodiscard]] float ScaleWidth() const override;
  [[nodiscard]] float ScaleHeight() const override;
  [[nodiscard]] float TwipsPerPixelX() const override { return tppX_; }
  [[nodiscard]] float TwipsPerPixelY() const override { return tppY_; }

  [[nodiscard]] Rgb ForeColour() const override { return fore_; }
  void SetForeColour(Rgb colour) override { fore_ = colour; }
  [[nodiscard]] Rgb BackColour() const override { return back_; }
  void SetBackColour(Rgb colour) override { back_ = colour; }
  void Clear() override;

  [[nodiscard]] bool FaceInstalled(std::wstring_view face) override;
  void ReportMissingFace(std::wstring_view message) override { host_.ReportMissingFace(message); }

  void SelectFont(const FontSpec& font) override;
  [[nodiscard]] TextExtent MeasureText(const FontSpec& font, std::wstring_view caption) override;
  [[nodiscard]] float EmBoxDrop(const FontSpec& font) override;
  [[nodiscard]] bool HasVerticalForm(const FontSpec& font, std::wstring_view ch) override;
  // A text printed a second time in a font at the same place on plain
  // ground is copied from the print kept the first time.
  void Print(float x, float y, std::wstring_view text) override;
  // Many copies of one text (decorations): blended from their glyph stamp.
  void PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) override;

  [[nodiscard]] bool LoadPicture(const std::filesystem::path& file, const PictureUse& use) override;
  void PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) override;
  [[nodiscard]] PointSize PictureSizePixels() const override;
  void PaintPicture(const Rect& sourcePixels, const Rect& destination) override;

  [[nodiscard]] PointSize CreditLabelSize() const override { return host_.CreditLabelSize(); }
  void PlaceCreditLabel(float left, float top, Rgb colour) override { host_.PlaceCreditLabel(left, top, colour); }
  // Hands the host the rectangles changed since the last refresh.
  void Refresh() override { images_.Show(host_); }
  // The rectangles changed since the last refresh (image pixels): few,
  // apart, inside the image.
  [[nodiscard]] std::span<const PixelRect> Changed() const noexcept { return images_.Changed(); }

  // The held picture is shared with a surface made before this one (the form's
  // image was remade), so the picture held carries over.
  void SharePicture(const GdiSurface& other) { picture_ = other.picture_; }
  [[nodiscard]] HeldPicture& Picture() noexcept { return *picture_; }

  // What a rehearsal of the next page shares with this surface.
  [[nodiscard]] PrintCaches& Caches() noexcept { return caches_; }
  [[nodiscard]] HDC MeasuringDc() const noexcept { return images_.Dc(); }
  // The plain ground last cleared to, else the ground colour.
  [[nodiscard]] Rgb GroundColour() const noexcept { return images_.Clean() ? images_.CleanColour() : back_; }

 private:
  [[nodiscard]] CachedFont SelectedFont();
  // True when drawing the stamp in the type colour would change no pixel.
  [[nodiscard]] bool InkUnchanged(const GlyphStamp& stamp, int refX, int refY, const ImagePixels& image);
  // The print's choices on plain ground: true when the text needs no print
  // (copied from a kept print, or changing nothing); keep set when what the
  // print draws is to be kept.
  [[nodiscard]] bool PrintedWithoutSystem(const CachedFont& font, int px, int py, std::wstring_view text,
                                          const ImagePixels& image, bool& keep);

  GroundImages images_;
  PrintCaches caches_;
  int width_;
  int height_;
  float tppX_;
  float tppY_;
  SurfaceHost& host_;
  Rgb fore_{255, 255, 255};
  Rgb back_{0, 0, 0};
  FontSpec selected_;
  bool hasSelected_ = false;
  // The font of selected_ while the caches' fonts are of selectedGeneration_.
  CachedFont selectedFont_;
  std::uint32_t selectedGeneration_ = 0;
  std::shared_ptr<HeldPicture> picture_ = std::make_shared<HeldPicture>();
};

}  // namespace zor::win
