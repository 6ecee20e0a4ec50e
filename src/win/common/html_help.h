// The HTML Help viewer (hhctrl.ocx), loaded when help is first asked for.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace zor::win {

// The compiled help the program shows: "zorante.chm" in its folder.
[[nodiscard]] std::filesystem::path HelpFileIn(const std::filesystem::path& programFolder);

enum class HelpResult { kShown, kMissingFile, kNoViewer, kNotOpened };

// Shows the contents of a compiled help file next to its first page.
[[nodiscard]] HelpResult ShowHelpContents(HWND owner, const std::wstring& file);

// Shows one page of a compiled help file ("page.html" or "page.html#part").
[[nodiscard]] HelpResult ShowHelpTopic(HWND owner, const std::wstring& file, std::wstring_view page);

// Closes every help window the process opened; nothing when none was asked for.
void CloseHelpWindows();

// The message the settings dialog shows for a result other than kShown.
[[nodiscard]] std::wstring HelpProblemText(HelpResult result, const std::wstring& file);

}  // namespace zor::win
