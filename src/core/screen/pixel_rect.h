// A rectangle of whole pixels, right and bottom exclusive.
#pragma once

namespace zor {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  [[nodiscard]] int width() const noexcept { return right - left; }
  [[nodiscard]] int height() const noexcept { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace zor
