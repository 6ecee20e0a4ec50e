// Which monitors the saver must cover besides the one its form fills.
#pragma once

#include <vector>

namespace zor {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Every monitor that the form's rectangle does not wholly contain (empty
// monitors are skipped).
[[nodiscard]] std::vector<PixelRect> MonitorsToCover(const std::vector<PixelRect>& monitors, const PixelRect& form);

}  // namespace zor
