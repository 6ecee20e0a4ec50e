// A size in whole pixels.
#pragma once

namespace zor {

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

}  // namespace zor
