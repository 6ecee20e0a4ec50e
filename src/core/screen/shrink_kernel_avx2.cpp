// The reduction's AVX2 row weighting, built with -mavx2 and called only where
// the processor has AVX2 (ChosenShrinkKernel). Nothing here is shared with
// other files: every helper has internal linkage.
#include <immintrin.h>

#include "core/screen/shrink_kernels.h"

namespace zor::shrink {
namespace {

// Eight bytes at a time: each widened to a 32-bit lane whose upper half is
// zero, so a signed 16-bit multiply-add by the weight (at most kUnit) gives
// the product alone. The bytes past the last eight are weighted plainly.
template <bool kHeld>
void WeightRow(std::uint32_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t n,
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
  (kHeld ? kPlainRows.addSums : kPlainRows.setSums)(sums + k, row + k, n - k, weight);
}

}  // namespace

const RowWeighting kAvx2Rows{WeightRow<false>, WeightRow<true>};

}  // namespace zor::shrink
