// The reduction's kernel in plain C++, built for the baseline instruction set.
#include "core/screen/shrink_kernels.h"

namespace zor::shrink {
namespace {

template <bool kHeld>
void WeightRow(std::uint32_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t n,
               std::uint32_t weight) noexcept {
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint32_t product = std::uint32_t{row[k]} * weight;
    sums[k] = kHeld ? sums[k] + product : product;
  }
}

// Sums c = kChannels apart per source pixel (the first three B, G, R; one grey
// sum when c is 1), kTaps taps per column (taps when kTaps is 0).
struct PlainColumns {
  template <int kChannels, int kTaps>
  static void Emit(const std::uint32_t* acc, const int* start, const std::uint32_t* weights, int columns, int taps,
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
};

}  // namespace

void EmitGreyPlain(const std::uint32_t* sums, const int* start, const std::uint32_t* weights, int columns, int taps,
                   std::uint32_t* out) noexcept {
  EmitUnrolled<PlainColumns, 1>(sums, start, weights, columns, taps, out);
}

const RowWeighting kPlainRows{WeightRow<false>, WeightRow<true>};
const ColumnWeighting kPlainColumns{EmitGreyPlain, EmitUnrolled<PlainColumns, 3>, EmitUnrolled<PlainColumns, 4>, false};

}  // namespace zor::shrink
