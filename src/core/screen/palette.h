// The 16-colour console palette of type, grounds and emphasis.
#pragma once

#include <array>
#include <cstdint>

namespace zor {

struct Rgb {
  std::uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},   {128, 0, 128},
    {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
}};

inline constexpr std::int16_t kPaletteBlack = 0;
inline constexpr std::int16_t kPaletteWhite = 15;
inline constexpr std::int16_t kDefaultEmphasisColour = 12;

// The emphasis colours a user can choose: every palette colour but black and white.
inline constexpr std::int16_t kFirstEmphasisColour = 1;
inline constexpr std::int16_t kLastEmphasisColour = 14;

// An emphasis colour outside the choices is light red (12).
[[nodiscard]] constexpr std::int16_t NormaliseEmphasisColour(std::int16_t index) noexcept {
  return index >= kFirstEmphasisColour && index <= kLastEmphasisColour ? index : kDefaultEmphasisColour;
}

[[nodiscard]] constexpr Rgb PaletteColour(int index) noexcept {
  return kPalette[static_cast<std::size_t>(index & 15)];
}

}  // namespace zor
