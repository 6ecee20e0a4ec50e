// Small helpers on the program's files and the user's messages.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zor::win {

inline constexpr wchar_t kTitle[] = L"ZORANTE";

// The program's folder with exactly one trailing "\".
[[nodiscard]] std::wstring ProgramFolder();

// True for an existing normal file (not a folder); false for "" or any error.
[[nodiscard]] bool FileExists(std::wstring_view path);

// Message boxes titled "ZORANTE" with an OK button.
void ShowWarning(HWND owner, std::wstring_view text);
void ShowError(HWND owner, std::wstring_view text);
void ShowInformation(HWND owner, std::wstring_view text);

// Switches the system's screen-saver activation (not written to the profile).
void SetScreenSaverActive(bool active);

// The arguments of the command line: the text after the program's name.
[[nodiscard]] std::wstring CommandArguments();

}  // namespace zor::win
