// The display that the screen form runs: settings, message file and the
// sequencer's ticks, drawn on the form's image.
#pragma once

#include <filesystem>
#include <memory>

#include "win/screen/screen_form.h"

namespace zor::win {

// Settings are read from "ZORANTE.ini" in the program folder given.
[[nodiscard]] std::unique_ptr<ScreenController> MakeDisplayController(const std::filesystem::path& programFolder);

// Seeds the process-wide random generator from the clock.
void SeedRandom();

}  // namespace zor::win
