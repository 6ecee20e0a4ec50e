#include "core/settings_dialog/edit_history.h"

#include <utility>

namespace zor {

void EditHistory::Clear() {
  states_.clear();
  steps_.clear();
  at_ = 0;
  bytes_ = 0;
}

void EditHistory::Record(std::string before, std::string after, int undoRow, int redoRow) {
  if (states_.empty() || states_[at_] != before) {
    Clear();
    bytes_ = before.size();
    states_.push_back(std::move(before));
  }
  while (states_.size() > at_ + 1) {
    bytes_ -= states_.back().size();
    states_.pop_back();
    steps_.pop_back();
  }
  bytes_ += after.size();
  states_.push_back(std::move(after));
  steps_.push_back({undoRow, redoRow});
  ++at_;
  while (steps_.size() > kMinSteps && bytes_ > byteBudget_) {
    bytes_ -= states_.front().size();
    states_.pop_front();
    steps_.pop_front();
    --at_;
  }
}

}  // namespace zor
