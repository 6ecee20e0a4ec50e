#include "core/screen/picture_pixels.h"

#include <algorithm>
#include <bit>
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

static_assert(std::endian::native == std::endian::little, "0x00RRGGBB pixels are read as bytes B, G, R, 0");

namespace {

// Fixed-point weights: one output pixel is kUnit along each axis.
constexpr int kUnitBits = 12;
constexpr std::uint32_t kUnit = 1u << kUnitBits;

// Where source edge x falls along an axis of from -> to pixels, in output
// units: 0 at the first edge and exactly to × kUnit at the last, so the
// weights of the source pixels in any output pixel add up to kUnit.
std::uint32_t EdgeAt(std::int64_t x, int from, int to) {
  return static_cast<std::uint32_t>((2 * x * to * kUnit + from) / (2 * static_cast<std::int64_t>(from)));
}

}  // namespace

void ExpandRow(const std::uint8_t* row, RowLayout layout, int width, std::uint32_t* out) noexcept {
  switch (layout) {
    case RowLayout::kGray8:
      for (int i = 0; i < width; ++i) out[i] = std::uint32_t{row[i]} * 0x010101u;
      break;
    case RowLayout::kBgr24:
      for (int i = 0; i < width; ++i, row += 3) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
    case RowLayout::kBgrx32:
      for (int i = 0; i < width; ++i, row += 4) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
  }
}

RowShrinker::RowShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstColumn,
                         int endColumn)
    : from_(from),
      to_(to),
      output_(output),
      channels_(BytesPerPixel(layout)),
      firstColumn_(std::clamp(firstColumn, 0, to.width)),
      endColumn_(endColumn < 0 ? to.width : std::clamp(endColumn, firstColumn_, to.width)) {
  const auto columns = static_cast<std::size_t>(endColumn_ - firstColumn_);
  first_.reserve(columns);
  count_.reserve(columns);
  weightAt_.reserve(columns);
  // Start a little before the band's first source column and walk to it.
  int i = std::max(0, static_cast<int>(static_cast<std::int64_t>(firstColumn_) * from.width / std::max(1, to.width)) - 1);
  for (int j = firstColumn_; j < endColumn_; ++j) {
    const std::uint32_t lo = static_cast<std::uint32_t>(j) * kUnit;
    const std::uint32_t hi = lo + kUnit;
    while (i < from.width && EdgeAt(i + 1, from.width, to.width) <= lo) ++i;
    first_.push_back(i);
    weightAt_.push_back(weights_.size());
    int k = i;
    for (; k < from.width; ++k) {
      const std::uint32_t a = std::max(EdgeAt(k, from.width, to.width), lo);
      const std::uint32_t b = std::min(EdgeAt(k + 1, from.width, to.width), hi);
      if (a >= hi) break;
      weights_.push_back(b > a ? b - a : 0u);
    }
    count_.push_back(k - i);
  }
  int lastSource = 0;
  if (!first_.empty()) {
    firstSource_ = first_.front();
    lastSource = first_.back() + count_.back();
  }
  current_.assign(static_cast<std::size_t>(lastSource - firstSource_) * static_cast<std::size_t>(channels_), 0u);
  next_.assign(current_.size(), 0u);
}

void RowShrinker::Emit() {
  std::uint32_t* out = output_ + static_cast<std::size_t>(destRow_) * static_cast<std::size_t>(to_.width);
  const std::uint32_t* acc = current_.data();
  const int c = channels_;
  // Each column sum is at most 255 × kUnit and the weights add up to kUnit,
  // so the totals stay below 2^32.
  constexpr std::uint32_t kHalf = 1u << (2 * kUnitBits - 1);
  for (int j = firstColumn_; j < endColumn_; ++j) {
    const auto band = static_cast<std::size_t>(j - firstColumn_);
    const std::uint32_t* w = &weights_[weightAt_[band]];
    const std::uint32_t* p = acc + static_cast<std::size_t>(first_[band] - firstSource_) * c;
    const int n = count_[band];
    if (c == 1) {
      std::uint32_t v = kHalf;
      for (int k = 0; k < n; ++k) v += w[k] * p[k];
      out[j] = (v >> (2 * kUnitBits)) * 0x010101u;
    } else {
      std::uint32_t b = kHalf;
      std::uint32_t g = kHalf;
      std::uint32_t r = kHalf;
      for (int k = 0; k < n; ++k, p += c) {
        b += w[k] * p[0];
        g += w[k] * p[1];
        r += w[k] * p[2];
      }
      out[j] = (r >> (2 * kUnitBits)) << 16 | (g >> (2 * kUnitBits)) << 8 | (b >> (2 * kUnitBits));
    }
  }
  std::swap(current_, next_);
  std::fill(next_.begin(), next_.end(), 0u);
  ++destRow_;
}

