// The reduction's fixed-point weights: where source pixel edges fall among
// output pixels, and the weights of a band's output columns.
#pragma once

#include <cstdint>
#include <vector>

#include "core/screen/shrink_kernels.h"

namespace zor::shrink {

// Where source edge x falls along an axis of from -> to pixels, in output
// units: 0 at the first edge and exactly to × kUnit at the last, so the
// weights of the source pixels in any output pixel add up to kUnit.
[[nodiscard]] inline std::uint32_t EdgeAt(std::int64_t x, int from, int to) noexcept {
  return static_cast<std::uint32_t>((2 * x * to * kUnit + from) / (2 * static_cast<std::int64_t>(from)));
}

// The first source edge at or past output position u (from when none is).
[[nodiscard]] int SourceEdgeFrom(std::uint32_t u, int from, int to) noexcept;

// The weights of output columns [firstColumn, endColumn) of a reduction of
// from -> to columns. Every column has the same number of taps, so that all
// are read by one fixed loop: a column with fewer starts early enough that its
// taps stay among the band's source columns, the extra weights zero.
struct ColumnWeights {
  int firstSource = 0;  // the band's first source column
  int sources = 0;      // and how many it reads
  int taps = 0;
  std::vector<int> start;              // per column: its first tap among the band's source columns
  std::vector<std::uint32_t> weights;  // per column: taps weights (each kSpread times when spread)
};

[[nodiscard]] ColumnWeights MakeColumnWeights(int from, int to, int firstColumn, int endColumn, bool spread);

}  // namespace zor::shrink
