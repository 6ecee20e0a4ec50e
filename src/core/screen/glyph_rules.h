// Small numeric rules of glyph drawing: rounding, outline directions, the
// characters that need care at the turn of an L, and pixel/point units.
#pragma once

#include <cstdint>
#include <string_view>

namespace zor {

// Nearest integer by the first decimal digit, halves away from zero:
// 4.8 -> 5, 4.45 -> 4, 0.5 -> 1, -2.5 -> -3, -2.4 -> -2.
[[nodiscard]] float RoundOff(float x) noexcept;

// Outline direction d (0..7) as a unit step; any other d gives 0.
[[nodiscard]] float OutlineDX(int d) noexcept;
[[nodiscard]] float OutlineDY(int d) noexcept;

// Exactly one of the 27 small kana and marks that must not start or end a
// run badly at the turn of an L; false for anything else.
[[nodiscard]] bool IsFoldSensitive(std::wstring_view ch);

// n pixels in points at the given twips per pixel.
[[nodiscard]] constexpr float PixelsToPoints(float n, float twipsPerPixel) noexcept {
  return n / 20.0f * twipsPerPixel;
}

}  // namespace zor
