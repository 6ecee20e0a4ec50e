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

}  // namespace zor
