#include "core/settings_dialog/keyboard_moves.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

using enum KeyMove;

struct Case {
  int at;
  KeyMove move;
  int count;
  int expected;
};

TEST(KeyboardMovesTest, ArrowsWrapWithinAGroupOfPictures) {
  const Case cases[] = {
      {0, kRight, 4, 1}, {3, kRight, 4, 0}, {3, kDown, 4, 0}, {0, kLeft, 4, 3}, {0, kUp, 4, 3},
      {2, kHome, 4, 0},  {1, kEnd, 14, 13}, {0, kRight, 1, 0}, {9, kRight, 4, 0},  // focus outside: the first
      {0, kRight, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MoveInGroup(c.at, c.move, c.count), c.expected)
        << "from " << c.at << " key " << static_cast<int>(c.move) << " of " << c.count;
  }
}

TEST(KeyboardMovesTest, TheCellCursorStopsAtTheEndsAndChangesRowInItsColumn) {
  const Case cases[] = {
      // One row of five: left and right stop at the ends, up and down stay.
      {0, kLeft, 5, 0}, {4, kRight, 5, 4}, {2, kRight, 5, 3}, {2, kDown, 5, 2}, {2, kUp, 5, 2},
      // Two full rows: right and left run on across the rows; up and down keep the column.
      {15, kRight, 32, 16}, {16, kLeft, 32, 15}, {5, kDown, 32, 21}, {21, kUp, 32, 5}, {31, kDown, 32, 31},
      {3, kUp, 32, 3},
      // A short second row: down goes to its last cell.
      {10, kDown, 20, 19}, {2, kDown, 20, 18}, {19, kUp, 20, 3},
      {7, kHome, 20, 0}, {7, kEnd, 20, 19},
      // A cursor outside the cells comes back; no cells, no cursor.
      {25, kLeft, 20, 0}, {0, kRight, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MoveCellCursor(c.at, c.move, c.count), c.expected)
        << "from " << c.at << " key " << static_cast<int>(c.move) << " of " << c.count;
  }
}

}  // namespace
}  // namespace zor
