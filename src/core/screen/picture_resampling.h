// Resampling of kept 32-bit pixels (0x00RRGGBB) onto a page: area averaging
// when shrinking and bilinear interpolation when enlarging.
#pragma once

#include <cstdint>

#include "core/screen/pixel_rect.h"
#include "core/screen/surface.h"

namespace zor {

// 32-bit pixels: width × height, rows stride pixels apart.
struct PixelView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// Resamples the source rectangle (picture pixels, fractions allowed) to a
// destination of destW × destH pixels and writes the part inside clip
// (destination coordinates) to out, clip.width() pixels per row.
void Resample(const PixelView& source, const Rect& sourceRect, int destW, int destH, const PixelRect& clip,
              std::uint32_t* out);

}  // namespace zor
