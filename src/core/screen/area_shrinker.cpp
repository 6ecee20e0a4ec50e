#include "core/screen/area_shrinker.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ZOR_SHRINK_X86 1
#endif

namespace zor {

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

// Weights of pixels of three or four bytes are kept four times each, a
// register's worth for the vector multiplies (all kernels but the plain one).
constexpr std::size_t kSpread = 4;

// Where source edge x falls along an axis of from -> to pixels, in output
// units: 0 at the first edge and exactly to × kUnit at the last, so the
// weights of the source pixels in any output pixel add up to kUnit.
std::uint32_t EdgeAt(std::int64_t x, int from, int to) {
  return static_cast<std::uint32_t>((2 * x * to * kUnit + from) / (2 * static_cast<std::int64_t>(from)));
}

// The first source edge at or past output position u (from when none is).
int SourceEdgeFrom(std::uint32_t u, int from, int to) {
  int lo = 0;
  int hi = from;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (EdgeAt(mid, from, to) >= u) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

ShrinkKernel Supported(ShrinkKernel wanted) noexcept {
#if defined(ZOR_SHRINK_X86)
  __builtin_cpu_init();
  if (wanted >= ShrinkKernel::kAvx2 && __builtin_cpu_supports("avx2")) return ShrinkKernel::kAvx2;
  if (wanted >= ShrinkKernel::kSse41 && __builtin_cpu_supports("sse4.1")) return ShrinkKernel::kSse41;
#endif
#if defined(__SSE2__)
  if (wanted >= ShrinkKernel::kSse2) return ShrinkKernel::kSse2;
#endif
  return ShrinkKernel::kPortable;
}

std::atomic<ShrinkKernel> chosenKernel{Supported(ShrinkKernel::kAvx2)};

}  // namespace

ShrinkKernel SetShrinkKernel(ShrinkKernel wanted) noexcept {
  const ShrinkKernel kernel = Supported(wanted);
  chosenKernel.store(kernel, std::memory_order_relaxed);
  return kernel;
}

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
                         int endColumn, int firstRow, int endRow)
    : from_(from),
      to_(to),
      output_(output),
      channels_(BytesPerPixel(layout)),
      kernel_(chosenKernel.load(std::memory_order_relaxed)),
      firstColumn_(std::clamp(firstColumn, 0, to.width)),
      endColumn_(endColumn < 0 ? to.width : std::clamp(endColumn, firstColumn_, to.width)),
      firstRow_(std::clamp(firstRow, 0, to.height)),
      endRow_(endRow < 0 ? to.height : std::clamp(endRow, firstRow_, to.height)) {
  // The source rows overlapping output rows [firstRow_, endRow_): from the one
  // ending past the first's top edge to the last starting above the end's.
  if (firstRow_ > 0) {
    firstSourceRow_ =
        SourceEdgeFrom(static_cast<std::uint32_t>(firstRow_) * kUnit + 1, from.height, to.height) - 1;
  }
  endSourceRow_ = endRow_ > firstRow_
                      ? SourceEdgeFrom(static_cast<std::uint32_t>(endRow_) * kUnit, from.height, to.height)
                      : firstSourceRow_;
  sourceRow_ = firstSourceRow_;
  destRow_ = firstRow_;
  const auto columns = static_cast<std::size_t>(endColumn_ - firstColumn_);
  std::vector<int> first;
  std::vector<int> count;
  std::vector<std::size_t> weightAt;
  std::vector<std::uint32_t> weights;
  first.reserve(columns);
  count.reserve(columns);
  weightAt.reserve(columns);
  // Start a little before the band's first source column and walk to it.
  int i = std::max(0, static_cast<int>(static_cast<std::int64_t>(firstColumn_) * from.width / std::max(1, to.width)) - 1);
  for (int j = firstColumn_; j < endColumn_; ++j) {
    const std::uint32_t lo = static_cast<std::uint32_t>(j) * kUnit;
    const std::uint32_t hi = lo + kUnit;
    while (i < from.width && EdgeAt(i + 1, from.width, to.width) <= lo) ++i;
    first.push_back(i);
    weightAt.push_back(weights.size());
    int k = i;
    for (; k < from.width; ++k) {
      const std::uint32_t a = std::max(EdgeAt(k, from.width, to.width), lo);
      const std::uint32_t b = std::min(EdgeAt(k + 1, from.width, to.width), hi);
      if (a >= hi) break;
      weights.push_back(b > a ? b - a : 0u);
    }
    count.push_back(k - i);
    taps_ = std::max(taps_, k - i);
  }
  int lastSource = 0;
  if (!first.empty()) {
    firstSource_ = first.front();
    lastSource = first.back() + count.back();
  }
  // Every column gets taps_ taps: a column with fewer starts early enough that
  // its taps stay among the band's source columns, the extra weights zero.
  const int sources = lastSource - firstSource_;
  start_.reserve(columns);
  weights_.assign(columns * static_cast<std::size_t>(taps_), 0u);
  for (std::size_t c = 0; c < columns; ++c) {
    const int own = first[c] - firstSource_;
    const int start = std::max(0, std::min(own, sources - taps_));
    start_.push_back(start);
    for (int k = 0; k < count[c]; ++k) {
      weights_[c * static_cast<std::size_t>(taps_) + static_cast<std::size_t>(own - start + k)] =
          weights[weightAt[c] + static_cast<std::size_t>(k)];
    }
  }
  if (channels_ > 1 && kernel_ != ShrinkKernel::kPortable) {
    std::vector<std::uint32_t> spread(weights_.size() * kSpread);
    for (std::size_t k = 0; k < weights_.size(); ++k) {
      std::fill_n(spread.begin() + static_cast<std::ptrdiff_t>(k * kSpread), kSpread, weights_[k]);
    }
    weights_ = std::move(spread);
  }
  sums_ = static_cast<std::size_t>(sources) * static_cast<std::size_t>(channels_);
  current_.assign(sums_ + 1, 0u);  // one more for the read past the last pixel of three
  next_.assign(current_.size(), 0u);
}

