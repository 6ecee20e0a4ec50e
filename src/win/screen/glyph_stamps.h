// Glyph stamps: the coverage of a text's copies (a decoration prints one
// text many times), rasterised once on a scratch page, merged by taking the
// strongest coverage at each pixel, kept, and blended onto the image in one
// pass; blended onto a plain ground once and kept as a print.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/screen/palette.h"
#include "core/screen/surface.h"
#include "win/common/dib.h"
#include "win/screen/font_cache.h"
#include "win/screen/image_pixels.h"
#include "win/screen/kept_prints.h"

namespace zor::win {

// The merged coverage of a text's copies in its box.
struct GlyphStamp : BoxAroundReference {
  std::vector<std::uint8_t> alpha;
  std::vector<std::pair<int, int>> spans;  // first and last inked column of each row
  // The inked pixels row by row, as runs of full or of partial coverage.
  struct Run {
    int row;
    int col;
    int length;
    bool solid;
  };
  std::vector<Run> runs;
  void AddRuns(int row, const std::uint8_t* coverage, int from, int to);
  // The stamp blended onto plain grounds, per type and ground colour.
  mutable std::vector<std::pair<std::pair<COLORREF, COLORREF>, KeptPrint>> onGround;
  [[nodiscard]] std::size_t Bytes() const noexcept { return alpha.size() + runs.size() * sizeof(Run); }
};

// Where each copy lands relative to (x, y) points, in whole pixels exactly
// as its own print would; returns the largest shift along either axis.
int CopyShifts(float x, float y, std::span<const Offset> offsets, float twipsPerPixelX, float twipsPerPixelY,
               std::vector<POINT>& shifts);

// Blends the stamp in the colour with its reference point at (refX, refY);
// only the inked runs are visited.
void BlendStamp(const GlyphStamp& stamp, int refX, int refY, Rgb colour, const ImagePixels& image);
// True when every pixel the stamp inks already has the colour.
[[nodiscard]] bool InkAlreadyOfColour(const GlyphStamp& stamp, int refX, int refY, Rgb colour,
                                      const ImagePixels& image);
// The stamp blended in the type colour onto the plain ground, kept with the
// stamp or made now; bytesAdded tells what making it kept.
[[nodiscard]] const KeptPrint& StampOnGround(const GlyphStamp& stamp, Rgb type, Rgb ground, std::size_t& bytesAdded);

class GlyphStamps {
 public:
  // The stamp of the text's copies at the shifts, when kept.
  [[nodiscard]] const GlyphStamp* Find(FontId font, std::wstring_view text, std::span<const POINT> shifts);
  // Rasterises the text in the font (selected by the measuring DC; turned by
  // escapement) on the scratch page and merges its copies; false where it
  // cannot be made, and blank set when the text has no ink.
  [[nodiscard]] bool Make(HDC measuring, HFONT font, int escapement, std::wstring_view text,
                          std::span<const POINT> shifts, int reach, bool& blank, GlyphStamp& made);
  // Keeps a stamp made for the shifts last asked for in Find.
  const GlyphStamp& Keep(FontId font, std::wstring_view text, GlyphStamp&& stamp);
  // The text printed on the scratch page alone: the system makes its glyphs.
  void MakeGlyphs(HDC measuring, HFONT font, int escapement, std::wstring_view text);
  void Clear() noexcept { stamps_.clear(); }
  [[nodiscard]] HDC ScratchDc() const noexcept { return scratch_.dc(); }

 private:
  // The box a text can cover around its reference point, widened by reach
  // (its cells alone without the margin), and a scratch page at least that
  // large; false when it cannot be had.
  bool TextBox(HDC measuring, HFONT font, int escapement, std::wstring_view text, int reach, int& ox, int& oy, int& w,
               int& h, bool margin = true);

  struct Key {
    FontId font;
    std::wstring text;
    std::vector<long> shifts;
  };
  // Stamps are looked up by a view of the key: a print makes no copies.
  struct KeyView {
    FontId font;
    std::wstring_view text;
    std::span<const long> shifts;
  };
  struct Order {
    using is_transparent = void;
    static KeyView View(const Key& k) noexcept { return {k.font, k.text, k.shifts}; }
    static KeyView View(const KeyView& k) noexcept { return k; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      const KeyView x = View(a), y = View(b);
      if (x.font != y.font) return x.font < y.font;
      if (const int c = x.text.compare(y.text); c != 0) return c < 0;
      return std::lexicographical_compare(x.shifts.begin(), x.shifts.end(), y.shifts.begin(), y.shifts.end());
    }
  };
  std::map<Key, GlyphStamp, Order> stamps_;
  std::vector<long> shiftKeys_;  // the shifts of the last Find, as a key
  DibImage scratch_;
  std::vector<std::uint8_t> coverage_;
  std::vector<std::uint8_t> merged_;
};

}  // namespace zor::win
