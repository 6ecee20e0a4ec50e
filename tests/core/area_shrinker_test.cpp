#include "core/screen/area_shrinker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace zor {
namespace {

TEST(KeptSize, CoversTheScreenAndNoMore) {
  EXPECT_EQ(KeptSize({6000, 4000}, {1920, 1080}), (PixelSize{1920, 1280}));
  EXPECT_EQ(KeptSize({6000, 4000}, {3840, 2160}), (PixelSize{3840, 2560}));
  EXPECT_EQ(KeptSize({4000, 6000}, {1920, 1080}), (PixelSize{1920, 2880}));
  EXPECT_EQ(KeptSize({800, 600}, {1920, 1080}), (PixelSize{800, 600})) << "never enlarged";
  EXPECT_EQ(KeptSize({3000, 500}, {1920, 1080}), (PixelSize{3000, 500})) << "lower than the screen: kept whole";
  EXPECT_EQ(KeptSize({30000, 2}, {1920, 1080}), (PixelSize{30000, 2}));
}

std::uint32_t Grey(unsigned v) { return v << 16 | v << 8 | v; }

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

TEST(ExpandRow, EveryLayout) {
  const std::uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
  const std::uint8_t bgrx[8] = {1, 2, 3, 99, 4, 5, 6, 99};
  const std::uint8_t grey[2] = {7, 200};
  std::uint32_t out[2] = {};
  ExpandRow(bgr, RowLayout::kBgr24, 2, out);
  EXPECT_EQ(out[0], 0x030201u);
  EXPECT_EQ(out[1], 0x060504u);
  ExpandRow(bgrx, RowLayout::kBgrx32, 2, out);
  EXPECT_EQ(out[1], 0x060504u) << "the fourth byte is dropped";
  ExpandRow(grey, RowLayout::kGray8, 2, out);
  EXPECT_EQ(out[0], 0x070707u);
  EXPECT_EQ(out[1], 0xC8C8C8u);
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

}  // namespace
}  // namespace zor

namespace zor {
namespace {

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

}  // namespace
}  // namespace zor

namespace zor {
namespace {

// Restores the best kernel when a test has forced one.
struct KernelGuard {
  ~KernelGuard() { SetShrinkKernel(ShrinkKernel::kAvx2); }
};

std::vector<std::uint8_t> RandomRows(PixelSize from, RowLayout layout, std::uint32_t seed) {
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
Made Shrink(ShrinkKernel kernel, const std::vector<std::uint8_t>& rows, PixelSize from, PixelSize to, RowLayout layout,
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
std::vector<std::uint32_t> RowsOf(const std::vector<std::uint32_t>& whole, PixelSize to, int first, int end) {
  return {whole.begin() + static_cast<std::ptrdiff_t>(first) * to.width,
          whole.begin() + static_cast<std::ptrdiff_t>(end) * to.width};
}

constexpr ShrinkKernel kVectorKernels[] = {ShrinkKernel::kSse2, ShrinkKernel::kSse41, ShrinkKernel::kAvx2};
constexpr RowLayout kLayouts[] = {RowLayout::kGray8, RowLayout::kBgr24, RowLayout::kBgrx32};

TEST(ShrinkKernel, EveryKernelMatchesThePlainOneExactly) {
  const KernelGuard guard;
  // A kernel the processor lacks falls back to the best below it.
  EXPECT_EQ(SetShrinkKernel(ShrinkKernel::kPortable), ShrinkKernel::kPortable);
  for (const ShrinkKernel wanted : kVectorKernels) EXPECT_LE(SetShrinkKernel(wanted), wanted);
#if defined(__SSE2__)
  EXPECT_GE(SetShrinkKernel(ShrinkKernel::kAvx2), ShrinkKernel::kSse2);
#endif
  // Ratios for 2, 3, 4, 5 and many taps per column, odd sizes, one axis kept.
  const std::pair<PixelSize, PixelSize> sizes[] = {
      {{7, 5}, {3, 2}},       {{100, 60}, {99, 59}},  {{1500, 1000}, {960, 640}}, {{301, 201}, {100, 67}},
      {{397, 211}, {101, 53}}, {{997, 661}, {97, 31}}, {{640, 9}, {640, 3}},       {{33, 480}, {1, 17}}};
  std::uint32_t seed = 7;
  for (const auto& [from, to] : sizes) {
    for (const RowLayout layout : kLayouts) {
      const auto rows = RandomRows(from, layout, ++seed);
      // One band; bands meeting at a third and two thirds; a file that ends early.
      const std::vector<int> thirds{to.width / 3, 2 * to.width / 3};
      const int early = from.height - from.height / 4;
      const auto whole = Shrink(ShrinkKernel::kPortable, rows, from, to, layout).out;
      const auto cut = Shrink(ShrinkKernel::kPortable, rows, from, to, layout, {}, 0, -1, early).out;
      ASSERT_EQ(std::count(whole.begin(), whole.end(), 0xDEADBEEFu), 0);
      for (const ShrinkKernel kernel : kVectorKernels) {
        SCOPED_TRACE(testing::Message() << from.width << "x" << from.height << " -> " << to.width << "x" << to.height
                                        << ", bytes per pixel " << BytesPerPixel(layout) << ", kernel "
                                        << static_cast<int>(kernel));
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout).out, whole);
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout, thirds).out, whole);
        EXPECT_EQ(Shrink(kernel, rows, from, to, layout, {}, 0, -1, early).out, cut);
      }
    }
  }
  // A photo's size at 4K in two bands, BGR rows.
  const PixelSize from{4001, 2999};
  const PixelSize to{3840, 2160};
  const auto rows = RandomRows(from, RowLayout::kBgr24, 4001);
  const auto whole = Shrink(ShrinkKernel::kPortable, rows, from, to, RowLayout::kBgr24).out;
  for (const ShrinkKernel kernel : kVectorKernels) {
    EXPECT_EQ(Shrink(kernel, rows, from, to, RowLayout::kBgr24, {1921}).out, whole) << static_cast<int>(kernel);
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
