// Rows of decoded pictures: how their bytes hold a pixel, and their expansion
// to 32-bit pixels (0x00RRGGBB).
#pragma once

#include <cstdint>

#include "core/screen/palette.h"

namespace zor {

// How the bytes of a decoded row hold a pixel: one grey byte; blue, green,
// red; or blue, green, red and an unused byte (0x00RRGGBB in memory).
enum class RowLayout { kGray8 = 1, kBgr24 = 3, kBgrx32 = 4 };

[[nodiscard]] constexpr int BytesPerPixel(RowLayout layout) noexcept { return static_cast<int>(layout); }

// One decoded row as 0x00RRGGBB pixels.
void ExpandRow(const std::uint8_t* row, RowLayout layout, int width, std::uint32_t* out) noexcept;

// A row of blue, green, red and alpha bytes (colour not premultiplied)
// blended over the ground in place: what a see-through picture shows on a
// page of that colour, in blue, green, red and an unused byte.
void CompositeRowOverGround(std::uint8_t* row, int width, Rgb ground) noexcept;

}  // namespace zor
