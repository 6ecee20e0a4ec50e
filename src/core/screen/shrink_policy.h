// What a reduction is made to and with: the size a picture is kept at for a
// screen, and which kernel reductions use.
#pragma once

#include "core/screen/pixel_size.h"

namespace zor {

// The size a picture is kept at for a screen: its own size, or smaller with
// the aspect kept when it is larger than needed to cover the screen.
[[nodiscard]] PixelSize KeptSize(PixelSize picture, PixelSize screen) noexcept;

// The code that weights rows into column sums and column sums into output
// pixels: plain C++; SSE2 (64-bit lane multiplies for the columns); SSE4.1
// (one 32-bit lane multiply per column tap); AVX2 (that, and rows weighted
// eight sums at a time). Every kernel gives the same output, bit for bit.
enum class ShrinkKernel { kPortable, kSse2, kSse41, kAvx2 };

// The kernel reductions started from now on use: the one asked for, or the
// best this processor has below it. Returns the kernel in use. The best one
// is used unless this is called (by tests and benchmarks).
ShrinkKernel SetShrinkKernel(ShrinkKernel wanted) noexcept;

}  // namespace zor
