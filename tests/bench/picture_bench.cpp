// Timings of picture resampling: the one-pass reduction of a 24-megapixel
// photo to screen size as its rows come from the decoder, and resampling a
// kept picture onto a page.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/screen/area_shrinker.h"
#include "core/screen/picture_resampling.h"

namespace {

std::vector<std::uint32_t> Photo(int w, int rows) {
  std::vector<std::uint32_t> p(static_cast<std::size_t>(w) * rows);
  std::uint32_t s = 12345;
  for (auto& v : p) {
    s = s * 1103515245u + 12345u;
    v = s >> 8;
  }
  return p;
}

// Bytes of noise, as decoded rows of a photo are to the reduction.
std::vector<std::uint8_t> NoiseBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  std::uint32_t s = 12345;
  for (auto& v : bytes) {
    s = s * 1103515245u + 12345u;
    v = static_cast<std::uint8_t>(s >> 16);
  }
  return bytes;
}

// Decoded BGR rows of range(0) × range(1) reduced to the size that covers a
// screen of range(2) × range(3): 6000 × 4000 is the photo decoded whole (as
// Wine's decoder does), 3000 × 2000 the same photo scaled by the decoder.
void BM_ShrinkPhotoRows(benchmark::State& state) {
  const zor::PixelSize from{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const zor::PixelSize to = zor::KeptSize(from, {static_cast<int>(state.range(2)), static_cast<int>(state.range(3))});
  const std::vector<std::uint8_t> strip = NoiseBytes(static_cast<std::size_t>(from.width) * 3 * 32);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * to.height);
  for (auto _ : state) {
    zor::RowShrinker shrinker(from, to, out.data(), zor::RowLayout::kBgr24);
    for (int y = 0; y < from.height; ++y) {
      shrinker.AddRow(strip.data() + static_cast<std::size_t>(y % 32) * from.width * 3);
    }
    shrinker.Finish();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["out_w"] = to.width;
  state.counters["out_h"] = to.height;
}
BENCHMARK(BM_ShrinkPhotoRows)
    ->Args({6000, 4000, 1920, 1080})
    ->Args({6000, 4000, 3840, 2160})
    ->Args({3000, 2000, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// One band of 6000 × 4000 reduced to exactly range(0) × range(1), rows in
// the layout range(2) (bytes per pixel: 3 BGR, 4 BGRX).
void BM_ShrinkPhotoLayout(benchmark::State& state) {
  const zor::PixelSize from{6000, 4000};
  const zor::PixelSize to{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const auto layout = static_cast<zor::RowLayout>(state.range(2));
  const std::size_t stride = static_cast<std::size_t>(from.width) * static_cast<std::size_t>(state.range(2));
  const std::vector<std::uint8_t> strip = NoiseBytes(stride * 32);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * to.height);
  for (auto _ : state) {
    zor::RowShrinker shrinker(from, to, out.data(), layout);
    for (int y = 0; y < from.height; ++y) shrinker.AddRow(strip.data() + static_cast<std::size_t>(y % 32) * stride);
    shrinker.Finish();
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ShrinkPhotoLayout)
    ->Args({1920, 1280, 3})
    ->Args({1920, 1280, 4})
    ->Args({3840, 2560, 3})
    ->Args({3840, 2560, 4})
    ->Unit(benchmark::kMillisecond);

// One band of 6000 × 4000 BGR rows reduced to 3840 × 2560 with the kernel
// range(0) (0 plain, 1 SSE2, 2 SSE4.1, 3 AVX2, or the best below it).
void BM_ShrinkPhotoKernel(benchmark::State& state) {
  const zor::PixelSize from{6000, 4000};
  const zor::PixelSize to{3840, 2560};
  const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
  const std::vector<std::uint8_t> strip = NoiseBytes(stride * 32);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * to.height);
  const zor::ShrinkKernel kernel = zor::SetShrinkKernel(static_cast<zor::ShrinkKernel>(state.range(0)));
  for (auto _ : state) {
    zor::RowShrinker shrinker(from, to, out.data(), zor::RowLayout::kBgr24);
    for (int y = 0; y < from.height; ++y) shrinker.AddRow(strip.data() + static_cast<std::size_t>(y % 32) * stride);
    shrinker.Finish();
    benchmark::DoNotOptimize(out.data());
  }
  zor::SetShrinkKernel(zor::ShrinkKernel::kAvx2);
  state.counters["kernel"] = static_cast<double>(kernel);
}
BENCHMARK(BM_ShrinkPhotoKernel)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The same in two bands at once, fed in strips of 32 rows as the decoder gives them.
void BM_ShrinkPhotoBanded(benchmark::State& state) {
  const zor::PixelSize from{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const zor::PixelSize to = zor::KeptSize(from, {static_cast<int>(state.range(2)), static_cast<int>(state.range(3))});
  const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
  const std::vector<std::uint8_t> strip = NoiseBytes(stride * 32);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * to.height);
  int bands = 0;
  for (auto _ : state) {
    zor::BandedShrinker shrinker(from, to, out.data(), zor::RowLayout::kBgr24);
    for (int y = 0; y < from.height; y += 32) shrinker.AddRows(strip.data(), std::min(32, from.height - y), stride);
    shrinker.Finish();
    bands = shrinker.Bands();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bands"] = bands;
}
BENCHMARK(BM_ShrinkPhotoBanded)
    ->Args({6000, 4000, 1920, 1080})
    ->Args({6000, 4000, 3840, 2160})
    ->Args({3000, 2000, 1920, 1080})
    ->Args({4001, 2999, 3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same for the rows a fill shows: 6000 × 4000 kept at 3840 × 2560 for a
// 3840 × 2160 screen, output rows range(0) to range(1) alone, fed only the
// source rows those need.
void BM_ShrinkPhotoWindow(benchmark::State& state) {
  const zor::PixelSize from{6000, 4000};
  const zor::PixelSize to{3840, 2560};
  const auto firstRow = static_cast<int>(state.range(0));
  const auto endRow = static_cast<int>(state.range(1));
  const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
  const std::vector<std::uint8_t> strip = NoiseBytes(stride * 32);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * static_cast<std::size_t>(endRow - firstRow));
  int bands = 0;
  for (auto _ : state) {
    zor::BandedShrinker shrinker(from, to, out.data(), zor::RowLayout::kBgr24, firstRow, endRow);
    const int end = shrinker.EndSourceRow();
    for (int y = shrinker.FirstSourceRow(); y < end; y += 32) shrinker.AddRows(strip.data(), std::min(32, end - y), stride);
    shrinker.Finish();
    bands = shrinker.Bands();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bands"] = bands;
}
BENCHMARK(BM_ShrinkPhotoWindow)->Args({200, 2360})->Args({0, 2560})->Unit(benchmark::kMillisecond)->UseRealTime();

// A whole picture of range(0) × range(1) resampled onto range(2) × range(3):
// a kept 1920×1280 picture fitted onto 1620×1080 (made smaller), and a
// 1024×768 picture fitted onto a 3840×2160 screen (enlarged).
void BM_ResamplePicture(benchmark::State& state) {
  const auto w = static_cast<int>(state.range(0));
  const auto h = static_cast<int>(state.range(1));
  const auto dw = static_cast<int>(state.range(2));
  const auto dh = static_cast<int>(state.range(3));
  const std::vector<std::uint32_t> picture = Photo(w, h);
  const zor::PixelView view{picture.data(), w, h, w};
  std::vector<std::uint32_t> out(static_cast<std::size_t>(dw) * static_cast<std::size_t>(dh));
  for (auto _ : state) {
    zor::Resample(view, {0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h)}, dw, dh, {0, 0, dw, dh},
                  out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ResamplePicture)
    ->Args({1920, 1280, 1620, 1080})
    ->Args({1024, 768, 2880, 2160})
    ->Unit(benchmark::kMillisecond);

}  // namespace