void RowShrinker::Add(const std::uint8_t* row) {
  if (sourceRow_ >= from_.height) return;
  const std::uint32_t a = EdgeAt(sourceRow_, from_.height, to_.height);
  const std::uint32_t b = EdgeAt(sourceRow_ + 1, from_.height, to_.height);
  ++sourceRow_;
  // A source row falls into at most two output rows: the one being made and the next.
  const std::uint32_t edge = static_cast<std::uint32_t>(destRow_ + 1) * kUnit;
  const std::uint32_t here = std::min(b, edge) - std::min(a, edge);
  const std::uint32_t there = b > edge ? b - std::max(a, edge) : 0u;
  if (row) {
    const std::size_t n = current_.size();
    std::uint32_t* __restrict cur = current_.data();
    std::uint32_t* __restrict nxt = next_.data();
    const std::uint8_t* __restrict in = row + static_cast<std::size_t>(firstSource_) * static_cast<std::size_t>(channels_);
    if (here) {
      for (std::size_t k = 0; k < n; ++k) cur[k] += here * in[k];
    }
    if (there) {
      for (std::size_t k = 0; k < n; ++k) nxt[k] += there * in[k];
    }
  }
  if (b >= edge && destRow_ < to_.height) Emit();
}

void RowShrinker::AddRow(const std::uint8_t* row) { Add(row); }

void RowShrinker::AddRow(const std::uint32_t* row) { Add(reinterpret_cast<const std::uint8_t*>(row)); }

void RowShrinker::Finish() {
  while (sourceRow_ < from_.height) Add(nullptr);
  while (destRow_ < to_.height) Emit();
}

// ---- Two bands at once ------------------------------------------------------

namespace {

// Below this many source pixels one band is quicker than handing rows over.
constexpr std::int64_t kBandedFrom = 1 << 20;

}  // namespace

BandedShrinker::BandedShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout) {
  const bool two = std::thread::hardware_concurrency() >= 2 && to.width >= 64 &&
                   static_cast<std::int64_t>(from.width) * from.height >= kBandedFrom;
  if (two) {
    const int split = to.width / 2;
    left_.emplace(from, to, output, layout, 0, split);
    right_.emplace(from, to, output, layout, split, to.width);
    try {
      worker_ = std::thread([this] { Work(); });
      return;
    } catch (const std::system_error&) {
      right_.reset();
    }
  }
  left_.emplace(from, to, output, layout);
}

BandedShrinker::~BandedShrinker() {
  if (!worker_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BandedShrinker::Work() {
  std::uint64_t seen = 0;
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || given_ != seen; });
    if (given_ == seen) return;  // stopped with nothing left to do
    seen = given_;
    const std::uint8_t* rows = rows_;
    const int count = count_;
    const std::size_t stride = stride_;
    const bool finish = finish_;
    lock.unlock();
    for (int r = 0; r < count; ++r) right_->AddRow(rows + static_cast<std::size_t>(r) * stride);
    if (finish) right_->Finish();
    lock.lock();
    done_ = seen;
    lock.unlock();
    changed_.notify_all();
  }
}

void BandedShrinker::AddRows(const std::uint8_t* rows, int count, std::size_t stride) {
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      rows_ = rows;
      count_ = count;
      stride_ = stride;
      ++given_;
    }
    changed_.notify_all();
  }
  for (int r = 0; r < count; ++r) left_->AddRow(rows + static_cast<std::size_t>(r) * stride);
  if (worker_.joinable()) {
    // The rows are the caller's again only when the other band is done with them.
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ == given_; });
  }
}

void BandedShrinker::Finish() {
  if (worker_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      count_ = 0;
      finish_ = true;
      ++given_;
    }
    changed_.notify_all();
  }
  left_->Finish();
  if (worker_.joinable()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ == given_; });
  }
}

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

// Weights along one axis for destination indices [from, to).
Taps AxisTaps(float start, float length, int dest, int from, int to, int limit) {
  Taps t;
  const double s = static_cast<double>(length) / dest;
  const auto [lo, hi] = SourceSpan(start, length, limit);
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
