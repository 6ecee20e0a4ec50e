#include "win/screen/ground_images.h"

#include <utility>

#include "win/common/handles.h"
#include "win/common/palette_colours.h"

namespace zor::win {

namespace {
constexpr std::size_t kMaxChanged = 12;
}  // namespace

void PrepareImageDc(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  // Drawing bounds tell Clear what differs from the ground.
  SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_RESET);
}

ImagePixels PixelsOf(HDC dc, int width, int height) {
  DIBSECTION dib{};
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits || dib.dsBm.bmBitsPixel != 32 ||
      dib.dsBm.bmWidth != width || dib.dsBm.bmHeight != height) {
    return {};
  }
  // Every image of the program is a top-down DIB (the reported height is not
  // signed on every system, so the orientation is not read back here).
  return {static_cast<std::uint32_t*>(dib.dsBm.bmBits), dib.dsBm.bmWidthBytes / 4, width, height};
}

GroundImages::GroundImages(HDC dc, int width, int height)
    : drawn_(dc, width, height),
      spare_(nullptr, width, height),
      changed_(width, height, kMaxChanged, ChangedRects::Joining::kMerge) {
  PrepareImageDc(dc);
}

ImagePixels GroundImages::Pixels() {
  // The image behind the DC stays the same for the surface's life.
  if (!drawn_.pixelsLooked) {
    drawn_.pixelsLooked = true;
    const PixelRect all = changed_.All();
    drawn_.pixels = PixelsOf(drawn_.dc, all.width(), all.height());
  }
  return drawn_.pixels;
}

bool GroundImages::ChangeToSpare(Rgb colour, SurfaceHost& host) {
  if (!spare_.dc) {
    // Made only once a plain ground gives way to another plain one.
    if (spareAsked_ || !drawn_.clean) return false;
    spareAsked_ = true;
    spare_.dc = host.SecondImage();
    if (!spare_.dc) return false;
    PrepareImageDc(spare_.dc);
  }
  if (!(spare_.clean && spare_.cleanColour == colour) && !drawn_.clean) return false;
  std::swap(drawn_, spare_);
  host.ShowImage(drawn_.dc);
  // The screen shows the other image: all of this one is to be shown.
  changed_.Add(changed_.All());
  return true;
}

bool GroundImages::Clear(Rgb colour, SurfaceHost& host) {
  UniqueBrush brush(CreateSolidBrush(ToColorRef(colour)));
  bool changedImage = false;
  if (!(drawn_.clean && drawn_.cleanColour == colour)) changedImage = ChangeToSpare(colour, host);
  if (drawn_.clean && drawn_.cleanColour == colour) {
    // Only what was drawn since the last clear differs from the ground.
    for (const PixelRect& r : drawn_.dirty.Rects()) {
      const RECT fill = ToRect(r);
      FillRect(drawn_.dc, &fill, brush.get());
      changed_.Add(r);
    }
  } else {
    const RECT all = ToRect(changed_.All());
    FillRect(drawn_.dc, &all, brush.get());
    changed_.Add(changed_.All());
    // The drawing bounds must report the fill, or they cannot be trusted.
    RECT bounds{};
    drawn_.clean = (GetBoundsRect(drawn_.dc, &bounds, 0) & DCB_SET) != 0 && EqualRect(&bounds, &all);
  }
  GetBoundsRect(drawn_.dc, nullptr, DCB_RESET);
  drawn_.dirty.clear();
  drawn_.cleanColour = colour;
  return changedImage;
}

void GroundImages::NoteDrawn() {
  RECT r{};
  if ((GetBoundsRect(drawn_.dc, &r, DCB_RESET) & DCB_SET) != 0) AddDrawn(ToPixelRect(r));
}

void GroundImages::AddDrawn(const PixelRect& r) {
  const PixelRect inside = drawn_.dirty.Add(r);
  if (!IsEmpty(inside)) changed_.Add(inside);
}

bool GroundImages::UntouchedGround(const PixelRect& r, Rgb colour) const {
  return drawn_.clean && drawn_.cleanColour == colour && !drawn_.dirty.Meets(r);
}

void GroundImages::Show(SurfaceHost& host) {
  // All of the image to show, and it is the plain ground but for what was
  // drawn since the clear: a fill and those rectangles show it for less.
  if (!(changed_.CoversAll() && drawn_.clean && host.RefreshOnGround(drawn_.cleanColour, drawn_.dirty.Rects()))) {
    host.Refresh(changed_.Rects());
  }
  changed_.clear();
}

}  // namespace zor::win
