// The reduction's kernels: the functions that weight rows into column sums
// and column sums into output pixels, one set per instruction set. Each set
// lives in a file of its own built for that instruction set
// (shrink_kernel_plain, _sse2, _sse41, _avx2) and hands out its tables;
// ChosenShrinkKernel() hands out only tables the processor runs. Code here is
// only instantiated with a kernel file's own types, so that no code built for
// one instruction set is shared with another.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zor::shrink {

// Fixed-point weights: one output pixel is kUnit along each axis.
constexpr int kUnitBits = 12;
constexpr std::uint32_t kUnit = 1u << kUnitBits;

// Where a kernel multiplies the three channels of a pixel at once, the column
// weights of pixels of three or four bytes are kept kSpread times each.
constexpr std::size_t kSpread = 4;

// sums[k] = weight × row[k] (setSums) or sums[k] += weight × row[k] (addSums)
// for k < n. A weight is at most kUnit.
using WeightRowFn = void (*)(std::uint32_t* sums, const std::uint8_t* row, std::size_t n,
                             std::uint32_t weight) noexcept;

// One output row of a band: output column j from the column sums of the band's
// source columns start[j] on (a source column's sums bytes-per-pixel apart),
// taps of them, with its taps weights (kSpread times each where spread).
// Each column sum is at most 255 × kUnit and a column's weights add up to
// kUnit, so with the rounding half a total is below 255 × 2^24 + 2^23 < 2^32.
// A column of three-byte pixels may read one sum past its last tap, so the
// sums hold one more than the source columns.
using EmitRowFn = void (*)(const std::uint32_t* sums, const int* start, const std::uint32_t* weights, int columns,
                           int taps, std::uint32_t* out) noexcept;

// How a kernel weights rows into column sums.
struct RowWeighting {
  WeightRowFn setSums;
  WeightRowFn addSums;
};

// How a kernel weights column sums into output pixels, per bytes per source pixel.
struct ColumnWeighting {
  EmitRowFn emitGrey;  // one
  EmitRowFn emitBgr;   // three
  EmitRowFn emitBgrx;  // four
  bool spreadWeights;  // whether emitBgr and emitBgrx read each weight kSpread times
};

struct KernelFunctions {
  const RowWeighting& rows;
  const ColumnWeighting& columns;
};

// The functions of the kernel reductions started now use.
[[nodiscard]] const KernelFunctions& ChosenShrinkKernel() noexcept;

// Plain C++ (shrink_kernel_plain.cpp); its grey columns serve every kernel.
extern const RowWeighting kPlainRows;
extern const ColumnWeighting kPlainColumns;
void EmitGreyPlain(const std::uint32_t* sums, const int* start, const std::uint32_t* weights, int columns, int taps,
                   std::uint32_t* out) noexcept;

// SSE2 (shrink_kernel_sse2.cpp): rows sixteen bytes at a time; columns with
// 64-bit lane multiplies.
extern const RowWeighting kSse2Rows;
extern const ColumnWeighting kSse2Columns;

// SSE4.1 (shrink_kernel_sse41.cpp): columns with one 32-bit lane multiply per
// tap, four columns to a store.
extern const ColumnWeighting kSse41Columns;

// AVX2 (shrink_kernel_avx2.cpp): rows eight sums at a time.
extern const RowWeighting kAvx2Rows;

// Columns::Emit<kChannels, kTaps> (with a kernel's own Columns type) with the
// tap loop unrolled for the usual tap counts, 2 to 5, and kTaps 0 (the loop
// reading `taps`) for others.
template <class Columns, int kChannels>
void EmitUnrolled(const std::uint32_t* sums, const int* start, const std::uint32_t* weights, int columns, int taps,
                  std::uint32_t* out) noexcept {
  switch (taps) {
    case 2:
      return Columns::template Emit<kChannels, 2>(sums, start, weights, columns, taps, out);
    case 3:
      return Columns::template Emit<kChannels, 3>(sums, start, weights, columns, taps, out);
    case 4:
      return Columns::template Emit<kChannels, 4>(sums, start, weights, columns, taps, out);
    case 5:
      return Columns::template Emit<kChannels, 5>(sums, start, weights, columns, taps, out);
    default:
      return Columns::template Emit<kChannels, 0>(sums, start, weights, columns, taps, out);
  }
}

}  // namespace zor::shrink
