// Whether a type face is installed: the one rule of the saver, the font
// options' sample and zortool font.
#pragma once

#include <windows.h>

#include <string_view>

namespace zor::win {

// True when dc's device has a font family of that name (the system would
// otherwise quietly draw another face). An "@" (vertical) face counts as
// installed also when only the face behind the "@" is listed: some systems
// do not list the vertical families.
[[nodiscard]] bool FaceInstalled(HDC dc, std::wstring_view face);
// The same on the screen.
[[nodiscard]] bool FaceInstalled(std::wstring_view face);

}  // namespace zor::win
