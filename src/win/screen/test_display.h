// The settings dialog's test display: one message drawn full screen in the
// thumbnail's layout until a key or a click ends it.
#pragma once

#include <windows.h>

#include <filesystem>

#include "core/screen/sequencer.h"

namespace zor::win {

// Shows the message full screen and top-most and returns when a key or a
// click ends it; owner is disabled meanwhile, then enabled and activated. A
// missing or unusable registration file is reported and nothing is shown.
void ShowTestDisplay(HWND owner, const TestDisplayRequest& request);

// The same with the settings of another program folder.
void ShowTestDisplay(HWND owner, const TestDisplayRequest& request, const std::filesystem::path& programFolder);

}  // namespace zor::win
