// The installed type faces: the list the font chooser shows and zortool's
// font command asks, and whether a face is installed (the one rule of the
// saver, the font options' sample and zortool font).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zor::win {

// The names of the installed font families in the order the system gives
// them (a family may come once per character set).
[[nodiscard]] std::vector<std::wstring> SystemFaceNames();

// True when dc's device has a font family of that name (the system would
// otherwise quietly draw another face). An "@" (vertical) face counts as
// installed also when only the face behind the "@" is listed: some systems
// do not list the vertical families.
[[nodiscard]] bool FaceInstalled(HDC dc, std::wstring_view face);
// The same on the screen.
[[nodiscard]] bool FaceInstalled(std::wstring_view face);

// The name under which dc's device lists the face: the face itself, or, for
// a face the system knows only by another of its names (the Japanese family
// name on a Chinese or Korean system, say), the listed name of the installed
// family whose font carries that name. nullopt when no family has it.
[[nodiscard]] std::optional<std::wstring> ListedFace(HDC dc, std::wstring_view face);
// The listed name of the first installed family whose font carries the
// family name (in any language), whether or not the system lists it so.
[[nodiscard]] std::optional<std::wstring> FamilyCarryingName(std::wstring_view name);

}  // namespace zor::win