namespace {

// One output row of a band from the weighted column sums of its source
// columns, c bytes apart per source pixel (the first three B, G, R; one grey
// byte when c is 1), with kTaps taps per column (taps when kTaps is 0).
// Each column sum is at most 255 × kUnit and a column's weights add up to
// kUnit, so with the rounding half a total is below 255 × 2^24 + 2^23 < 2^32.
template <int kChannels, int kTaps>
void EmitColumns(const std::uint32_t* acc, const int* start, const std::uint32_t* weights, int columns, int taps,
                 std::uint32_t* out) noexcept {
  constexpr std::uint32_t kHalf = 1u << (2 * kUnitBits - 1);
  constexpr int kShift = 2 * kUnitBits;
  const int n = kTaps > 0 ? kTaps : taps;
  for (int j = 0; j < columns; ++j, weights += n) {
    const std::uint32_t* p = acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels;
    if constexpr (kChannels == 1) {
      std::uint32_t v = kHalf;
      for (int k = 0; k < n; ++k) v += weights[k] * p[k];
      out[j] = (v >> kShift) * 0x010101u;
    } else {
      std::uint32_t b = kHalf;
      std::uint32_t g = kHalf;
      std::uint32_t r = kHalf;
      for (int k = 0; k < n; ++k, p += kChannels) {
        b += weights[k] * p[0];
        g += weights[k] * p[1];
        r += weights[k] * p[2];
      }
      out[j] = (r >> kShift) << 16 | (g >> kShift) << 8 | (b >> kShift);
    }
  }
}

#if defined(__SSE2__)
// The same for pixels of three or four sums, the three channels of a tap
// multiplied at once: B and R in the 64-bit halves of one register, G in
// another. A column with three channels reads one sum past its last tap
// (the next pixel's, or the padding after the last), whose products are
// dropped.
template <int kChannels, int kTaps>
void EmitPixels(const std::uint32_t* acc, const int* start, const std::uint32_t* weights, int columns, int taps,
                std::uint32_t* out) noexcept {
  constexpr int kShift = 2 * kUnitBits;
  const int n = kTaps > 0 ? kTaps : taps;
  const __m128i half = _mm_set1_epi64x(std::int64_t{1} << (kShift - 1));
  for (int j = 0; j < columns; ++j, weights += kSpread * static_cast<std::size_t>(n)) {
    const std::uint32_t* p = acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels;
    __m128i blueRed = half;
    __m128i green = half;
#pragma GCC unroll 8
    for (int k = 0; k < n; ++k, p += kChannels) {
      const __m128i sums = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + kSpread * static_cast<std::size_t>(k)));
      blueRed = _mm_add_epi64(blueRed, _mm_mul_epu32(sums, w));
      green = _mm_add_epi64(green, _mm_mul_epu32(_mm_srli_epi64(sums, 32), w));
    }
    // Each total is below 2^32 (as for EmitColumns): its 64-bit lane shifts cleanly.
    // Lanes B, 0, R, 0 and G, 0, (dropped), 0 into one pixel.
    const __m128i blueRedShifted = _mm_srli_epi64(blueRed, kShift);
    const __m128i greenShifted = _mm_move_epi64(_mm_srli_epi64(green, kShift));
    const __m128i pixel = _mm_or_si128(_mm_or_si128(blueRedShifted, _mm_slli_epi64(greenShifted, 8)),
                                       _mm_slli_epi64(_mm_srli_si128(blueRedShifted, 8), 16));
    out[j] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixel));
  }
}
#endif

