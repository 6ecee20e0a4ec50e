// How a stored picture is turned and mirrored to stand upright: the eight
// values of the orientation tag cameras write, the upright size, which
// stored pixels a part of the upright picture comes from, and the upright
// pixels themselves.
#pragma once

#include <cstdint>

#include "core/screen/pixel_rect.h"
#include "core/screen/pixel_size.h"

namespace zor {

// The tag's values: how the stored rows and columns stand on the screen.
enum class Orientation : std::uint8_t {
  kUpright = 1,          // as stored
  kMirrored = 2,         // left and right swapped
  kHalfTurn = 3,         // turned 180°
  kFlipped = 4,          // top and bottom swapped
  kTransposed = 5,       // mirrored along the diagonal from the top-left
  kQuarterRight = 6,     // turned 90° clockwise to stand upright
  kTransverse = 7,       // mirrored along the diagonal from the top-right
  kQuarterLeft = 8,      // turned 90° anticlockwise to stand upright
};

// A tag value as an orientation; anything outside 1..8 is upright.
[[nodiscard]] Orientation OrientationFromTag(std::uint32_t value) noexcept;

// True when the upright picture's width is the stored height.
[[nodiscard]] constexpr bool SwapsSides(Orientation o) noexcept { return static_cast<int>(o) >= 5; }

[[nodiscard]] PixelSize UprightSize(PixelSize stored, Orientation o) noexcept;

// The rectangle of the stored picture whose pixels make the given part of
// the upright one.
[[nodiscard]] PixelRect StoredRect(const PixelRect& upright, PixelSize stored, Orientation o) noexcept;

// The upright pixels of a stored image of width × height pixels (rows
// packed, top first) into out, which holds UprightSize's pixels.
void OrientPixels(const std::uint32_t* stored, int width, int height, Orientation o, std::uint32_t* out) noexcept;

}  // namespace zor
