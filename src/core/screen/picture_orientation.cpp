#include "core/screen/picture_orientation.h"

#include <algorithm>
#include <cstddef>

namespace zor {

namespace {

struct Point {
  int x;
  int y;
};

// The stored pixel at the upright pixel (x, y) of a stored picture w × h.
Point StoredPoint(int x, int y, int w, int h, Orientation o) noexcept {
  switch (o) {
    case Orientation::kUpright: return {x, y};
    case Orientation::kMirrored: return {w - 1 - x, y};
    case Orientation::kHalfTurn: return {w - 1 - x, h - 1 - y};
    case Orientation::kFlipped: return {x, h - 1 - y};
    case Orientation::kTransposed: return {y, x};
    case Orientation::kQuarterRight: return {y, h - 1 - x};
    case Orientation::kTransverse: return {w - 1 - y, h - 1 - x};
    case Orientation::kQuarterLeft: return {w - 1 - y, x};
  }
  return {x, y};
}

}  // namespace

Orientation OrientationFromTag(std::uint32_t value) noexcept {
  return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::kUpright;
}

PixelSize UprightSize(PixelSize stored, Orientation o) noexcept {
  return SwapsSides(o) ? PixelSize{stored.height, stored.width} : stored;
}

PixelRect StoredRect(const PixelRect& upright, PixelSize stored, Orientation o) noexcept {
  if (upright.width() <= 0 || upright.height() <= 0) return {};
  const Point a = StoredPoint(upright.left, upright.top, stored.width, stored.height, o);
  const Point b = StoredPoint(upright.right - 1, upright.bottom - 1, stored.width, stored.height, o);
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

void OrientPixels(const std::uint32_t* stored, int width, int height, Orientation o, std::uint32_t* out) noexcept {
  const PixelSize up = UprightSize({width, height}, o);
  // In square blocks, so that a quarter turn reads the stored rows a block
  // at a time rather than one pixel of each row in turn.
  constexpr int kBlock = 64;
  for (int by = 0; by < up.height; by += kBlock) {
    const int ey = std::min(up.height, by + kBlock);
    for (int bx = 0; bx < up.width; bx += kBlock) {
      const int ex = std::min(up.width, bx + kBlock);
      for (int y = by; y < ey; ++y) {
        std::uint32_t* row = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(up.width);
        for (int x = bx; x < ex; ++x) {
          const Point s = StoredPoint(x, y, width, height, o);
          const std::size_t at = static_cast<std::size_t>(s.y) * static_cast<std::size_t>(width) + s.x;
          row[x] = stored[at];
        }
      }
    }
  }
}

}  // namespace zor
