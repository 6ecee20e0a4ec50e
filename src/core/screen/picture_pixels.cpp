#include "core/screen/picture_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

namespace zor {

namespace {

std::uint32_t Le16(const unsigned char* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint32_t Be16(const unsigned char* p) { return static_cast<std::uint32_t>((p[0] << 8) | p[1]); }

PictureHeader BmpHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kBmp;
  unsigned char b[26] = {};
  if (read(0, b, sizeof b) < sizeof b) return h;
  const std::uint32_t infoSize = Le32(b + 14);
  if (infoSize == 12) {  // OS/2 core header: 16-bit sizes
    h.width = Le16(b + 18);
    h.height = Le16(b + 20);
  } else if (infoSize >= 40 && infoSize <= 4096) {
    const auto w = static_cast<std::int32_t>(Le32(b + 18));
    const auto ht = static_cast<std::int32_t>(Le32(b + 22));
    if (w <= 0 || ht == 0 || ht == INT32_MIN) return h;
    h.width = static_cast<std::uint32_t>(w);
    h.height = static_cast<std::uint32_t>(ht < 0 ? -ht : ht);  // negative: rows from the top
  } else {
    return h;
  }
  h.valid = h.width > 0 && h.height > 0;
  return h;
}

PictureHeader GifHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kGif;
  unsigned char b[10] = {};
  if (read(0, b, sizeof b) < sizeof b) return h;
  h.width = Le16(b + 6);
  h.height = Le16(b + 8);
  h.valid = h.width > 0 && h.height > 0;
  return h;
}

bool IsFrameMarker(unsigned char m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureHeader JpegHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kJpeg;
  std::uint64_t at = 2;
  // Each step moves forward by at least two bytes; a file of nothing but
  // segments ends at its end, and a bound keeps a hostile one short.
  for (int step = 0; step < 100000; ++step) {
    unsigned char m[2] = {};
    if (read(at, m, 2) < 2) return h;
    if (m[0] != 0xFF) return h;
    if (m[1] == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (m[1] == 0xD8 || m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) {
      at += 2;
      continue;
    }
    if (m[1] == 0xD9 || m[1] == 0xDA) return h;  // image end or scan before any frame header
    unsigned char len[2] = {};
    if (read(at + 2, len, 2) < 2) return h;
    const std::uint32_t length = Be16(len);
    if (length < 2) return h;
    if (IsFrameMarker(m[1])) {
      unsigned char f[5] = {};
      if (length < 7 || read(at + 4, f, 5) < 5) return h;
      h.height = Be16(f + 1);
      h.width = Be16(f + 3);
      h.valid = h.width > 0 && h.height > 0;
      return h;
    }
    at += 2 + static_cast<std::uint64_t>(length);
  }
  return h;
}

}  // namespace

PictureHeader ReadPictureHeader(const ByteReader& read) {
  unsigned char sig[6] = {};
  const std::size_t n = read(0, sig, sizeof sig);
  if (n >= 2 && sig[0] == 0xFF && sig[1] == 0xD8) return JpegHeader(read);
  if (n >= 2 && sig[0] == 'B' && sig[1] == 'M') return BmpHeader(read);
  if (n >= 6 && std::memcmp(sig, "GIF8", 4) == 0) return GifHeader(read);
  return {};
}

bool AcceptablePictureSize(std::uint64_t width, std::uint64_t height) noexcept {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

PixelSize KeptSize(PixelSize picture, PixelSize screen) noexcept {
  if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
  const double f = std::max(static_cast<double>(screen.width) / picture.width,
                            static_cast<double>(screen.height) / picture.height);
  if (f >= 1.0) return picture;
  const auto side = [f](int n) { return std::clamp(static_cast<int>(std::ceil(n * f - 1e-6)), 1, n); };
  return {side(picture.width), side(picture.height)};
}

// ---- Area-averaging reduction -------------------------------------------

RowShrinker::RowShrinker(PixelSize from, PixelSize to, std::uint32_t* output)
    : from_(from),
      to_(to),
      output_(output),
      scaleY_(static_cast<double>(from.height) / static_cast<double>(to.height)),
      row_(static_cast<std::size_t>(to.width) * 3),
      current_(static_cast<std::size_t>(to.width) * 3),
      next_(static_cast<std::size_t>(to.width) * 3) {
  const double sx = static_cast<double>(from.width) / to.width;
  for (int j = 0; j < to.width; ++j) {
    const double a = j * sx;
    const double b = std::min<double>((j + 1) * sx, from.width);
    const int i0 = static_cast<int>(std::floor(a));
    const int i1 = std::min(from.width, static_cast<int>(std::ceil(b)));
    first_.push_back(i0);
    count_.push_back(i1 - i0);
    weightAt_.push_back(weights_.size());
    for (int i = i0; i < i1; ++i) {
      const double overlap = std::min<double>(i + 1, b) - std::max<double>(i, a);
      weights_.push_back(static_cast<float>(overlap / sx));
    }
  }
}

void RowShrinker::HorizontalInto(const std::uint32_t* row, std::vector<float>& out) const {
  for (int j = 0; j < to_.width; ++j) {
    const float* w = &weights_[weightAt_[static_cast<std::size_t>(j)]];
    const std::uint32_t* p = row + first_[static_cast<std::size_t>(j)];
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    for (int k = 0; k < count_[static_cast<std::size_t>(j)]; ++k) {
      const std::uint32_t v = p[k];
      r += w[k] * static_cast<float>((v >> 16) & 0xFF);
      g += w[k] * static_cast<float>((v >> 8) & 0xFF);
      b += w[k] * static_cast<float>(v & 0xFF);
    }
    out[static_cast<std::size_t>(j) * 3] = r;
    out[static_cast<std::size_t>(j) * 3 + 1] = g;
    out[static_cast<std::size_t>(j) * 3 + 2] = b;
  }
}

namespace {

std::uint32_t PackPixel(float r, float g, float b) {
  const auto c = [](float v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return c(r) << 16 | c(g) << 8 | c(b);
}

}  // namespace

void RowShrinker::Emit(int destRow, std::vector<float>& accumulator) {
  std::uint32_t* out = output_ + static_cast<std::size_t>(destRow) * static_cast<std::size_t>(to_.width);
  const auto k = static_cast<float>(1.0 / scaleY_);
  for (int j = 0; j < to_.width; ++j) {
    const std::size_t at = static_cast<std::size_t>(j) * 3;
    out[j] = PackPixel(accumulator[at] * k, accumulator[at + 1] * k, accumulator[at + 2] * k);
  }
  std::fill(accumulator.begin(), accumulator.end(), 0.0f);
}

void RowShrinker::AddRow(const std::uint32_t* row) {
  if (sourceRow_ >= from_.height) return;
  HorizontalInto(row, row_);
  const double top = sourceRow_;
  const double bottom = top + 1.0;
  // A source row touches at most two output rows: the current and the next.
  for (int d = 0; d < 2; ++d) {
    const int j = nextDestRow_ + d;
    if (j >= to_.height) break;
    const double a = j * scaleY_;
    const double b = j + 1 == to_.height ? static_cast<double>(from_.height) : (j + 1) * scaleY_;
    const auto overlap = static_cast<float>(std::min(bottom, b) - std::max(top, a));
    if (overlap <= 0.0f) continue;
    std::vector<float>& acc = d == 0 ? current_ : next_;
    for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += overlap * row_[i];
  }
  ++sourceRow_;
  while (nextDestRow_ < to_.height) {
    const double end = nextDestRow_ + 1 == to_.height ? static_cast<double>(from_.height)
                                                      : static_cast<double>(nextDestRow_ + 1) * scaleY_;
    if (static_cast<double>(sourceRow_) < end - 1e-3) break;
    Emit(nextDestRow_, current_);
    std::swap(current_, next_);
    ++nextDestRow_;
  }
}

void RowShrinker::Finish() {
  std::vector<std::uint32_t> black(static_cast<std::size_t>(from_.width), 0u);
  while (sourceRow_ < from_.height) AddRow(black.data());
  while (nextDestRow_ < to_.height) {  // rounding left a last row unemitted
    Emit(nextDestRow_, current_);
    std::swap(current_, next_);
    ++nextDestRow_;
  }
}

// ---- Resampling for painting ----------------------------------------------

namespace {

// Per destination index: the first source index and its weights.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<std::size_t> at;
  std::vector<float> weights;
};

// Weights along one axis for destination indices [from, to).
Taps AxisTaps(float start, float length, int dest, int from, int to, int limit) {
  Taps t;
  const double s = static_cast<double>(length) / dest;
  const int lo = std::clamp(static_cast<int>(std::floor(start)), 0, limit - 1);
  const int hi = std::clamp(static_cast<int>(std::ceil(start + length)) - 1, lo, limit - 1);
  for (int j = from; j < to; ++j) {
    t.first.push_back(0);
    t.count.push_back(0);
    t.at.push_back(t.weights.size());
    int first = 0;
    std::vector<std::pair<int, double>> taps;
    if (s >= 1.0) {
      const double a = start + j * s;
      const double b = a + s;
      for (int i = static_cast<int>(std::floor(a)); i < static_cast<int>(std::ceil(b)); ++i) {
        const double overlap = std::min<double>(i + 1, b) - std::max<double>(i, a);
        if (overlap > 0.0) taps.emplace_back(std::clamp(i, lo, hi), overlap);
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

void Resample(const PixelView& source, const Rect& sourceRect, int destW, int destH, const PixelRect& clip,
              std::uint32_t* out) {
  if (!source.pixels || source.width < 1 || source.height < 1 || destW < 1 || destH < 1) return;
  if (clip.width() <= 0 || clip.height() <= 0 || sourceRect.width <= 0.0f || sourceRect.height <= 0.0f) return;
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
