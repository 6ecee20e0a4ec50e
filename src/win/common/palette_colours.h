// The program's colours as GDI takes them.
#pragma once

#include <windows.h>

#include "core/screen/palette.h"

namespace zor::win {

[[nodiscard]] constexpr COLORREF ToColorRef(Rgb c) noexcept { return RGB(c.r, c.g, c.b); }

// The colour of a palette index (0..15; other indexes wrap as PaletteColour does).
[[nodiscard]] constexpr COLORREF ColourOf(int paletteIndex) noexcept { return ToColorRef(PaletteColour(paletteIndex)); }

}  // namespace zor::win
