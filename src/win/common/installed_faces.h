// The type faces installed on the system, as the font chooser lists them and
// zortool's font command asks for them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zor::win {

// The names of the installed font families in the order the system gives
// them (a family may come once per character set).
[[nodiscard]] std::vector<std::wstring> SystemFaceNames();
// True when a family of that name is installed (the system would otherwise
// quietly draw another face).
[[nodiscard]] bool FaceInstalled(std::wstring_view face);

}  // namespace zor::win
