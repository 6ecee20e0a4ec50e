#include "core/screen/picture_resampling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zor {
namespace {

std::uint32_t Grey(unsigned v) { return v << 16 | v << 8 | v; }

TEST(Resample, EnlargingMatchesBilinearInterpolation) {
  // Random pixels, a fractional source rectangle and a clipped destination:
  // each channel within one level of bilinear interpolation done in doubles.
  constexpr int kW = 37;
  constexpr int kH = 23;
  std::vector<std::uint32_t> pixels(kW * kH);
  std::uint32_t seed = 5;
  for (auto& v : pixels) {
    seed = seed * 1664525u + 1013904223u;
    v = seed >> 8;
  }
  const PixelView view{pixels.data(), kW, kH, kW};
  const Rect from{2.5f, 1.25f, 30.0f, 20.5f};
  const int dw = 97;
  const int dh = 61;
  const PixelRect clip{3, 7, 90, 60};
  std::vector<std::uint32_t> out(static_cast<std::size_t>(clip.width() * clip.height()));
  Resample(view, from, dw, dh, clip, out.data());
  const auto channel = [&](int x, int y, int shift) {
    const int lo = static_cast<int>(std::floor(from.x));
    const int hi = static_cast<int>(std::ceil(from.x + from.width)) - 1;
    const int top = static_cast<int>(std::floor(from.y));
    const int bottom = static_cast<int>(std::ceil(from.y + from.height)) - 1;
    return static_cast<double>((pixels[static_cast<std::size_t>(std::clamp(y, top, bottom) * kW +
                                                                std::clamp(x, lo, hi))] >>
                                shift) &
                               0xFF);
  };
  int worst = 0;
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) {
      const double cx = from.x + (x + 0.5) * from.width / dw - 0.5;
      const double cy = from.y + (y + 0.5) * from.height / dh - 0.5;
      const int x0 = static_cast<int>(std::floor(cx));
      const int y0 = static_cast<int>(std::floor(cy));
      const double fx = cx - x0;
      const double fy = cy - y0;
      const std::uint32_t got = out[static_cast<std::size_t>((y - clip.top) * clip.width() + (x - clip.left))];
      for (const int shift : {0, 8, 16}) {
        const double want = (1 - fy) * ((1 - fx) * channel(x0, y0, shift) + fx * channel(x0 + 1, y0, shift)) +
                            fy * ((1 - fx) * channel(x0, y0 + 1, shift) + fx * channel(x0 + 1, y0 + 1, shift));
        worst = std::max(worst, static_cast<int>(std::lround(std::fabs(((got >> shift) & 0xFF) - want))));
      }
    }
  }
  EXPECT_LE(worst, 1);
}

TEST(Resample, CopiesEnlargesAndClipsConsistently) {
  std::vector<std::uint32_t> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[static_cast<std::size_t>(i)] = Grey(static_cast<unsigned>(i * 16));
  const PixelView view{pixels.data(), 4, 4, 4};

  std::vector<std::uint32_t> same(16);
  Resample(view, {0, 0, 4, 4}, 4, 4, {0, 0, 4, 4}, same.data());
  EXPECT_EQ(same, pixels);

  // Twice the size: the corners keep their values, the middle blends.
  std::vector<std::uint32_t> big(64);
  Resample(view, {0, 0, 4, 4}, 8, 8, {0, 0, 8, 8}, big.data());
  EXPECT_EQ(big[0], pixels[0]);
  EXPECT_EQ(big[63], pixels[15]);
  EXPECT_EQ(big[1], Grey(4));  // a quarter of the way from 0 to 16

  // The visible part alone equals the same part of the whole.
  std::vector<std::uint32_t> part(static_cast<std::size_t>(3) * 2);
  Resample(view, {0, 0, 4, 4}, 8, 8, {4, 5, 7, 7}, part.data());
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(part[static_cast<std::size_t>(y * 3 + x)], big[static_cast<std::size_t>((5 + y) * 8 + 4 + x)]);
    }
  }

  // A crop of the middle two columns halved across.
  std::uint32_t crop[4] = {};
  Resample(view, {1, 0, 2, 4}, 1, 4, {0, 0, 1, 4}, crop);
  EXPECT_EQ(crop[0], Grey(24));

  // Sources reaching outside the picture are clamped, never read beyond it.
  std::vector<std::uint32_t> outside(25);
  Resample(view, {-3, -3, 20, 20}, 5, 5, {0, 0, 5, 5}, outside.data());
  Resample(view, {0, 0, 0, 4}, 5, 5, {0, 0, 5, 5}, outside.data());  // empty source: nothing
}

TEST(Resample, ShrinkingAClippedPartIsAnAreaAverage) {
  // Catches a destination pixel weighted from the wrong source pixels when the
  // clip starts inside the destination and the source rectangle starts at a
  // fraction, partly left of the picture: each channel within one level of the
  // area average done in doubles, source indices clamped into the picture.
  constexpr int kW = 53;
  constexpr int kH = 41;
  std::vector<std::uint32_t> pixels(kW * kH);
  std::uint32_t seed = 9;
  for (auto& v : pixels) {
    seed = seed * 1664525u + 1013904223u;
    v = seed >> 8;
  }
  const PixelView view{pixels.data(), kW, kH, kW};
  const Rect from{-1.75f, 3.5f, 52.25f, 33.0f};
  const int dw = 17;
  const int dh = 12;
  const PixelRect clip{5, 2, 16, 11};
  std::vector<std::uint32_t> out(static_cast<std::size_t>(clip.width() * clip.height()));
  Resample(view, from, dw, dh, clip, out.data());
  // Per source index along an axis: its share of destination index j.
  const auto shares = [](double start, double length, int dest, int j, int limit) {
    const double s = length / dest;
    const double a = start + j * s;
    std::vector<double> w(static_cast<std::size_t>(limit), 0.0);
    for (int i = static_cast<int>(std::floor(a)); i < a + s; ++i) {
      const double overlap = std::min(i + 1.0, a + s) - std::max<double>(i, a);
      w[static_cast<std::size_t>(std::clamp(i, 0, limit - 1))] += overlap / s;
    }
    return w;
  };
  int worst = 0;
  for (int y = clip.top; y < clip.bottom; ++y) {
    const auto wy = shares(from.y, from.height, dh, y, kH);
    for (int x = clip.left; x < clip.right; ++x) {
      const auto wx = shares(from.x, from.width, dw, x, kW);
      const std::uint32_t got = out[static_cast<std::size_t>((y - clip.top) * clip.width() + (x - clip.left))];
      for (const int shift : {0, 8, 16}) {
        double want = 0.0;
        for (int i = 0; i < kH; ++i) {
          for (int k = 0; k < kW; ++k) {
            want += wy[static_cast<std::size_t>(i)] * wx[static_cast<std::size_t>(k)] *
                    ((pixels[static_cast<std::size_t>(i * kW + k)] >> shift) & 0xFF);
          }
        }
        worst = std::max(worst, static_cast<int>(std::lround(std::fabs(((got >> shift) & 0xFF) - want))));
      }
    }
  }
  EXPECT_LE(worst, 1);
}

}  // namespace
}  // namespace zor
