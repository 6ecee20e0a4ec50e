#include "core/settings_dialog/edit_history.h"

#include <gtest/gtest.h>

#include <string>

namespace zor {
namespace {

// A state of 1000 bytes named by n.
std::string State(int n) { return std::to_string(n).append(1000, 'x').substr(0, 1000); }

// Steps 0..count-1, step i from State(i) to State(i + 1).
void Fill(EditHistory& h, int count) {
  for (int i = 0; i < count; ++i) h.Record(State(i), State(i + 1), i, i + 1);
}

int StepsBack(EditHistory& h) {
  int n = 0;
  for (; h.CanUndo(); ++n) h.StepBack();
  return n;
}

TEST(EditHistoryTest, OldStepsGoOnlyBeyondTheMinimumAndTheBudget) {
  EditHistory roomy(150 * 1000);
  Fill(roomy, 140);
  EXPECT_EQ(StepsBack(roomy), 140);
  EXPECT_EQ(roomy.Current(), State(0));

  EditHistory tight(10 * 1000);
  Fill(tight, 140);
  EXPECT_EQ(StepsBack(tight), static_cast<int>(EditHistory::kMinSteps));
  EXPECT_EQ(tight.Current(), State(40));
  EXPECT_EQ(tight.RedoTarget().row, 41);
}

TEST(EditHistoryTest, ANewEditDropsTheRedoAndAForeignStartBeginsAgain) {
  EditHistory h;
  Fill(h, 3);
  h.StepBack();
  h.Record(State(2), State(9), 2, 9);
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.UndoSteps(), 3u);
  h.Record(State(5), State(6), 5, 6);
  EXPECT_EQ(h.UndoSteps(), 1u);
  EXPECT_EQ(h.UndoTarget().bytes, State(5));
}

}  // namespace
}  // namespace zor
