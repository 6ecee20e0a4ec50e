// Points (1/72 inch) and device pixels, given twips (1/20 point) per pixel.
#pragma once

#include <cmath>

namespace zor {

// The nearest pixel, halves away from zero (positions left of or above the
// image are as exact as those on it).
[[nodiscard]] inline int PointsToPixels(float points, float twipsPerPixel) noexcept {
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0 / static_cast<double>(twipsPerPixel)));
}

[[nodiscard]] inline float PixelsToPoints(float pixels, float twipsPerPixel) noexcept {
  return pixels * twipsPerPixel / 20.0f;
}

}  // namespace zor