#if defined(ZOR_SHRINK_X86)
// The same with 32-bit lanes B, G, R and a fourth (dropped): one multiply
// per tap, every product and total fitting its lane as above.
template <int kChannels>
__attribute__((target("sse4.1"), always_inline)) inline __m128i Total41(const std::uint32_t* p,
                                                                       const std::uint32_t* weights, int n) noexcept {
  __m128i total = _mm_set1_epi32(1 << (2 * kUnitBits - 1));
#pragma GCC unroll 8
  for (int k = 0; k < n; ++k, p += kChannels, weights += kSpread) {
    const __m128i sums = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
    total = _mm_add_epi32(total, _mm_mullo_epi32(sums, w));
  }
  return _mm_srli_epi32(total, 2 * kUnitBits);
}

// Bytes B, G, R, 0 of one pixel from its shifted totals.
__attribute__((target("sse4.1"), always_inline)) inline std::uint32_t Pack41(__m128i total) noexcept {
  const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(total, total), total);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu;
}

// Four columns at a time, packed into one store.
template <int kChannels, int kTaps>
__attribute__((target("sse4.1"))) void EmitPixels41(const std::uint32_t* acc, const int* start,
                                                    const std::uint32_t* weights, int columns, int taps,
                                                    std::uint32_t* out) noexcept {
  const int n = kTaps > 0 ? kTaps : taps;
  const std::size_t step = kSpread * static_cast<std::size_t>(n);
  const __m128i low = _mm_set1_epi32(0xFFFFFF);
  int j = 0;
  for (; j + 4 <= columns; j += 4, weights += 4 * step) {
    const __m128i t0 = Total41<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels, weights, n);
    const __m128i t1 = Total41<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 1]) * kChannels, weights + step, n);
    const __m128i t2 =
        Total41<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 2]) * kChannels, weights + 2 * step, n);
    const __m128i t3 =
        Total41<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 3]) * kChannels, weights + 3 * step, n);
    const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(t0, t1), _mm_packus_epi32(t2, t3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_and_si128(bytes, low));
  }
  for (; j < columns; ++j, weights += step) {
    out[j] = Pack41(Total41<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels, weights, n));
  }
}

#endif

template <int kChannels, int kTaps>
void EmitAny(ShrinkKernel kernel, const std::uint32_t* acc, const int* start, const std::uint32_t* weights,
             int columns, int taps, std::uint32_t* out) noexcept {
  if constexpr (kChannels > 1) {
    switch (kernel) {
#if defined(ZOR_SHRINK_X86)
      case ShrinkKernel::kAvx2:  // the AVX2 kernel differs in Accumulate alone
      case ShrinkKernel::kSse41:
        return EmitPixels41<kChannels, kTaps>(acc, start, weights, columns, taps, out);
#endif
#if defined(__SSE2__)
      case ShrinkKernel::kSse2:
        return EmitPixels<kChannels, kTaps>(acc, start, weights, columns, taps, out);
#endif
      default:
        break;
    }
  }
  EmitColumns<kChannels, kTaps>(acc, start, weights, columns, taps, out);
}

