#include "core/screen/row_shrinker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "shrink_test_rows.h"

namespace zor {
namespace {

using shrink_testing::Grey;
using shrink_testing::kLayouts;
using shrink_testing::Made;
using shrink_testing::RandomRows;
using shrink_testing::RowsOf;
using shrink_testing::Shrink;

TEST(RowShrinker, AveragesAreas) {
  // 4 × 4 -> 2 × 2: each output pixel is the mean of a 2 × 2 block.
  const std::uint32_t in[16] = {Grey(0),   Grey(100), Grey(10), Grey(10),  //
                                Grey(100), Grey(0),   Grey(30), Grey(30),  //
                                Grey(200), Grey(200), 0xFF0000, 0x0000FF,  //
                                Grey(200), Grey(200), 0x00FF00, 0x000000};
  std::uint32_t out[4] = {};
  RowShrinker shrink({4, 4}, {2, 2}, out);
  for (int r = 0; r < 4; ++r) shrink.AddRow(in + r * 4);
  shrink.Finish();
  EXPECT_EQ(out[0], Grey(50));
  EXPECT_EQ(out[1], Grey(20));
  EXPECT_EQ(out[2], Grey(200));
  EXPECT_EQ(out[3], 0x404040u);  // 255 / 4 rounded in each channel
}

TEST(RowShrinker, FractionalAndShortInputs) {
  // 3 -> 2 across: output 0 = p0 + half p1, output 1 = half p1 + p2, each over 1.5.
  const std::uint32_t row[3] = {Grey(90), Grey(30), Grey(150)};
  std::uint32_t out[2] = {};
  RowShrinker shrink({3, 1}, {2, 1}, out);
  shrink.AddRow(row);
  shrink.Finish();
  EXPECT_EQ(out[0], Grey(70));
  EXPECT_EQ(out[1], Grey(110));

  // A file that ends early: the missing rows count as black, every row is written.
  std::uint32_t tall[3] = {1, 1, 1};
  const std::uint32_t white = 0xFFFFFF;
  RowShrinker cut({1, 6}, {1, 3}, tall);
  cut.AddRow(&white);
  cut.AddRow(&white);
  cut.Finish();
  EXPECT_EQ(tall[0], 0xFFFFFFu);
  EXPECT_EQ(tall[1], 0u);
  EXPECT_EQ(tall[2], 0u);
}

TEST(RowShrinker, LargeRatiosKeepAFlatColourFlat) {
  constexpr int kW = 997;
  constexpr int kH = 661;
  std::vector<std::uint32_t> row(kW, 0x336699);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(311) * 97, 0);
  RowShrinker shrink({kW, kH}, {311, 97}, out.data());
  for (int r = 0; r < kH; ++r) shrink.AddRow(row.data());
  shrink.Finish();
  for (std::uint32_t v : out) ASSERT_EQ(v, 0x336699u);
}

TEST(RowShrinker, ByteLayoutsAgreeWithPixels) {
  // The same 7 × 5 picture as 0x00RRGGBB pixels, BGR bytes and (its blue) grey
  // bytes, reduced to 3 × 2 and to 7 × 2 (one axis kept whole).
  constexpr int kW = 7;
  constexpr int kH = 5;
  std::vector<std::uint32_t> pixels(kW * kH);
  std::vector<std::uint8_t> bgr(kW * kH * 3);
  std::vector<std::uint8_t> grey(kW * kH);
  for (int i = 0; i < kW * kH; ++i) {
    const auto b = static_cast<std::uint8_t>(i * 7);
    const auto g = static_cast<std::uint8_t>(255 - i * 5);
    const auto r = static_cast<std::uint8_t>((i * 37) % 256);
    pixels[static_cast<std::size_t>(i)] = std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
    bgr[static_cast<std::size_t>(i) * 3] = b;
    bgr[static_cast<std::size_t>(i) * 3 + 1] = g;
    bgr[static_cast<std::size_t>(i) * 3 + 2] = r;
    grey[static_cast<std::size_t>(i)] = b;
  }
  for (const PixelSize to : {PixelSize{3, 2}, PixelSize{7, 2}, PixelSize{1, 1}}) {
    std::vector<std::uint32_t> a(static_cast<std::size_t>(to.width * to.height));
    std::vector<std::uint32_t> b(a.size());
    std::vector<std::uint32_t> c(a.size());
    RowShrinker fromPixels({kW, kH}, to, a.data());
    RowShrinker fromBgr({kW, kH}, to, b.data(), RowLayout::kBgr24);
    RowShrinker fromGrey({kW, kH}, to, c.data(), RowLayout::kGray8);
    for (int y = 0; y < kH; ++y) {
      fromPixels.AddRow(pixels.data() + y * kW);
      fromBgr.AddRow(bgr.data() + y * kW * 3);
      fromGrey.AddRow(grey.data() + y * kW);
    }
    fromPixels.Finish();
    fromBgr.Finish();
    fromGrey.Finish();
    EXPECT_EQ(a, b) << to.width << "x" << to.height;
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(c[i], (a[i] & 0xFF) * 0x010101u) << i;
  }
  // Kept whole across, halved down: each output is the mean of two rows.
  std::vector<std::uint32_t> half(kW * 2);
  RowShrinker shrink({kW, 4}, {kW, 2}, half.data(), RowLayout::kGray8);
  for (int y = 0; y < 4; ++y) shrink.AddRow(grey.data() + y * kW);
  shrink.Finish();
  EXPECT_EQ(half[0] & 0xFF, (grey[0] + grey[kW] + 1u) / 2);
  EXPECT_EQ(half[kW + 3] & 0xFF, (grey[2 * kW + 3] + grey[3 * kW + 3] + 1u) / 2);
}

TEST(RowShrinker, ExtremeRatiosStayInRange) {
  // 32767 white pixels into one: the fixed-point sums must not overflow.
  std::vector<std::uint8_t> row(32767, 255);
  std::uint32_t out = 0;
  RowShrinker shrink({32767, 3}, {1, 1}, &out, RowLayout::kGray8);
  for (int y = 0; y < 3; ++y) shrink.AddRow(row.data());
  shrink.Finish();
  EXPECT_EQ(out, 0xFFFFFFu);
}

// The reduction written plainly: every output channel is the sum over the
// source pixels of their row weight × column weight × value, rounded, with the
// weights the fixed-point overlaps of source and output pixels (1/4096 of an
// output pixel per axis). Rows past `given` count as black.
std::vector<std::uint32_t> ReferenceShrink(const std::vector<std::uint8_t>& rows, PixelSize from, PixelSize to,
                                           RowLayout layout, int given) {
  const auto edge = [](std::int64_t x, int f, int t) { return (2 * x * t * 4096 + f) / (2 * std::int64_t{f}); };
  const auto weight = [&](int x, int j, int f, int t) {
    const std::int64_t a = std::max(edge(x, f, t), std::int64_t{j} * 4096);
    const std::int64_t b = std::min(edge(x + 1, f, t), std::int64_t{j + 1} * 4096);
    return std::max<std::int64_t>(0, b - a);
  };
  const int bpp = BytesPerPixel(layout);
  const int channels = layout == RowLayout::kGray8 ? 1 : 3;
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * static_cast<std::size_t>(to.height));
  for (int i = 0; i < to.height; ++i) {
    for (int j = 0; j < to.width; ++j) {
      std::uint32_t pixel = 0;
      for (int c = 0; c < channels; ++c) {
        std::int64_t sum = 1 << 23;
        for (int y = 0; y < given; ++y) {
          const std::int64_t wy = weight(y, i, from.height, to.height);
          if (wy == 0) continue;
          for (int x = 0; x < from.width; ++x) {
            const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(from.width) + static_cast<std::size_t>(x)) *
                                static_cast<std::size_t>(bpp) + static_cast<std::size_t>(c);
            sum += wy * weight(x, j, from.width, to.width) * rows[at];
          }
        }
        const auto v = static_cast<std::uint32_t>(sum >> 24);
        pixel |= channels == 1 ? v * 0x010101u : v << (8 * c);
      }
      out[static_cast<std::size_t>(i) * static_cast<std::size_t>(to.width) + static_cast<std::size_t>(j)] = pixel;
    }
  }
  return out;
}

