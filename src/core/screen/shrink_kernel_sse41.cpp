// The reduction's SSE4.1 column weighting, built with -msse4.1 and called only
// where the processor has SSE4.1 (ChosenShrinkKernel).
#include <smmintrin.h>

#include "core/screen/shrink_kernels.h"

namespace zor::shrink {
namespace {

// The shifted totals of one column in 32-bit lanes B, G, R and a fourth
// (dropped): one multiply per tap, every product and total fitting its lane.
template <int kChannels>
[[gnu::always_inline]] inline __m128i Total(const std::uint32_t* p, const std::uint32_t* weights, int n) noexcept {
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
[[gnu::always_inline]] inline std::uint32_t Pack(__m128i total) noexcept {
  const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(total, total), total);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu;
}

// Four columns at a time, packed into one store.
struct Sse41Columns {
  template <int kChannels, int kTaps>
  static void Emit(const std::uint32_t* acc, const int* start, const std::uint32_t* weights, int columns, int taps,
                   std::uint32_t* out) noexcept {
    const int n = kTaps > 0 ? kTaps : taps;
    const std::size_t step = kSpread * static_cast<std::size_t>(n);
    const __m128i low = _mm_set1_epi32(0xFFFFFF);
    int j = 0;
    for (; j + 4 <= columns; j += 4, weights += 4 * step) {
      const __m128i t0 = Total<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels, weights, n);
      const __m128i t1 =
          Total<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 1]) * kChannels, weights + step, n);
      const __m128i t2 =
          Total<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 2]) * kChannels, weights + 2 * step, n);
      const __m128i t3 =
          Total<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j + 3]) * kChannels, weights + 3 * step, n);
      const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(t0, t1), _mm_packus_epi32(t2, t3));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_and_si128(bytes, low));
    }
    for (; j < columns; ++j, weights += step) {
      out[j] = Pack(Total<kChannels>(acc + static_cast<std::ptrdiff_t>(start[j]) * kChannels, weights, n));
    }
  }
};

}  // namespace

const ColumnWeighting kSse41Columns{EmitGreyPlain, EmitUnrolled<Sse41Columns, 3>, EmitUnrolled<Sse41Columns, 4>, true};

}  // namespace zor::shrink
