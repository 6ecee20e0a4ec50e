#include "core/screen/shrink_policy.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/screen/shrink_kernels.h"

namespace zor {

PixelSize KeptSize(PixelSize picture, PixelSize screen) noexcept {
  if (picture.width <= 0 || picture.height <= 0 || screen.width <= 0 || screen.height <= 0) return picture;
  const double f =
      std::max(static_cast<double>(screen.width) / picture.width, static_cast<double>(screen.height) / picture.height);
  if (f >= 1.0) return picture;
  const auto side = [f](int n) { return std::clamp(static_cast<int>(std::ceil(n * f - 1e-6)), 1, n); };
  return {side(picture.width), side(picture.height)};
}

namespace {

// The processor is asked before any code built for an instruction set beyond
// the baseline (SSE2 on x86-64) is chosen.
ShrinkKernel Supported(ShrinkKernel wanted) noexcept {
  __builtin_cpu_init();
  if (wanted >= ShrinkKernel::kAvx2 && __builtin_cpu_supports("avx2")) return ShrinkKernel::kAvx2;
  if (wanted >= ShrinkKernel::kSse41 && __builtin_cpu_supports("sse4.1")) return ShrinkKernel::kSse41;
  if (wanted >= ShrinkKernel::kSse2) return ShrinkKernel::kSse2;
  return ShrinkKernel::kPortable;
}

std::atomic<ShrinkKernel> chosenKernel{Supported(ShrinkKernel::kAvx2)};

}  // namespace

ShrinkKernel SetShrinkKernel(ShrinkKernel wanted) noexcept {
  const ShrinkKernel kernel = Supported(wanted);
  chosenKernel.store(kernel, std::memory_order_relaxed);
  return kernel;
}

namespace shrink {
namespace {

// In ShrinkKernel's order. SSE4.1 weights rows as SSE2 does, and AVX2 weights
// columns as SSE4.1 does.
constexpr KernelFunctions kKernels[] = {
    {kPlainRows, kPlainColumns}, {kSse2Rows, kSse2Columns}, {kSse2Rows, kSse41Columns}, {kAvx2Rows, kSse41Columns}};

}  // namespace

const KernelFunctions& ChosenShrinkKernel() noexcept {
  return kKernels[static_cast<int>(chosenKernel.load(std::memory_order_relaxed))];
}

}  // namespace shrink

}  // namespace zor
