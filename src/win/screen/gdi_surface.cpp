#include "win/screen/gdi_surface.h"

#include <algorithm>
#include <cmath>

#include "core/screen/glyph_drawing.h"
#include "core/screen/points_and_pixels.h"
#include "win/common/palette_colours.h"

namespace zor::win {

GdiSurface::GdiSurface(HDC dc, int width, int height, float twipsPerPixelX, float twipsPerPixelY, SurfaceHost& host)
    : images_(dc, width, height),
      width_(width),
      height_(height),
      tppX_(twipsPerPixelX),
      tppY_(twipsPerPixelY),
      host_(host) {
  caches_.UsedBy(dc);
}

float GdiSurface::ScaleWidth() const { return PixelsToPoints(static_cast<float>(width_), tppX_); }
float GdiSurface::ScaleHeight() const { return PixelsToPoints(static_cast<float>(height_), tppY_); }

void GdiSurface::Clear() {
  if (!images_.Clear(back_, host_)) return;
  // Drawing goes to the other image from now on.
  caches_.UsedBy(images_.Dc());
  if (hasSelected_ && selectedFont_.handle && selectedGeneration_ == caches_.FontGeneration()) {
    SelectObject(images_.Dc(), selectedFont_.handle);
  }
}

bool GdiSurface::FaceInstalled(std::wstring_view face) { return caches_.ListedFace(images_.Dc(), face) != nullptr; }

void GdiSurface::SelectFont(const FontSpec& font) {
  selected_ = font;
  hasSelected_ = true;
  selectedFont_ = caches_.FontFor(images_.Dc(), font, tppY_);
  selectedGeneration_ = caches_.FontGeneration();
  if (selectedFont_.handle) SelectObject(images_.Dc(), selectedFont_.handle);
}

CachedFont GdiSurface::SelectedFont() {
  if (!hasSelected_) return {};
  if (!selectedFont_.handle || selectedGeneration_ != caches_.FontGeneration()) {
    selectedFont_ = caches_.FontFor(images_.Dc(), selected_, tppY_);
    selectedGeneration_ = caches_.FontGeneration();
  }
  return selectedFont_;
}

TextExtent GdiSurface::MeasureText(const FontSpec& font, std::wstring_view caption) {
  FontSpec upright = font;
  upright.escapement = 0;
  const CachedFont made = caches_.FontFor(images_.Dc(), upright, tppY_);
  if (!made.handle) return {};
  return caches_.Measure(images_.Dc(), made, caption, tppX_, tppY_);
}

float GdiSurface::EmBoxDrop(const FontSpec& font) {
  FontSpec upright = font;
  upright.escapement = 0;
  const CachedFont made = caches_.FontFor(images_.Dc(), upright, tppY_);
  if (!made.handle) return 0.0f;
  return PixelsToPoints(caches_.EmBoxDrop(images_.Dc(), made), tppY_);
}

bool GdiSurface::HasVerticalForm(const FontSpec& font, std::wstring_view ch) {
  FontSpec horizontal = font;
  horizontal.escapement = 0;
  if (IsVerticalFace(horizontal.face)) horizontal.face.erase(0, 1);
  FontSpec vertical = horizontal;
  vertical.face.insert(0, 1, L'@');
  const CachedFont plain = caches_.FontFor(images_.Dc(), horizontal, tppY_);
  const CachedFont turned = caches_.FontFor(images_.Dc(), vertical, tppY_);
  if (!plain.handle || !turned.handle) return true;
  return caches_.HasVerticalForm(images_.Dc(), plain, turned, horizontal.face, ch);
}

bool GdiSurface::InkUnchanged(const GlyphStamp& stamp, int refX, int refY, const ImagePixels& image) {
  // Copies in the colour the pixels under them already have change nothing
  // (an outline in the ground colour on a plain ground): a quick look first.
  return images_.UntouchedGround(stamp.BoxAt(refX, refY), fore_) || InkAlreadyOfColour(stamp, refX, refY, fore_, image);
}

bool GdiSurface::PrintedWithoutSystem(const CachedFont& font, int px, int py, std::wstring_view text,
                                      const ImagePixels& image, bool& keep) {
  const Rgb ground = images_.CleanColour();
  if (!caches_.PrintedBefore(font.id, px, py, text)) {
    // Its footprint made ahead (a rehearsal) tells a first print in the
    // ground's colour that would change nothing.
    if (!(ground == fore_)) return false;
    const GlyphStamp* footprint = caches_.KnownFootprint(font.id, text);
    if (!footprint) return false;
    GdiFlush();
    return InkUnchanged(*footprint, px, py, image);
  }
  GdiFlush();
  const KeptPrint* kept = caches_.KeptPrintAt({font.id, ToColorRef(fore_), ToColorRef(ground), px, py, text});
  if (kept && images_.UntouchedGround(kept->BoxAt(px, py), ground)) {
    images_.AddDrawn(CopyKeptPrint(*kept, px, py, image));
    return true;
  }
  if (ground == fore_) {
    bool blank = false;
    const POINT alone[1] = {{0, 0}};
    const GlyphStamp* footprint = caches_.StampFor(images_.Dc(), font, selected_.escapement, text, alone, 0, blank);
    if (blank || (footprint && InkUnchanged(*footprint, px, py, image))) return true;
  }
  keep = kept == nullptr;
  return false;
}

void GdiSurface::Print(float x, float y, std::wstring_view text) {
  if (text.empty()) return;
  const CachedFont font = SelectedFont();
  // A text printed a second time in a font at the same place onto the plain
  // ground is kept as the system's print gave it there, and copied from then
  // on: the same pixels, for less than the system's print. Type in the
  // colour of a plain ground (a shadow on it) often lands on pixels of that
  // colour alone: then it changes nothing and is not drawn at all. What is
  // printed once is printed as ever: keeping a print costs a look at what it drew.
  const int px = PointsToPixels(x, tppX_);
  const int py = PointsToPixels(y, tppY_);
  const ImagePixels image = font.handle && images_.Clean() ? images_.Pixels() : ImagePixels{};
  bool keep = false;
  if (image && PrintedWithoutSystem(font, px, py, text, image, keep)) return;
  HDC dc = images_.Dc();
  if (font.handle) SelectObject(dc, font.handle);
  SetTextColor(dc, ToColorRef(fore_));
  TextOutW(dc, px, py, text.data(), static_cast<int>(text.size()));
  // Kept from this print where all it drew on (its drawing bounds) was
  // plain ground before it.
  RECT drawn{};
  if (keep && (GetBoundsRect(dc, &drawn, 0) & DCB_SET) != 0 &&
      images_.UntouchedGround(ToPixelRect(drawn), images_.CleanColour())) {
    GdiFlush();
    const Rgb ground = images_.CleanColour();
    if (auto kept = KeepFromImage(image, ToPixelRect(drawn), ground, px, py)) {
      caches_.KeepPrint({font.id, ToColorRef(fore_), ToColorRef(ground), px, py, text}, std::move(*kept));
    }
  }
  images_.NoteDrawn();
}

void GdiSurface::PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) {
  if (text.empty() || offsets.empty()) return;
  const ImagePixels image = offsets.size() > 2 && hasSelected_ ? images_.Pixels() : ImagePixels{};
  const CachedFont font = SelectedFont();
  if (!image || !font.handle) {
    Surface::PrintCopies(x, y, text, offsets);
    return;
  }
  // Where each copy lands, in whole pixels, exactly as its own print would.
  const int refX = PointsToPixels(x, tppX_);
  const int refY = PointsToPixels(y, tppY_);
  std::vector<POINT> shifts;
  const int reach = CopyShifts(x, y, offsets, tppX_, tppY_, shifts);

  GdiFlush();  // the image's pixels are read and written directly below
  bool blank = false;
  const GlyphStamp* stamp = caches_.StampFor(images_.Dc(), font, selected_.escapement, text, shifts, reach, blank);
  if (blank) return;  // nothing to draw (blanks)
  if (!stamp) {
    Surface::PrintCopies(x, y, text, offsets);
    return;
  }
  // On plain ground the blend is copied from the one kept for these colours.
  const Rgb ground = images_.CleanColour();
  if (images_.UntouchedGround(stamp->BoxAt(refX, refY), ground)) {
    if (!(fore_ == ground)) images_.AddDrawn(CopyKeptPrint(caches_.OnGround(*stamp, fore_, ground), refX, refY, image));
    return;
  }
  if (InkUnchanged(*stamp, refX, refY, image)) return;
  images_.AddDrawn(stamp->BoxAt(refX, refY));
  BlendStamp(*stamp, refX, refY, fore_, image);
}

