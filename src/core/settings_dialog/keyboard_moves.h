// Where the arrow keys take the focus in the dialogs' picture groups and the
// cursor of the line format dialog's character cells.
#pragma once

namespace zor {

// Keys that move within a group of choices or over the character cells.
enum class KeyMove { kLeft, kRight, kUp, kDown, kHome, kEnd };

// A row of count pictures: left and up go to the one before, right and down
// to the one after, wrapping at the ends like the dialogs' option buttons;
// home and end go to the first and the last.
[[nodiscard]] int MoveInGroup(int at, KeyMove move, int count) noexcept;

// The character cells: two rows of cellsPerRow over the first cellCount
// cells. Left and right stop at the first and last cell; up and down change
// row in the same column, or go to the last cell when the second row is
// shorter; home and end go to the first and last cell. A cursor outside the
// cells comes back to the first; no cells gives -1.
[[nodiscard]] int MoveCellCursor(int at, KeyMove move, int cellCount, int cellsPerRow = 16) noexcept;

}  // namespace zor
