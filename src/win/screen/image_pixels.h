// The pixels of a 32-bit top-down image as the surface reads and writes
// them directly, and the conversions between GDI's rectangles and ours.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/screen/palette.h"
#include "core/screen/pixel_rect.h"

namespace zor::win {

// A colour as a pixel of the image holds it (0x00RRGGBB).
[[nodiscard]] constexpr std::uint32_t PackRgb(Rgb c) noexcept {
  return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

struct ImagePixels {
  std::uint32_t* bits = nullptr;  // null: the pixels cannot be reached
  int stride = 0;                 // pixels from one row to the next
  int width = 0;
  int height = 0;
  [[nodiscard]] explicit operator bool() const noexcept { return bits != nullptr; }
  [[nodiscard]] std::uint32_t* Row(int y) const noexcept {
    return bits + static_cast<std::ptrdiff_t>(y) * static_cast<std::ptrdiff_t>(stride);
  }
  [[nodiscard]] PixelRect Bounds() const noexcept { return {0, 0, width, height}; }
};

// The pixels of the bitmap selected into the DC when it is a 32-bit DIB
// section of the size given; none otherwise.
[[nodiscard]] ImagePixels PixelsOf(HDC dc, int width, int height);

[[nodiscard]] constexpr RECT ToRect(const PixelRect& r) noexcept { return RECT{r.left, r.top, r.right, r.bottom}; }
[[nodiscard]] constexpr PixelRect ToPixelRect(const RECT& r) noexcept {
  return PixelRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                   static_cast<int>(r.bottom)};
}

}  // namespace zor::win
