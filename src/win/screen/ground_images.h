// The image a GDI surface draws on, and the second image it may keep beside
// it, each with what differs from its plain ground; and what changed since
// the image was last shown.
#pragma once

#include <windows.h>

#include <span>

#include "core/screen/changed_rects.h"
#include "core/screen/palette.h"
#include "win/screen/image_pixels.h"
#include "win/screen/surface_host.h"

namespace zor::win {

// One image: it was cleared to cleanColour (when clean) and only the dirty
// rectangles were drawn on since.
struct GroundImage {
  GroundImage(HDC imageDc, int width, int height)
      : dc(imageDc), dirty(width, height, kMaxDirty, ChangedRects::Joining::kAppend) {}
  static constexpr std::size_t kMaxDirty = 96;
  HDC dc = nullptr;
  bool pixelsLooked = false;
  ImagePixels pixels;
  bool clean = false;
  Rgb cleanColour{0, 0, 0};
  ChangedRects dirty;
};

class GroundImages {
 public:
  GroundImages(HDC dc, int width, int height);

  [[nodiscard]] HDC Dc() const noexcept { return drawn_.dc; }
  // The drawn image's pixels, looked up once per image (none where the DC
  // holds no 32-bit DIB of the size).
  [[nodiscard]] ImagePixels Pixels();
  [[nodiscard]] bool Clean() const noexcept { return drawn_.clean; }
  [[nodiscard]] Rgb CleanColour() const noexcept { return drawn_.cleanColour; }

  // Makes the drawn image the plain colour: only what was drawn since the
  // last clear is filled where the ground is that colour already; otherwise
  // the second image is drawn on from now on where its ground is the one
  // asked for, or the drawn one's is plain and of another colour. True when
  // the image drawn on changed.
  bool Clear(Rgb colour, SurfaceHost& host);
  // Takes the drawing bounds of the last GDI calls.
  void NoteDrawn();
  void AddDrawn(const PixelRect& r);
  // True when the rectangle is still the plain ground of the colour.
  [[nodiscard]] bool UntouchedGround(const PixelRect& r, Rgb colour) const;

  // The rectangles changed since the last showing: few, apart, inside the image.
  [[nodiscard]] std::span<const PixelRect> Changed() const noexcept { return changed_.Rects(); }
  // Hands the host what changed since the last showing.
  void Show(SurfaceHost& host);

 private:
  [[nodiscard]] bool ChangeToSpare(Rgb colour, SurfaceHost& host);
  GroundImage drawn_;
  GroundImage spare_;
  bool spareAsked_ = false;
  ChangedRects changed_;
};

// Transparent text from the top-left of its cell; drawing bounds on.
void PrepareImageDc(HDC dc);

}  // namespace zor::win
