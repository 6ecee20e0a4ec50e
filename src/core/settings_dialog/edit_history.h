// The undo and redo steps of the list editor. Each step keeps the
// registration file's whole bytes on both sides of an edit (a file of 500
// messages is about 110 KB), so going back or forth writes the file exactly
// as it was, whatever the edit was.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace zor {

class EditHistory {
 public:
  // At least this many steps are kept; older ones are dropped only while
  // the kept bytes exceed the budget.
  static constexpr std::size_t kMinSteps = 100;
  static constexpr std::size_t kByteBudget = std::size_t{64} << 20;

  struct Target {
    const std::string& bytes;  // what the file is to hold
    int row;                   // the row to select then, -1 for none
  };

  explicit EditHistory(std::size_t byteBudget = kByteBudget) : byteBudget_(byteBudget) {}

  void Clear();
  // An edit took the file from before to after. An undo selects undoRow, a
  // redo redoRow. Undone steps are dropped; a before that is not the bytes
  // the last step left starts the history again from it.
  void Record(std::string before, std::string after, int undoRow, int redoRow);

  [[nodiscard]] bool CanUndo() const noexcept { return at_ > 0; }
  [[nodiscard]] bool CanRedo() const noexcept { return at_ + 1 < states_.size(); }
  [[nodiscard]] std::size_t UndoSteps() const noexcept { return at_; }
  // The bytes the file holds when the history applies to it; only while
  // CanUndo or CanRedo.
  [[nodiscard]] const std::string& Current() const { return states_[at_]; }
  // Only while CanUndo / CanRedo; StepBack / StepForward once the target is written.
  [[nodiscard]] Target UndoTarget() const { return {states_[at_ - 1], steps_[at_ - 1].undoRow}; }
  [[nodiscard]] Target RedoTarget() const { return {states_[at_ + 1], steps_[at_].redoRow}; }
  void StepBack() noexcept { --at_; }
  void StepForward() noexcept { ++at_; }

 private:
  struct Rows {
    int undoRow;
    int redoRow;
  };
  // states_[i] and states_[i + 1] are the file before and after steps_[i].
  std::deque<std::string> states_;
  std::deque<Rows> steps_;
  std::size_t at_ = 0;  // the state the file holds now
  std::size_t bytes_ = 0;
  std::size_t byteBudget_;
};

}  // namespace zor
