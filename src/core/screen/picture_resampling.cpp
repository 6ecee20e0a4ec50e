#include "core/screen/picture_resampling.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <utility>
#include <vector>

#include "core/screen/area_weights.h"

namespace zor {

// ---- Resampling for painting ----------------------------------------------

namespace {

std::uint32_t PackPixel(float r, float g, float b) {
  const auto c = [](float v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return c(r) << 16 | c(g) << 8 | c(b);
}

// Per destination index: the first source index and its weights.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<std::size_t> at;
  std::vector<float> weights;
};

// The source indices a span of an axis may read: [lo, hi], inside the picture.
std::pair<int, int> SourceSpan(float start, float length, int limit) {
  const int lo = std::clamp(static_cast<int>(std::floor(start)), 0, limit - 1);
  return {lo, std::clamp(static_cast<int>(std::ceil(start + length)) - 1, lo, limit - 1)};
}

// Weights along one axis for destination indices [from, to): area averaging
// where the axis shrinks or keeps its size, linear interpolation where it grows.
Taps AxisTaps(float start, float length, int dest, int from, int to, int limit) {
  Taps t;
  const double s = static_cast<double>(length) / dest;
  const auto [lo, hi] = SourceSpan(start, length, limit);
  // The overlaps of each destination span with the source pixels, in source
  // pixels; indices are clamped into the picture below.
  AxisOverlaps<double> overlaps;
  if (s >= 1.0) {
    overlaps = AreaOverlaps<double>(
        from, to,
        [&](int j) {
          const double a = start + j * s;
          return std::pair{a, a + s};
        },
        [](int i) { return static_cast<double>(i); }, static_cast<int>(std::floor(start + from * s)),
        std::numeric_limits<int>::max());
  }
  for (int j = from; j < to; ++j) {
    t.first.push_back(0);
    t.count.push_back(0);
    t.at.push_back(t.weights.size());
    int first = 0;
    std::vector<std::pair<int, double>> taps;
    if (s >= 1.0) {
      const auto d = static_cast<std::size_t>(j - from);
      for (int k = 0; k < overlaps.count[d]; ++k) {
        const double overlap = overlaps.weights[overlaps.at[d] + static_cast<std::size_t>(k)];
        if (overlap > 0.0) taps.emplace_back(std::clamp(overlaps.first[d] + k, lo, hi), overlap);
      }
    } else {
      const double c = start + (j + 0.5) * s - 0.5;
      const int i0 = static_cast<int>(std::floor(c));
      const double f = c - i0;
      taps.emplace_back(std::clamp(i0, lo, hi), 1.0 - f);
      taps.emplace_back(std::clamp(i0 + 1, lo, hi), f);
    }
    // Merge clamped duplicates into one contiguous run from the lowest index.
    first = taps.front().first;
    int last = first;
    for (const auto& [i, w] : taps) {
      first = std::min(first, i);
      last = std::max(last, i);
    }
    std::vector<double> w(static_cast<std::size_t>(last - first + 1), 0.0);
    double total = 0.0;
    for (const auto& [i, wt] : taps) {
      w[static_cast<std::size_t>(i - first)] += wt;
      total += wt;
    }
    t.first.back() = first;
    t.count.back() = static_cast<int>(w.size());
    for (double v : w) t.weights.push_back(static_cast<float>(total > 0.0 ? v / total : 0.0));
  }
  return t;
}

}  // namespace

namespace {

// Along one axis of an enlargement: per destination index, the two source
// indices it lies between and the weight of the second in 1/256.
struct LinearTaps {
  std::vector<int> first;
  std::vector<int> second;
  std::vector<std::uint32_t> weight;
};

LinearTaps LinearAxis(float start, float length, int dest, int from, int to, int limit) {
  LinearTaps t;
  const double s = static_cast<double>(length) / dest;
  const auto [lo, hi] = SourceSpan(start, length, limit);
  for (int j = from; j < to; ++j) {
    const double c = start + (j + 0.5) * s - 0.5;
    const auto i0 = static_cast<int>(std::floor(c));
    const int a = std::clamp(i0, lo, hi);
    const int b = std::clamp(i0 + 1, lo, hi);
    t.first.push_back(a);
    t.second.push_back(b);
    t.weight.push_back(a == b ? 0u : static_cast<std::uint32_t>(std::lround((c - i0) * 256.0)));
  }
  return t;
}

// Bilinear enlargement in fixed point: each source row is interpolated
// across once (to 256ths) and each destination row blends two of those.
void Enlarge(const PixelView& source, const Rect& sourceRect, int destW, int destH, const PixelRect& clip,
             std::uint32_t* out) {
  const LinearTaps tx = LinearAxis(sourceRect.x, sourceRect.width, destW, clip.left, clip.right, source.width);
  const LinearTaps ty = LinearAxis(sourceRect.y, sourceRect.height, destH, clip.top, clip.bottom, source.height);
  const auto w = static_cast<std::size_t>(clip.width());
  std::vector<std::uint32_t> upper(w * 3);
  std::vector<std::uint32_t> lower(w * 3);
  int upperRow = -1;
  int lowerRow = -1;
  const auto across = [&](int r, std::vector<std::uint32_t>& into) {
    const std::uint32_t* src = source.pixels + static_cast<std::size_t>(r) * static_cast<std::size_t>(source.stride);
    for (std::size_t j = 0; j < w; ++j) {
      const std::uint32_t p = src[tx.first[j]];
      const std::uint32_t q = src[tx.second[j]];
      const std::uint32_t b = tx.weight[j];
      const std::uint32_t a = 256 - b;
      into[j * 3] = a * (p & 0xFF) + b * (q & 0xFF);
      into[j * 3 + 1] = a * ((p >> 8) & 0xFF) + b * ((q >> 8) & 0xFF);
      into[j * 3 + 2] = a * ((p >> 16) & 0xFF) + b * ((q >> 16) & 0xFF);
    }
  };
  for (std::size_t y = 0; y < ty.first.size(); ++y) {
    const int r0 = ty.first[y];
    const int r1 = ty.second[y];
    if (r0 != upperRow) {
      if (r0 == lowerRow) {
        std::swap(upper, lower);
        lowerRow = -1;
      } else {
        across(r0, upper);
      }
      upperRow = r0;
    }
    if (r1 != lowerRow) {
      across(r1, lower);
      lowerRow = r1;
    }
    const std::uint32_t b = ty.weight[y];
    const std::uint32_t a = 256 - b;
    std::uint32_t* o = out + y * w;
    for (std::size_t j = 0; j < w; ++j) {
      const std::uint32_t* u = &upper[j * 3];
      const std::uint32_t* l = &lower[j * 3];
      o[j] = ((a * u[0] + b * l[0] + 32768) >> 16) | ((a * u[1] + b * l[1] + 32768) >> 16) << 8 |
             ((a * u[2] + b * l[2] + 32768) >> 16) << 16;
    }
  }
}

}  // namespace

void Resample(const PixelView& source, const Rect& sourceRect, int destW, int destH, const PixelRect& clip,
              std::uint32_t* out) {
  if (!source.pixels || source.width < 1 || source.height < 1 || destW < 1 || destH < 1) return;
  if (clip.width() <= 0 || clip.height() <= 0 || sourceRect.width <= 0.0f || sourceRect.height <= 0.0f) return;
  if (static_cast<float>(destW) > sourceRect.width && static_cast<float>(destH) > sourceRect.height) {
    Enlarge(source, sourceRect, destW, destH, clip, out);
    return;
  }
  const Taps tx = AxisTaps(sourceRect.x, sourceRect.width, destW, clip.left, clip.right, source.width);
  const Taps ty = AxisTaps(sourceRect.y, sourceRect.height, destH, clip.top, clip.bottom, source.height);
  const int w = clip.width();

  // Source rows resampled across once each, kept while later output rows need them.
  std::deque<std::pair<int, std::vector<float>>> rows;
  const auto across = [&](int r) -> const std::vector<float>& {
    for (const auto& row : rows) {
      if (row.first == r) return row.second;
    }
    std::vector<float> v(static_cast<std::size_t>(w) * 3);
    const std::uint32_t* src = source.pixels + static_cast<std::size_t>(r) * static_cast<std::size_t>(source.stride);
    for (int j = 0; j < w; ++j) {
      const float* wt = &tx.weights[tx.at[static_cast<std::size_t>(j)]];
      const std::uint32_t* p = src + tx.first[static_cast<std::size_t>(j)];
      float red = 0.0f;
      float green = 0.0f;
      float blue = 0.0f;
      for (int k = 0; k < tx.count[static_cast<std::size_t>(j)]; ++k) {
        red += wt[k] * static_cast<float>((p[k] >> 16) & 0xFF);
        green += wt[k] * static_cast<float>((p[k] >> 8) & 0xFF);
        blue += wt[k] * static_cast<float>(p[k] & 0xFF);
      }
      v[static_cast<std::size_t>(j) * 3] = red;
      v[static_cast<std::size_t>(j) * 3 + 1] = green;
      v[static_cast<std::size_t>(j) * 3 + 2] = blue;
    }
    rows.emplace_back(r, std::move(v));
    return rows.back().second;
  };

  std::vector<float> acc(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < clip.height(); ++y) {
    const int first = ty.first[static_cast<std::size_t>(y)];
    while (!rows.empty() && rows.front().first < first) rows.pop_front();
    std::fill(acc.begin(), acc.end(), 0.0f);
    const float* wt = &ty.weights[ty.at[static_cast<std::size_t>(y)]];
    for (int k = 0; k < ty.count[static_cast<std::size_t>(y)]; ++k) {
      const std::vector<float>& row = across(first + k);
      for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += wt[k] * row[i];
    }
    std::uint32_t* o = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    for (int j = 0; j < w; ++j) {
      const std::size_t at = static_cast<std::size_t>(j) * 3;
      o[j] = PackPixel(acc[at], acc[at + 1], acc[at + 2]);
    }
  }
}

}  // namespace zor
