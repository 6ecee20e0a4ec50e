// What the shrinker's tests share: random decoded rows, reductions made with
// a chosen kernel in bands, and rows cut from a whole reduction.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/screen/row_shrinker.h"
#include "core/screen/shrink_policy.h"

namespace zor::shrink_testing {

// Restores the best kernel when a test has forced one.
struct KernelGuard {
  ~KernelGuard() { SetShrinkKernel(ShrinkKernel::kAvx2); }
};

inline std::vector<std::uint8_t> RandomRows(PixelSize from, RowLayout layout, std::uint32_t seed) {
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height) *
                                 static_cast<std::size_t>(BytesPerPixel(layout)));
  for (auto& v : rows) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<std::uint8_t>(seed >> 24);
  }
  return rows;
}

struct Made {
  std::vector<std::uint32_t> out;
  int firstSource = 0;  // the source rows asked for
  int endSource = 0;
};

// Output rows [firstRow, endRow) (all when endRow < 0) made with a kernel, one
// RowShrinker per band between the columns in `splits`, fed the source rows
// they ask for up to row `feedEnd` (all when negative).
inline Made Shrink(ShrinkKernel kernel, const std::vector<std::uint8_t>& rows, PixelSize from, PixelSize to, RowLayout layout,
            const std::vector<int>& splits = {}, int firstRow = 0, int endRow = -1, int feedEnd = -1) {
  SetShrinkKernel(kernel);
  if (endRow < 0) endRow = to.height;
  Made made;
  made.out.assign(static_cast<std::size_t>(to.width) * static_cast<std::size_t>(endRow - firstRow), 0xDEADBEEFu);
  std::vector<int> edges{0};
  edges.insert(edges.end(), splits.begin(), splits.end());
  edges.push_back(to.width);
  std::vector<RowShrinker> bands;
  for (std::size_t b = 0; b + 1 < edges.size(); ++b) {
    bands.emplace_back(from, to, made.out.data(), layout, edges[b], edges[b + 1], firstRow, endRow);
    EXPECT_EQ(bands[b].FirstSourceRow(), bands[0].FirstSourceRow());
    EXPECT_EQ(bands[b].EndSourceRow(), bands[0].EndSourceRow());
  }
  made.firstSource = bands[0].FirstSourceRow();
  made.endSource = bands[0].EndSourceRow();
  const std::size_t stride = static_cast<std::size_t>(from.width) * static_cast<std::size_t>(BytesPerPixel(layout));
  for (int y = made.firstSource; y < (feedEnd < 0 ? made.endSource : feedEnd); ++y) {
    for (auto& band : bands) band.AddRow(rows.data() + static_cast<std::size_t>(y) * stride);
  }
  for (auto& band : bands) band.Finish();
  return made;
}

// Output rows [first, end) cut from a whole reduction.
inline std::vector<std::uint32_t> RowsOf(const std::vector<std::uint32_t>& whole, PixelSize to, int first, int end) {
  return {whole.begin() + static_cast<std::ptrdiff_t>(first) * to.width,
          whole.begin() + static_cast<std::ptrdiff_t>(end) * to.width};
}

inline constexpr ShrinkKernel kVectorKernels[] = {ShrinkKernel::kSse2, ShrinkKernel::kSse41, ShrinkKernel::kAvx2};
inline constexpr RowLayout kLayouts[] = {RowLayout::kGray8, RowLayout::kBgr24, RowLayout::kBgrx32};

// A grey 0x00RRGGBB pixel.
inline std::uint32_t Grey(unsigned v) { return v << 16 | v << 8 | v; }

}  // namespace zor::shrink_testing
