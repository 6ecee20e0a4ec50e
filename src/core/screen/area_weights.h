// Area weights along one axis, the one builder of the reduction's fixed-point
// weights and the resampler's float ones: each output span is weighted from
// the source cells it overlaps, each by the length of its overlap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace zor {

// Per output index: the first source cell it reads, how many it reads, and
// where their weights start in `weights`.
template <class T>
struct AxisOverlaps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<std::size_t> at;
  std::vector<T> weights;
};

// The taps of output indices [from, to), index j spanning [span(j).first,
// span(j).second), over source cells k < cells spanning [edge(k), edge(k + 1))
// in the same units; spans and edges rise with j and k. An output reads the
// cells from the first that ends past its span's start up to the last that
// starts before its span's end; a cell among them that adds nothing (a cell
// of no width) weighs zero. The search for the first starts at cell `cell`,
// at or before the first output's first cell.
template <class T, class Span, class Edge>
AxisOverlaps<T> AreaOverlaps(int from, int to, Span span, Edge edge, int cell, int cells) {
  AxisOverlaps<T> taps;
  const auto outputs = static_cast<std::size_t>(std::max(0, to - from));
  taps.first.reserve(outputs);
  taps.count.reserve(outputs);
  taps.at.reserve(outputs);
  for (int j = from; j < to; ++j) {
    const auto [lo, hi] = span(j);
    while (cell < cells && edge(cell + 1) <= lo) ++cell;
    taps.first.push_back(cell);
    taps.at.push_back(taps.weights.size());
    int k = cell;
    for (; k < cells; ++k) {
      const T a = std::max<T>(edge(k), lo);
      if (a >= hi) break;
      const T b = std::min<T>(edge(k + 1), hi);
      taps.weights.push_back(b > a ? b - a : T{});
    }
    taps.count.push_back(k - cell);
  }
  return taps;
}

}  // namespace zor