template <int kChannels>
void EmitColumnsOf(ShrinkKernel kernel, const std::uint32_t* acc, const int* start, const std::uint32_t* weights,
                   int columns, int taps, std::uint32_t* out) noexcept {
  // The usual reductions have a few taps per column: those get loops of fixed length.
  switch (taps) {
    case 2: return EmitAny<kChannels, 2>(kernel, acc, start, weights, columns, taps, out);
    case 3: return EmitAny<kChannels, 3>(kernel, acc, start, weights, columns, taps, out);
    case 4: return EmitAny<kChannels, 4>(kernel, acc, start, weights, columns, taps, out);
    case 5: return EmitAny<kChannels, 5>(kernel, acc, start, weights, columns, taps, out);
    default: return EmitAny<kChannels, 0>(kernel, acc, start, weights, columns, taps, out);
  }
}

// Weighted rows into column sums: sums = (kHeld ? sums : 0) + weight × row,
// from sum k on.
template <bool kHeld>
void AccumulatePlain(std::uint32_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t n,
                     std::uint32_t weight, std::size_t k = 0) noexcept {
  for (; k < n; ++k) {
    const std::uint32_t product = std::uint32_t{row[k]} * weight;
    sums[k] = kHeld ? sums[k] + product : product;
  }
}

// The same sixteen bytes at a time. A weight is at most kUnit and a byte at
// most 255, so a product fits 20 bits and is formed from 16-bit factors: a
// widening multiply.
template <bool kHeld>
void Accumulate(std::uint32_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t n,
                std::uint32_t weight) noexcept {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= n; k += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + k));
    const __m128i halves[2] = {_mm_unpacklo_epi8(bytes, zero), _mm_unpackhi_epi8(bytes, zero)};
    for (int h = 0; h < 2; ++h) {
      const __m128i low = _mm_mullo_epi16(halves[h], w);
      const __m128i high = _mm_mulhi_epu16(halves[h], w);
      __m128i* at = reinterpret_cast<__m128i*>(sums + k + 8 * static_cast<std::size_t>(h));
      __m128i first = _mm_unpacklo_epi16(low, high);
      __m128i second = _mm_unpackhi_epi16(low, high);
      if constexpr (kHeld) {
        first = _mm_add_epi32(first, _mm_loadu_si128(at));
        second = _mm_add_epi32(second, _mm_loadu_si128(at + 1));
      }
      _mm_storeu_si128(at, first);
      _mm_storeu_si128(at + 1, second);
    }
  }
#endif
  AccumulatePlain<kHeld>(sums, row, n, weight, k);
}

#if defined(ZOR_SHRINK_X86)
// The same eight bytes at a time: each widened to a 32-bit lane whose upper
// half is zero, so a signed 16-bit multiply-add by the weight (at most kUnit)
// gives the product alone.
template <bool kHeld>
__attribute__((target("avx2"))) void AccumulateAvx2(std::uint32_t* __restrict sums,
                                                    const std::uint8_t* __restrict row, std::size_t n,
                                                    std::uint32_t weight) noexcept {
  const __m256i w = _mm256_set1_epi32(static_cast<int>(weight));
  std::size_t k = 0;
#pragma GCC unroll 4
  for (; k + 8 <= n; k += 8) {
    const __m256i bytes = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + k)));
    __m256i products = _mm256_madd_epi16(bytes, w);
    __m256i* at = reinterpret_cast<__m256i*>(sums + k);
    if constexpr (kHeld) products = _mm256_add_epi32(products, _mm256_loadu_si256(at));
    _mm256_storeu_si256(at, products);
  }
  AccumulatePlain<kHeld>(sums, row, n, weight, k);
}
#endif

void Accumulate(ShrinkKernel kernel, std::uint32_t* sums, const std::uint8_t* row, std::size_t n,
                std::uint32_t weight, bool held) noexcept {
  if (kernel == ShrinkKernel::kPortable) {
    if (held) {
      AccumulatePlain<true>(sums, row, n, weight);
    } else {
      AccumulatePlain<false>(sums, row, n, weight);
    }
    return;
  }
#if defined(ZOR_SHRINK_X86)
  if (kernel == ShrinkKernel::kAvx2) {
    if (held) {
      AccumulateAvx2<true>(sums, row, n, weight);
    } else {
      AccumulateAvx2<false>(sums, row, n, weight);
    }
    return;
  }
#endif
  if (held) {
    Accumulate<true>(sums, row, n, weight);
  } else {
    Accumulate<false>(sums, row, n, weight);
  }
}

}  // namespace

