// Which monitors the saver must cover besides the one its form fills.
#pragma once

#include <vector>

#include "core/screen/pixel_rect.h"

namespace zor {

// Every monitor that the form's rectangle does not wholly contain (empty
// monitors are skipped).
[[nodiscard]] std::vector<PixelRect> MonitorsToCover(const std::vector<PixelRect>& monitors, const PixelRect& form);

}  // namespace zor
