// Prints kept as the system drew them: a text printed again in a font at
// the same place on the same plain ground is copied from what its print
// drew, the same pixels for less than the system's print.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/screen/palette.h"
#include "core/screen/pixel_rect.h"
#include "win/screen/font_cache.h"
#include "win/screen/image_pixels.h"

namespace zor::win {

// A box of pixels relative to a text's reference point.
struct BoxAroundReference {
  int left = 0;
  int top = 0;
  int w = 0;
  int h = 0;
  // The box with the reference point at (refX, refY).
  [[nodiscard]] PixelRect BoxAt(int refX, int refY) const noexcept {
    return {refX + left, refY + top, refX + left + w, refY + top + h};
  }
};

// A text as printed in the type colour on a plain ground, at one place: in
// each row the pixels from the first to the last unlike the ground, and the
// box that holds them (the whole box the text can cover when there are
// none).
struct KeptPrint : BoxAroundReference {
  struct Run {
    int row;
    int col;
    int length;
    std::size_t first;  // its first pixel in pixels
  };
  std::vector<Run> runs;
  std::vector<std::uint32_t> pixels;
  [[nodiscard]] std::size_t Bytes() const noexcept { return pixels.size() * 4 + runs.size() * sizeof(Run); }
};

// What the print with its reference point at (refX, refY) drew within box
// on the image, which was the plain ground colour before it; nothing when
// the box lies outside the image.
[[nodiscard]] std::optional<KeptPrint> KeepFromImage(const ImagePixels& image, const PixelRect& box, Rgb ground,
                                                     int refX, int refY);
// Copies the kept print with its reference point at (refX, refY) onto the
// image; returns the box it covers (empty when it holds no pixel).
PixelRect CopyKeptPrint(const KeptPrint& kept, int refX, int refY, const ImagePixels& image);

class KeptPrints {
 public:
  struct Place {
    FontId font;
    COLORREF type;
    COLORREF ground;
    int x;
    int y;
    std::wstring_view text;
  };
  [[nodiscard]] const KeptPrint* Find(const Place& place) const;
  void Keep(const Place& place, KeptPrint&& kept);
  void Clear() noexcept { kept_.clear(); }

 private:
  // Looked up by a Place without copying its text.
  using Key = std::tuple<FontId, COLORREF, COLORREF, int, int, std::wstring>;
  [[nodiscard]] static auto LookUp(const Place& p) noexcept {
    return std::tuple(p.font, p.type, p.ground, p.x, p.y, p.text);
  }
  std::map<Key, KeptPrint, std::less<>> kept_;
};

}  // namespace zor::win
