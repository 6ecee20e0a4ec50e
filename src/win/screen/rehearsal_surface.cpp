#include "win/screen/rehearsal_surface.h"

#include <vector>

namespace zor::win {

RehearsalSurface::RehearsalSurface(GdiSurface& page)
    : page_(page),
      caches_(page.Caches()),
      fore_(page.ForeColour()),
      back_(page.BackColour()),
      ground_(page.GroundColour()) {}

void RehearsalSurface::SelectFont(const FontSpec& font) {
  selected_ = font;
  hasSelected_ = true;
  // Selected as the page will select it: the system realises the font now,
  // not on the page.
  const CachedFont made = SelectedFont();
  if (made.handle) SelectObject(page_.MeasuringDc(), made.handle);
}

CachedFont RehearsalSurface::SelectedFont() {
  if (!hasSelected_) return {};
  return caches_.FontFor(page_.MeasuringDc(), selected_, page_.TwipsPerPixelY());
}

void RehearsalSurface::Print(float, float, std::wstring_view text) {
  if (!text.empty()) RehearsePrint(text);
}

void RehearsalSurface::RehearsePrint(std::wstring_view text) {
  const CachedFont font = SelectedFont();
  if (!font.handle) return;
  if (fore_ == ground_) {
    bool blank = false;
    const POINT alone[1] = {{0, 0}};
    if (caches_.StampFor(page_.MeasuringDc(), font, selected_.escapement, text, alone, 0, blank) || blank) return;
  }
  caches_.MakeGlyphs(page_.MeasuringDc(), font.handle, selected_.escapement, text);
}

void RehearsalSurface::PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) {
  if (text.empty() || offsets.empty()) return;
  const CachedFont font = SelectedFont();
  if (offsets.size() <= 2 || !font.handle) {
    RehearsePrint(text);
    return;
  }
  std::vector<POINT> shifts;
  const int reach = CopyShifts(x, y, offsets, page_.TwipsPerPixelX(), page_.TwipsPerPixelY(), shifts);
  bool blank = false;
  const GlyphStamp* stamp =
      caches_.StampFor(page_.MeasuringDc(), font, selected_.escapement, text, shifts, reach, blank);
  if (stamp && !(fore_ == ground_)) (void)caches_.OnGround(*stamp, fore_, ground_);
}

}  // namespace zor::win
