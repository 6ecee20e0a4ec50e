#include "win/screen/print_caches.h"

#include <algorithm>
#include <vector>

#include "core/screen/points_and_pixels.h"
#include "win/common/handles.h"

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

namespace {

// The em square in font units, and the ascent and the typographic descent
// in those units (the font made at one pixel per unit, so nothing is
// rounded); false for a face that is no outline font.
bool DesignMetrics(HDC dc, HFONT font, int& emSquare, int& ascent, int& descent) {
  OUTLINETEXTMETRICW otm[2]{};
  otm[0].otmSize = sizeof(OUTLINETEXTMETRICW);
  {
    SelectionRestorer keep(dc, font);
    if (GetOutlineTextMetricsW(dc, sizeof(otm), otm) == 0 || otm[0].otmEMSquare == 0) return false;
  }
  emSquare = static_cast<int>(otm[0].otmEMSquare);
  LOGFONTW lf{};
  if (GetObjectW(font, sizeof(lf), &lf) == 0) return false;
  lf.lfHeight = -emSquare;
  lf.lfEscapement = 0;
  lf.lfOrientation = 0;
  const UniqueFont design(CreateFontIndirectW(&lf));
  if (!design) return false;
  SelectionRestorer keep(dc, design.get());
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(dc, &tm) || GetOutlineTextMetricsW(dc, sizeof(otm), otm) == 0) return false;
  ascent = tm.tmAscent;
  descent = -otm[0].otmDescent;
  return true;
}

}  // namespace

float PrintCaches::EmBoxDrop(HDC dc, const CachedFont& font) {
  if (const auto known = drops_.find(font.id); known != drops_.end()) return known->second;
  TEXTMETRICW tm{};
  {
    SelectionRestorer keep(dc, font.handle);
    GetTextMetricsW(dc, &tm);
  }
  const auto em = static_cast<float>(tm.tmHeight - tm.tmInternalLeading);
  // GDI stands the em box of a CJK face on its typographic descender (the
  // OS/2 table's): the cell's ascent above the baseline may be far taller
  // than the em box's top. Reckoned in font units and scaled once, so that
  // a face whose em box meets its cell's top gives 0 at every size. A face
  // without a usable descender gets the usual box, 12 % of the em below.
  float drop = 0.0f;
  int emSquare = 0;
  int ascent = 0;
  int descent = 0;
  if (DesignMetrics(dc, font.handle, emSquare, ascent, descent) && descent >= 0 && descent <= emSquare / 2) {
    drop = static_cast<float>(ascent - (emSquare - descent)) * em / static_cast<float>(emSquare);
  } else {
    drop = static_cast<float>(tm.tmAscent) - 0.88f * em;
  }
  if (drops_.size() >= kMaxMeasures) drops_.clear();
  drops_.emplace(font.id, drop);
  return drop;
}

bool PrintCaches::HasVerticalForm(HDC dc, const CachedFont& plain, const CachedFont& turned, const std::wstring& face,
                                  std::wstring_view ch) {
  std::pair<std::wstring, std::wstring> key{face, std::wstring(ch)};
  if (const auto known = verticalForms_.find(key); known != verticalForms_.end()) return known->second;
  std::vector<WORD> plainGlyphs(ch.size());
  std::vector<WORD> turnedGlyphs(ch.size());
  bool differs = false;
  {
    SelectionRestorer keep(dc, plain.handle);
    GetGlyphIndicesW(dc, ch.data(), static_cast<int>(ch.size()), plainGlyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  }
  {
    SelectionRestorer keep(dc, turned.handle);
    GetGlyphIndicesW(dc, ch.data(), static_cast<int>(ch.size()), turnedGlyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  }
  differs = plainGlyphs != turnedGlyphs;
  if (verticalForms_.size() >= kMaxMeasures) verticalForms_.clear();
  verticalForms_.emplace(std::move(key), differs);
  return differs;
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
