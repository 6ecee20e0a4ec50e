#include "core/screen/banded_shrinker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "core/screen/row_shrinker.h"
#include "shrink_test_rows.h"

namespace zor {
namespace {

using shrink_testing::Made;
using shrink_testing::RandomRows;
using shrink_testing::RowsOf;
using shrink_testing::Shrink;

TEST(BandedShrinker, SameAsOneBandPixelForPixel) {
  // Large enough to be made in two bands; odd sizes so the bands meet mid-pixel.
  for (const auto& [from, to] : {std::pair{PixelSize{1601, 901}, PixelSize{611, 343}},
                                 std::pair{PixelSize{1500, 1000}, PixelSize{1500, 999}},
                                 std::pair{PixelSize{2000, 600}, PixelSize{77, 600}}}) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(from.width) * from.height * 3);
    std::uint32_t seed = 99;
    for (auto& v : rows) {
      seed = seed * 1664525u + 1013904223u;
      v = static_cast<std::uint8_t>(seed >> 24);
    }
    const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
    std::vector<std::uint32_t> whole(static_cast<std::size_t>(to.width) * to.height, 1);
    RowShrinker one(from, to, whole.data(), RowLayout::kBgr24);
    for (int y = 0; y < from.height; ++y) one.AddRow(rows.data() + y * stride);
    one.Finish();

    std::vector<std::uint32_t> banded(whole.size(), 2);
    {
      BandedShrinker two(from, to, banded.data(), RowLayout::kBgr24);
      if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_EQ(two.Bands(), 2);
      }
      // Strips of 32 rows, the last one short, and the end before the last rows.
      int y = 0;
      for (; y + 32 <= from.height - 5; y += 32) two.AddRows(rows.data() + y * stride, 32, stride);
      two.AddRows(rows.data() + y * stride, from.height - 5 - y, stride);
      two.Finish();
    }
    std::vector<std::uint32_t> cut(whole.size(), 3);
    RowShrinker short1(from, to, cut.data(), RowLayout::kBgr24);
    for (int r = 0; r < from.height - 5; ++r) short1.AddRow(rows.data() + r * stride);
    short1.Finish();
    EXPECT_EQ(banded, cut) << from.width << "x" << from.height << " -> " << to.width << "x" << to.height;

    // A band alone writes only its columns, as the whole would.
    std::vector<std::uint32_t> band(whole.size(), 7);
    RowShrinker middle(from, to, band.data(), RowLayout::kBgr24, to.width / 3, to.width / 2);
    for (int r = 0; r < from.height; ++r) middle.AddRow(rows.data() + r * stride);
    middle.Finish();
    for (int j = 0; j < to.width; ++j) {
      const bool inside = j >= to.width / 3 && j < to.width / 2;
      EXPECT_EQ(band[static_cast<std::size_t>(j)], inside ? whole[static_cast<std::size_t>(j)] : 7u) << j;
    }
  }
}

TEST(BandedShrinker, SmallPicturesAndEarlyEndsUseOneBandSafely) {
  std::vector<std::uint32_t> out(4, 0);
  {
    BandedShrinker small({8, 8}, {2, 2}, out.data(), RowLayout::kGray8);
    EXPECT_EQ(small.Bands(), 1);
  }
  // Dropped before Finish (a decoder failing mid-picture): the thread ends.
  std::vector<std::uint32_t> big(1000u * 600u);
  BandedShrinker dropped({2000, 1200}, {1000, 600}, big.data(), RowLayout::kGray8);
  std::vector<std::uint8_t> row(2000, 9);
  dropped.AddRows(row.data(), 1, 0);
}

TEST(BandedShrinker, AWindowIsTheSameRowsOfTheWholeReduction) {
  for (const auto& [from, to] : {std::pair{PixelSize{1601, 901}, PixelSize{611, 343}},
                                 std::pair{PixelSize{1500, 1000}, PixelSize{960, 640}}}) {
    const auto rows = RandomRows(from, RowLayout::kBgr24, 17);
    const auto whole = Shrink(ShrinkKernel::kAvx2, rows, from, to, RowLayout::kBgr24).out;
    const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
    for (const auto& [firstRow, endRow] : {std::pair{0, 1}, std::pair{to.height / 10, to.height - to.height / 10},
                                           std::pair{to.height - 1, to.height}, std::pair{0, to.height}}) {
      const Made one = Shrink(ShrinkKernel::kAvx2, rows, from, to, RowLayout::kBgr24, {}, firstRow, endRow);
      std::vector<std::uint32_t> window(one.out.size());
      {
        BandedShrinker banded(from, to, window.data(), RowLayout::kBgr24, firstRow, endRow);
        if (std::thread::hardware_concurrency() >= 2) {
          EXPECT_EQ(banded.Bands(), 2);
        }
        EXPECT_EQ(banded.FirstSourceRow(), one.firstSource);
        EXPECT_EQ(banded.EndSourceRow(), one.endSource);
        // Strips of 32 rows as a decoder gives them, the last one short.
        for (int y = one.firstSource; y < one.endSource; y += 32) {
          banded.AddRows(rows.data() + static_cast<std::size_t>(y) * stride, std::min(32, one.endSource - y), stride);
        }
        banded.Finish();
      }
      EXPECT_EQ(window, RowsOf(whole, to, firstRow, endRow)) << firstRow << ".." << endRow;
    }
  }
}

}  // namespace
}  // namespace zor