TEST(RowShrinker, MatchesAPlainReductionOverRandomPictures) {
  std::uint32_t seed = 2024;
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  const RowLayout layouts[] = {RowLayout::kGray8, RowLayout::kBgr24, RowLayout::kBgrx32};
  for (int round = 0; round < 60; ++round) {
    const RowLayout layout = layouts[round % 3];
    const PixelSize from{1 + static_cast<int>(next(97)), 1 + static_cast<int>(next(61))};
    const PixelSize to{1 + static_cast<int>(next(static_cast<std::uint32_t>(from.width))),
                       1 + static_cast<int>(next(static_cast<std::uint32_t>(from.height)))};
    const int bpp = BytesPerPixel(layout);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height) *
                                   static_cast<std::size_t>(bpp));
    // Mostly extremes and flat runs, where an overflow or a lost rounding would show.
    const std::uint32_t kind = next(3);
    for (auto& v : rows) v = static_cast<std::uint8_t>(kind == 0 ? next(256) : kind == 1 ? 255 - next(2) : next(2) * 255);
    // Sometimes the file ends early.
    const int given = round % 4 == 3 ? static_cast<int>(next(static_cast<std::uint32_t>(from.height))) : from.height;
    const auto expected = ReferenceShrink(rows, from, to, layout, given);
    const auto split = static_cast<int>(next(static_cast<std::uint32_t>(to.width + 1)));

    std::vector<std::uint32_t> whole(expected.size(), 0xDEADBEEFu);
    std::vector<std::uint32_t> banded(expected.size(), 0xDEADBEEFu);
    RowShrinker one(from, to, whole.data(), layout);
    RowShrinker left(from, to, banded.data(), layout, 0, split);
    RowShrinker right(from, to, banded.data(), layout, split, to.width);
    for (int y = 0; y < given; ++y) {
      const std::uint8_t* row = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(from.width) *
                                                  static_cast<std::size_t>(bpp);
      one.AddRow(row);
      left.AddRow(row);
      right.AddRow(row);
    }
    one.Finish();
    left.Finish();
    right.Finish();
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << from.width << "x" << from.height << " -> "
                                    << to.width << "x" << to.height << ", bytes per pixel " << bpp << ", split "
                                    << split << ", rows given " << given);
    ASSERT_EQ(whole, expected);
    ASSERT_EQ(banded, expected);
  }
}

