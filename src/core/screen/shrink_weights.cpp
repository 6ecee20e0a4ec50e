#include "core/screen/shrink_weights.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "core/screen/area_weights.h"

namespace zor::shrink {

int SourceEdgeFrom(std::uint32_t u, int from, int to) noexcept {
  int lo = 0;
  int hi = from;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (EdgeAt(mid, from, to) >= u) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

ColumnWeights MakeColumnWeights(int from, int to, int firstColumn, int endColumn, bool spread) {
  // Start a little before the band's first source column and walk to it.
  const int before = std::max(0, static_cast<int>(static_cast<std::int64_t>(firstColumn) * from / std::max(1, to)) - 1);
  const AxisOverlaps<std::uint32_t> overlaps = AreaOverlaps<std::uint32_t>(
      firstColumn, endColumn,
      [](int j) {
        return std::pair{static_cast<std::uint32_t>(j) * kUnit, static_cast<std::uint32_t>(j) * kUnit + kUnit};
      },
      [from, to](int x) { return EdgeAt(x, from, to); }, before, from);
  ColumnWeights w;
  const std::size_t columns = overlaps.first.size();
  for (const int count : overlaps.count) w.taps = std::max(w.taps, count);
  if (columns > 0) {
    w.firstSource = overlaps.first.front();
    w.sources = overlaps.first.back() + overlaps.count.back() - w.firstSource;
  }
  const auto taps = static_cast<std::size_t>(w.taps);
  const std::size_t copies = spread ? kSpread : 1;
  w.start.reserve(columns);
  w.weights.assign(columns * taps * copies, 0u);
  for (std::size_t c = 0; c < columns; ++c) {
    const int own = overlaps.first[c] - w.firstSource;
    const int start = std::max(0, std::min(own, w.sources - w.taps));
    w.start.push_back(start);
    for (int k = 0; k < overlaps.count[c]; ++k) {
      const std::size_t tap = c * taps + static_cast<std::size_t>(own - start + k);
      std::fill_n(w.weights.begin() + static_cast<std::ptrdiff_t>(tap * copies), copies,
                  overlaps.weights[overlaps.at[c] + static_cast<std::size_t>(k)]);
    }
  }
  return w;
}

}  // namespace zor::shrink
