#include "win/screen/print_caches.h"

#include <algorithm>

#include "core/screen/points_and_pixels.h"

namespace zor::win {

CachedFont PrintCaches::FontFor(HDC dc, const FontSpec& font, float twipsPerPixelY) {
  return fonts_.Get(dc, font, std::max(1, PointsToPixels(font.size, twipsPerPixelY)));
}

TextExtent PrintCaches::Measure(HDC dc, const CachedFont& font, std::wstring_view caption, float twipsPerPixelX,
                                float twipsPerPixelY) {
  std::pair<FontId, std::wstring> key{font.id, std::wstring(caption)};
  if (const auto known = measures_.find(key); known != measures_.end()) return known->second;
  SelectionRestorer keep(dc, font.handle);
  SIZE size{};
  GetTextExtentPoint32W(dc, caption.data(), static_cast<int>(caption.size()), &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  TextExtent extent;
  extent.width = PixelsToPoints(static_cast<float>(size.cx), twipsPerPixelX);
  // The size the platform gave: the em height in whole pixels, back in points.
  extent.size = PixelsToPoints(static_cast<float>(tm.tmHeight - tm.tmInternalLeading), twipsPerPixelY);
  if (measures_.size() >= kMaxMeasures) measures_.clear();
  measures_.emplace(std::move(key), extent);
  return extent;
}

bool PrintCaches::PrintedBefore(FontId font, int x, int y, std::wstring_view text) {
  // Places are forgotten with the font handles: a text printed again only
  // after many other sizes is printed as a first print rather than kept
  // (keeping pays only for a text printed again soon).
  if (printedGeneration_ != fonts_.Generation()) {
    printed_.clear();
    printedGeneration_ = fonts_.Generation();
  }
  if (printed_.find(std::tuple(font, x, y, text)) != printed_.end()) return true;
  if (printed_.size() >= kMaxMeasures) printed_.clear();
  printed_.emplace(font, x, y, std::wstring(text));
  return false;
}

void PrintCaches::MakeRoom(std::size_t bytes) {
  if (budget_.ChargeOrEmpty(bytes)) {
    stamps_.Clear();
    keptPrints_.Clear();
  }
}

void PrintCaches::KeepPrint(const KeptPrints::Place& place, KeptPrint&& kept) {
  MakeRoom(kept.Bytes());
  keptPrints_.Keep(place, std::move(kept));
}

const GlyphStamp* PrintCaches::StampFor(HDC measuring, const CachedFont& font, int escapement, std::wstring_view text,
                                        std::span<const POINT> shifts, int reach, bool& blank) {
  // A text stamped before in the same font with the same copies is blended
  // from the merge kept then.
  if (const GlyphStamp* known = stamps_.Find(font.id, text, shifts)) return known;
  GlyphStamp made;
  if (!stamps_.Make(measuring, font.handle, escapement, text, shifts, reach, blank, made)) return nullptr;
  MakeRoom(made.Bytes());
  return &stamps_.Keep(font.id, text, std::move(made));
}

const GlyphStamp* PrintCaches::KnownFootprint(FontId font, std::wstring_view text) {
  const POINT alone[1] = {{0, 0}};
  return stamps_.Find(font, text, alone);
}

const KeptPrint& PrintCaches::OnGround(const GlyphStamp& stamp, Rgb type, Rgb ground) {
  std::size_t added = 0;
  const KeptPrint& kept = StampOnGround(stamp, type, ground, added);
  budget_.Charge(added);  // counted against the budget at the next print or stamp kept
  return kept;
}

}  // namespace zor::win