TEST(RowShrinker, AWindowIsTheSameRowsOfTheWholeReduction) {
  // Ratios with source rows straddling output rows (61 -> 23, 1000 -> 640) and
  // without (60 -> 20, 40 -> 40); in one band and two; fed whole and cut short.
  const std::pair<PixelSize, PixelSize> sizes[] = {
      {{37, 61}, {13, 23}}, {{45, 60}, {15, 20}}, {{29, 40}, {29, 40}}, {{300, 1000}, {192, 640}}};
  std::uint32_t seed = 3;
  for (const auto& [from, to] : sizes) {
    for (const RowLayout layout : kLayouts) {
      const auto rows = RandomRows(from, layout, ++seed);
      const int given = from.height * 2 / 3;
      const auto whole = Shrink(ShrinkKernel::kAvx2, rows, from, to, layout).out;
      const auto cut = Shrink(ShrinkKernel::kAvx2, rows, from, to, layout, {}, 0, -1, given).out;
      const int h = to.height;
      for (const auto& [firstRow, endRow] : {std::pair{0, 1}, std::pair{h - 1, h}, std::pair{h / 3, 2 * h / 3},
                                             std::pair{h / 2, h / 2 + 1}, std::pair{1, h - 1}, std::pair{0, h}}) {
        for (const std::vector<int>& split : {std::vector<int>{}, std::vector<int>{to.width / 2}}) {
          SCOPED_TRACE(testing::Message() << from.width << "x" << from.height << " -> " << to.width << "x" << h
                                          << ", bytes per pixel " << BytesPerPixel(layout) << ", rows " << firstRow
                                          << ".." << endRow << ", bands " << split.size() + 1);
          EXPECT_EQ(Shrink(ShrinkKernel::kAvx2, rows, from, to, layout, split, firstRow, endRow).out,
                    RowsOf(whole, to, firstRow, endRow));
          EXPECT_EQ(Shrink(ShrinkKernel::kAvx2, rows, from, to, layout, split, firstRow, endRow, given).out,
                    RowsOf(cut, to, firstRow, endRow));
        }
      }
    }
  }
}

