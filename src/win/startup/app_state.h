// Process-wide state of the run modes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace zor::win {

enum class RunMode : int { kSettings = 0, kSaver = 1, kPreview = 4 };

struct AppState {
  RunMode runMode = RunMode::kSettings;
  bool debug = false;               // "zor_dbg.txt" in the program folder
  std::int32_t debugTickCount = 0;  // display ticks while debugging
  bool testDisplay = false;         // the settings dialog shows one message
  HWND previewParent = nullptr;
  RECT previewRect{};
  std::wstring helpFile;
  std::wstring commandLine;  // trimmed, lower case
};

AppState& App();

// Ends the display: in saver mode the cursor shows again, screen-saver
// activation is switched back on and the process ends at once; otherwise the
// screen form is unloaded.
void EndSaver();

// Switches the system's screen-saver activation (not written to the profile).
void SetScreenSaverActive(bool active);

}  // namespace zor::win
