#include "core/settings_dialog/edit_history.h"

#include <gtest/gtest.h>

#include <string>

namespace zor {
namespace {

std::string State(int n) { return "state " + std::to_string(n); }

// Undoes every step and says how many there were; the file ends at the oldest kept state.
int UndoAll(EditHistory& h, std::string& file) {
  int steps = 0;
  while (h.CanUndo()) {
    EXPECT_EQ(h.Current(), file);
    file = h.UndoTarget().bytes;
    h.StepBack();
    ++steps;
  }
  return steps;
}

TEST(EditHistoryTest, StepsGoBackAndForthWithTheirRows) {
  EditHistory h;
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  h.Record(State(0), State(1), 3, 4);
  h.Record(State(1), State(2), 5, 6);
  ASSERT_TRUE(h.CanUndo());
  EXPECT_EQ(h.UndoTarget().bytes, State(1));
  EXPECT_EQ(h.UndoTarget().row, 5);
  h.StepBack();
  EXPECT_EQ(h.Current(), State(1));
  EXPECT_EQ(h.RedoTarget().bytes, State(2));
  EXPECT_EQ(h.RedoTarget().row, 6);
  EXPECT_EQ(h.UndoTarget().row, 3);
  h.StepBack();
  EXPECT_FALSE(h.CanUndo());
  h.StepForward();
  EXPECT_EQ(h.Current(), State(1));

  // A new edit drops what was undone.
  h.Record(State(1), State(7), 0, 0);
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.UndoSteps(), 2u);
  // An edit that does not start from the last state starts the history again.
  h.Record(State(8), State(9), 0, 0);
  EXPECT_EQ(h.UndoSteps(), 1u);
  EXPECT_EQ(h.UndoTarget().bytes, State(8));
}

TEST(EditHistoryTest, OldStepsGoOnlyBeyondTheMinimumAndTheBudget) {
  // Every state 1000 bytes; a budget of 150 states.
  const auto big = [](int n) {
    std::string s(1000, 'x');
    return s.replace(0, 3, std::to_string(1000 + n).substr(1));
  };
  const auto fill = [&](EditHistory& h, int steps) {
    for (int i = 0; i < steps; ++i) h.Record(big(i), big(i + 1), i, i + 1);
  };
  {
    EditHistory h(150 * 1000);
    fill(h, 140);
    std::string file = big(140);
    EXPECT_EQ(UndoAll(h, file), 140) << "within the budget every step stays";
  }
  {
    EditHistory h(10 * 1000);
    fill(h, 140);
    std::string file = big(140);
    EXPECT_EQ(UndoAll(h, file), static_cast<int>(EditHistory::kMinSteps)) << "beyond it the newest 100";
    EXPECT_EQ(file, big(140 - static_cast<int>(EditHistory::kMinSteps)));
  }
}

}  // namespace
}  // namespace zor
