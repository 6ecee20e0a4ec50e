// Process-wide state of the run modes.
#pragma once

#include <windows.h>

#include <string>

namespace zor::win {

enum class RunMode : int { kSettings = 0, kSaver = 1, kPreview = 4 };

struct AppState {
  RunMode runMode = RunMode::kSettings;
  bool debug = false;  // "zor_dbg.txt" in the program folder
  HWND previewParent = nullptr;
  RECT previewRect{};
  std::wstring commandLine;  // trimmed, lower case
};

AppState& App();

}  // namespace zor::win
