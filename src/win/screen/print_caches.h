// What a GDI surface makes to print and keeps for the next time: fonts,
// measures, the places texts were printed at, kept prints and glyph stamps.
// A page and the rehearsal of the next page share them.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "core/screen/surface.h"
#include "win/screen/cache_budget.h"
#include "win/screen/font_cache.h"
#include "win/screen/glyph_stamps.h"
#include "win/screen/kept_prints.h"

namespace zor::win {

class PrintCaches {
 public:
  // The font of the description, its size in points turned into whole pixels.
  [[nodiscard]] CachedFont FontFor(HDC dc, const FontSpec& font, float twipsPerPixelY);
  [[nodiscard]] const std::wstring* ListedFace(HDC dc, std::wstring_view face) { return fonts_.Listed(dc, face); }
  void UsedBy(HDC dc) { fonts_.UsedBy(dc); }
  [[nodiscard]] std::uint32_t FontGeneration() const noexcept { return fonts_.Generation(); }

  // The caption laid out in the font (a font measures a caption the same
  // every time: asked once), in points.
  [[nodiscard]] TextExtent Measure(HDC dc, const CachedFont& font, std::wstring_view caption, float twipsPerPixelX,
                                   float twipsPerPixelY);

  // How many pixels the top of the font's ideographic em box lies below the
  // top of its character cell (asked once per font).
  [[nodiscard]] float EmBoxDrop(HDC dc, const CachedFont& font);
  // True when the turned font (the "@" form of face) maps ch to another
  // glyph than the plain one: a vertical form (asked once per face).
  [[nodiscard]] bool HasVerticalForm(HDC dc, const CachedFont& plain, const CachedFont& turned,
                                     const std::wstring& face, std::wstring_view ch);

  // Notes a text printed in a font at a place (its reference point in
  // pixels); true when it was printed there since the fonts were last let go.
  [[nodiscard]] bool PrintedBefore(FontId font, int x, int y, std::wstring_view text);

  [[nodiscard]] const KeptPrint* KeptPrintAt(const KeptPrints::Place& place) const { return keptPrints_.Find(place); }
  void KeepPrint(const KeptPrints::Place& place, KeptPrint&& kept);

  // The merged coverage of the text's copies at the shifts (pixels), kept or
  // made now; null where it cannot be made, and blank set when the text has no ink.
  [[nodiscard]] const GlyphStamp* StampFor(HDC measuring, const CachedFont& font, int escapement,
                                           std::wstring_view text, std::span<const POINT> shifts, int reach,
                                           bool& blank);
  // The text's coverage alone (its footprint), when it was made before; null otherwise.
  [[nodiscard]] const GlyphStamp* KnownFootprint(FontId font, std::wstring_view text);
  [[nodiscard]] const KeptPrint& OnGround(const GlyphStamp& stamp, Rgb type, Rgb ground);
  void MakeGlyphs(HDC measuring, HFONT font, int escapement, std::wstring_view text) {
    stamps_.MakeGlyphs(measuring, font, escapement, text);
  }

 private:
  // Counts bytes about to be kept; all kept prints and stamps go first where they do not fit.
  void MakeRoom(std::size_t bytes);

  static constexpr std::size_t kMaxMeasures = 4096;
  static constexpr std::size_t kKeptBytes = 16u << 20;
  FontCache fonts_;
  std::map<std::pair<FontId, std::wstring>, TextExtent, std::less<>> measures_;
  std::map<FontId, float> drops_;
  std::map<std::pair<std::wstring, std::wstring>, bool> verticalForms_;
  // A text printed in a font at a place (its reference point in pixels).
  std::set<std::tuple<FontId, int, int, std::wstring>, std::less<>> printed_;
  std::uint32_t printedGeneration_ = 0;  // the font generation printed_ was noted in
  KeptPrints keptPrints_;
  GlyphStamps stamps_;
  CacheBudget budget_{kKeptBytes};
};

}  // namespace zor::win
