// Small helpers on the system: message boxes, screen-saver activation, the command line.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zor::win {

inline constexpr wchar_t kTitle[] = L"ZORANTE";

// Message boxes titled "ZORANTE" with an OK button.
void ShowWarning(HWND owner, std::wstring_view text);
void ShowError(HWND owner, std::wstring_view text);
void ShowInformation(HWND owner, std::wstring_view text);

// Switches the system's screen-saver activation (not written to the profile).
void SetScreenSaverActive(bool active);

// The arguments of the command line: the text after the program's name.
[[nodiscard]] std::wstring CommandArguments();

}  // namespace zor::win
