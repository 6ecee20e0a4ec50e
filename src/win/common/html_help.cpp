#include "win/common/html_help.h"

#include "core/data/file_system.h"

namespace zor::win {

namespace {

// From htmlhelp.h, which mingw-w64 ships without an import library.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kDisplayToc = 0x0001;
constexpr UINT kCloseAll = 0x0012;
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// Loaded once and kept: the viewer's windows live in this module until closed.
HtmlHelpFunction Viewer(bool load) {
  static HMODULE module = nullptr;
  static HtmlHelpFunction function = nullptr;
  if (!module && load) {
    module = LoadLibraryW(L"hhctrl.ocx");
    if (module) function = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")));
  }
  return function;
}

}  // namespace

std::filesystem::path HelpFileIn(const std::filesystem::path& programFolder) { return programFolder / L"zorante.chm"; }

HelpResult ShowHelpContents(HWND owner, const std::wstring& file) {
  if (file.empty() || !FileExists(std::filesystem::path(file))) return HelpResult::kMissingFile;
  const HtmlHelpFunction viewer = Viewer(true);
  if (!viewer) return HelpResult::kNoViewer;
  return viewer(owner, file.c_str(), kDisplayToc, 0) ? HelpResult::kShown : HelpResult::kNotOpened;
}

HelpResult ShowHelpTopic(HWND owner, const std::wstring& file, std::wstring_view page) {
  if (file.empty() || !FileExists(std::filesystem::path(file))) return HelpResult::kMissingFile;
  const HtmlHelpFunction viewer = Viewer(true);
  if (!viewer) return HelpResult::kNoViewer;
  const std::wstring topic = file + L"::/" + std::wstring(page);
  return viewer(owner, topic.c_str(), kDisplayTopic, 0) ? HelpResult::kShown : HelpResult::kNotOpened;
}

void CloseHelpWindows() {
  if (const HtmlHelpFunction viewer = Viewer(false)) viewer(nullptr, nullptr, kCloseAll, 0);
}

std::wstring HelpProblemText(HelpResult result, const std::wstring& file) {
  switch (result) {
    case HelpResult::kShown: return {};
    case HelpResult::kMissingFile: return L"ヘルプファイル " + file + L" が見つかりません。";
    case HelpResult::kNoViewer: return L"ヘルプを表示できません。HTML ヘルプ (hhctrl.ocx) がこのコンピューターにありません。";
    case HelpResult::kNotOpened: return L"ヘルプファイル " + file + L" を開けませんでした。";
  }
  return {};
}

}  // namespace zor::win
