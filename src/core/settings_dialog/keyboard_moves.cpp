#include "core/settings_dialog/keyboard_moves.h"

#include <algorithm>

namespace zor {

int MoveInGroup(int at, KeyMove move, int count) noexcept {
  if (count <= 0) return -1;
  if (at < 0 || at >= count) return 0;
  switch (move) {
    case KeyMove::kLeft:
    case KeyMove::kUp:
      return (at + count - 1) % count;
    case KeyMove::kRight:
    case KeyMove::kDown:
      return (at + 1) % count;
    case KeyMove::kHome:
      return 0;
    case KeyMove::kEnd:
      return count - 1;
  }
  return at;
}

int MoveCellCursor(int at, KeyMove move, int cellCount, int cellsPerRow) noexcept {
  if (cellCount <= 0 || cellsPerRow <= 0) return -1;
  if (at < 0 || at >= cellCount) return 0;
  switch (move) {
    case KeyMove::kLeft:
      return std::max(at - 1, 0);
    case KeyMove::kRight:
      return std::min(at + 1, cellCount - 1);
    case KeyMove::kUp:
      return at >= cellsPerRow ? at - cellsPerRow : at;
    case KeyMove::kDown:
      return at < cellsPerRow && cellCount > cellsPerRow ? std::min(at + cellsPerRow, cellCount - 1) : at;
    case KeyMove::kHome:
      return 0;
    case KeyMove::kEnd:
      return cellCount - 1;
  }
  return at;
}

}  // namespace zor
