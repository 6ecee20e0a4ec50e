// The reduction's SSE2 kernel, built with -msse2 and called only where the
// processor has SSE2 (ChosenShrinkKernel).
#include <emmintrin.h>

#include "core/screen/shrink_kernels.h"

namespace zor::shrink {
namespace {

// Sixteen bytes at a time. A weight is at most kUnit and a byte at most 255,
// so a product fits 20 bits and is formed from 16-bit factors: a widening
// multiply. The bytes past the last sixteen are weighted plainly.
template <bool kHeld>
void WeightRow(std::uint32_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t n,
               std::uint32_t weight) noexcept {
  std::size_t k = 0;
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
  (kHeld ? kPlainRows.addSums : kPlainRows.setSums)(sums + k, row + k, n - k, weight);
}

// The three channels of a tap multiplied at once: B and R in the 64-bit halves
// of one register, G in another; the fourth sum read (the next pixel's B for
// three-byte pixels) is dropped.
struct Sse2Columns {
  template <int kChannels, int kTaps>
  static void Emit(const std::uint32_t* acc, const int* start, const std::uint32_t* weights, int columns, int taps,
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
        const __m128i w =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + kSpread * static_cast<std::size_t>(k)));
        blueRed = _mm_add_epi64(blueRed, _mm_mul_epu32(sums, w));
        green = _mm_add_epi64(green, _mm_mul_epu32(_mm_srli_epi64(sums, 32), w));
      }
      // Each total is below 2^32: its 64-bit lane shifts cleanly.
      // Lanes B, 0, R, 0 and G, 0, (dropped), 0 into one pixel.
      const __m128i blueRedShifted = _mm_srli_epi64(blueRed, kShift);
      const __m128i greenShifted = _mm_move_epi64(_mm_srli_epi64(green, kShift));
      const __m128i pixel = _mm_or_si128(_mm_or_si128(blueRedShifted, _mm_slli_epi64(greenShifted, 8)),
                                         _mm_slli_epi64(_mm_srli_si128(blueRedShifted, 8), 16));
      out[j] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixel));
    }
  }
};

}  // namespace

const RowWeighting kSse2Rows{WeightRow<false>, WeightRow<true>};
const ColumnWeighting kSse2Columns{EmitGreyPlain, EmitUnrolled<Sse2Columns, 3>, EmitUnrolled<Sse2Columns, 4>, true};

}  // namespace zor::shrink
