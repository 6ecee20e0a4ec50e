// Black top-most windows over the monitors the saver's form does not cover;
// input on them ends the saver like input on the form.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "win/common/window.h"

namespace zor::win {

class ScreenForm;

class CoverWindows {
 public:
  // One window over each monitor that the form's window does not fill.
  void Open(ScreenForm& form);
  void Close() noexcept { covers_.clear(); }

 private:
  std::vector<std::unique_ptr<Window>> covers_;
};

}  // namespace zor::win