bool GdiSurface::LoadPicture(const std::filesystem::path& file, const PictureUse& use) {
  return picture_->Load(file, {width_, height_}, use) == PictureLoad::kLoaded;
}

void GdiSurface::PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) {
  picture_->Prefetch(file, {width_, height_}, use);
}

PointSize GdiSurface::PictureSizePixels() const {
  const PixelSize own = picture_->OwnSize();
  return {static_cast<float>(own.width), static_cast<float>(own.height)};
}

void GdiSurface::PaintPicture(const Rect& sourcePixels, const Rect& destination) {
  const float kx = 20.0f / tppX_;
  const float ky = 20.0f / tppY_;
  picture_->Paint(images_.Dc(), width_, height_, sourcePixels,
                  {destination.x * kx, destination.y * ky, destination.width * kx, destination.height * ky});
  images_.NoteDrawn();
  // The whole destination counts as drawn, whatever the bounds reported.
  const double x0 = std::floor(static_cast<double>(destination.x * kx)) - 1;
  const double y0 = std::floor(static_cast<double>(destination.y * ky)) - 1;
  const double x1 = std::ceil(static_cast<double>((destination.x + destination.width) * kx)) + 1;
  const double y1 = std::ceil(static_cast<double>((destination.y + destination.height) * ky)) + 1;
  const auto clamp = [](double v) { return static_cast<int>(std::clamp(v, -1.0e9, 1.0e9)); };
  images_.AddDrawn({clamp(x0), clamp(y0), clamp(x1), clamp(y1)});
}

}  // namespace zor::win
