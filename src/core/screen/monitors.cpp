#include "core/screen/monitors.h"

namespace zor {

std::vector<PixelRect> MonitorsToCover(const std::vector<PixelRect>& monitors, const PixelRect& form) {
  std::vector<PixelRect> cover;
  for (const PixelRect& m : monitors) {
    if (m.right <= m.left || m.bottom <= m.top) continue;
    const bool inside = m.left >= form.left && m.top >= form.top && m.right <= form.right && m.bottom <= form.bottom;
    if (!inside) cover.push_back(m);
  }
  return cover;
}

}  // namespace zor