TEST(RowShrinker, AWindowAsksForTheFewestSourceRowsAndNoOthers) {
  const auto edge = [](std::int64_t x, PixelSize from, PixelSize to) {
    return (2 * x * to.height * 4096 + from.height) / (2 * std::int64_t{from.height});
  };
  for (const auto& [from, to] : {std::pair{PixelSize{31, 61}, PixelSize{11, 23}},
                                 std::pair{PixelSize{20, 60}, PixelSize{9, 20}},
                                 std::pair{PixelSize{17, 97}, PixelSize{17, 96}}}) {
    const auto rows = RandomRows(from, RowLayout::kBgr24, 11);
    const Made whole = Shrink(ShrinkKernel::kAvx2, rows, from, to, RowLayout::kBgr24);
    EXPECT_EQ(whole.firstSource, 0);
    EXPECT_EQ(whole.endSource, from.height);
    const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
    for (int firstRow = 0; firstRow < to.height; ++firstRow) {
      for (int endRow = firstRow + 1; endRow <= to.height; endRow += 3) {
        SCOPED_TRACE(testing::Message() << from.height << " -> " << to.height << ", rows " << firstRow << ".." << endRow);
        const Made window = Shrink(ShrinkKernel::kAvx2, rows, from, to, RowLayout::kBgr24, {}, firstRow, endRow);
        EXPECT_EQ(window.out, RowsOf(whole.out, to, firstRow, endRow));
        // The first row asked for reaches past the window's top edge and the
        // one before does not; the last starts above its bottom edge and the next does not.
        const int first = window.firstSource;
        const int end = window.endSource;
        EXPECT_GT(edge(first + 1, from, to), std::int64_t{firstRow} * 4096);
        if (firstRow > 0) {
          EXPECT_LE(edge(first, from, to), std::int64_t{firstRow} * 4096);
        }
        EXPECT_LT(edge(end - 1, from, to), std::int64_t{endRow} * 4096);
        EXPECT_GE(edge(end, from, to), std::int64_t{endRow} * 4096);
        EXPECT_LE(end, from.height);

        // Other rows change nothing in the window: through the whole
        // reduction, nor when given to the window after its last row.
        auto garbage = rows;
        for (std::size_t i = 0; i < garbage.size(); ++i) {
          const auto y = static_cast<int>(i / stride);
          if (y < first || y >= end) garbage[i] = static_cast<std::uint8_t>(garbage[i] ^ 0xA5);
        }
        const auto changed = Shrink(ShrinkKernel::kAvx2, garbage, from, to, RowLayout::kBgr24).out;
        EXPECT_EQ(RowsOf(changed, to, firstRow, endRow), window.out);
        EXPECT_EQ(Shrink(ShrinkKernel::kAvx2, garbage, from, to, RowLayout::kBgr24, {}, firstRow, endRow, from.height).out,
                  window.out);
      }
    }
  }
}

}  // namespace
}  // namespace zor