void RowShrinker::Emit() {
  std::uint32_t* out = output_ + static_cast<std::size_t>(destRow_ - firstRow_) * static_cast<std::size_t>(to_.width) +
                       static_cast<std::size_t>(firstColumn_);
  const int columns = endColumn_ - firstColumn_;
  if (!currentHeld_) {
    std::fill(out, out + columns, 0u);  // no row reached it: black
  } else if (channels_ == 1) {
    EmitColumnsOf<1>(kernel_, current_.data(), start_.data(), weights_.data(), columns, taps_, out);
  } else if (channels_ == 3) {
    EmitColumnsOf<3>(kernel_, current_.data(), start_.data(), weights_.data(), columns, taps_, out);
  } else {
    EmitColumnsOf<4>(kernel_, current_.data(), start_.data(), weights_.data(), columns, taps_, out);
  }
  std::swap(current_, next_);
  currentHeld_ = nextHeld_;
  nextHeld_ = false;
  ++destRow_;
}

void RowShrinker::Add(const std::uint8_t* row) {
  if (sourceRow_ >= endSourceRow_) return;
  const std::uint32_t a = EdgeAt(sourceRow_, from_.height, to_.height);
  const std::uint32_t b = EdgeAt(sourceRow_ + 1, from_.height, to_.height);
  ++sourceRow_;
  // A source row falls into at most two output rows: the one being made and
  // the next (if made). The first row given may start in the row before the
  // first made: only its part from there on is weighted.
  const std::uint32_t top = static_cast<std::uint32_t>(destRow_) * kUnit;
  const std::uint32_t edge = top + kUnit;
  const std::uint32_t here = std::min(b, edge) - std::min(std::max(a, top), edge);
  const std::uint32_t there = b > edge && destRow_ + 1 < endRow_ ? b - std::max(a, edge) : 0u;
  if (row) {
    const std::size_t n = sums_;
    const std::uint8_t* in = row + static_cast<std::size_t>(firstSource_) * static_cast<std::size_t>(channels_);
    if (here) {
      Accumulate(kernel_, current_.data(), in, n, here, currentHeld_);
      currentHeld_ = true;
    }
    if (there) {
      Accumulate(kernel_, next_.data(), in, n, there, nextHeld_);
      nextHeld_ = true;
    }
  }
  if (b >= edge && destRow_ < endRow_) Emit();
}

void RowShrinker::AddRow(const std::uint8_t* row) { Add(row); }

void RowShrinker::AddRow(const std::uint32_t* row) { Add(reinterpret_cast<const std::uint8_t*>(row)); }

void RowShrinker::Finish() {
  while (sourceRow_ < endSourceRow_) Add(nullptr);
  while (destRow_ < endRow_) Emit();
}

// ---- Two bands at once ------------------------------------------------------

namespace {

// Below this many source pixels one band is quicker than handing rows over.
constexpr std::int64_t kBandedFrom = 1 << 20;

}  // namespace

BandedShrinker::BandedShrinker(PixelSize from, PixelSize to, std::uint32_t* output, RowLayout layout, int firstRow,
                               int endRow) {
  const bool two = std::thread::hardware_concurrency() >= 2 && to.width >= 64 &&
                   static_cast<std::int64_t>(from.width) * from.height >= kBandedFrom;
  if (two) {
    const int split = to.width / 2;
    left_.emplace(from, to, output, layout, 0, split, firstRow, endRow);
    right_.emplace(from, to, output, layout, split, to.width, firstRow, endRow);
    try {
      worker_ = std::thread([this] { Work(); });
      return;
    } catch (const std::system_error&) {
      right_.reset();
    }
  }
  left_.emplace(from, to, output, layout, 0, -1, firstRow, endRow);
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
    done_.store(seen, std::memory_order_release);
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
  // The rows are the caller's again only when the other band is done with them.
  if (worker_.joinable()) AwaitOtherBand();
}

void BandedShrinker::AwaitOtherBand() {
  // The other band mostly ends soon after this one, sooner than a sleeping
  // thread wakes: watch for it a while before sleeping, yielding the
  // processor in case that band's thread is waiting for it.
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
  while (done_.load(std::memory_order_acquire) != given_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::yield();
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return done_.load(std::memory_order_acquire) == given_; });
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
  if (worker_.joinable()) AwaitOtherBand();
}

}  // namespace zor
