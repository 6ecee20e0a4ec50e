#include "core/screen/decoded_row.h"

namespace zor {

void ExpandRow(const std::uint8_t* row, RowLayout layout, int width, std::uint32_t* out) noexcept {
  switch (layout) {
    case RowLayout::kGray8:
      for (int i = 0; i < width; ++i) out[i] = std::uint32_t{row[i]} * 0x010101u;
      break;
    case RowLayout::kBgr24:
      for (int i = 0; i < width; ++i, row += 3) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
    case RowLayout::kBgrx32:
      for (int i = 0; i < width; ++i, row += 4) {
        out[i] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
      }
      break;
  }
}

void CompositeRowOverGround(std::uint8_t* row, int width, Rgb ground) noexcept {
  const std::uint32_t g[3] = {ground.b, ground.g, ground.r};
  for (int i = 0; i < width; ++i, row += 4) {
    const std::uint32_t a = row[3];
    if (a != 255) {
      for (int c = 0; c < 3; ++c) row[c] = static_cast<std::uint8_t>((row[c] * a + g[c] * (255 - a) + 127) / 255);
    }
    row[3] = 0;
  }
}

}  // namespace zor
