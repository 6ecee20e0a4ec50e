#include "win/common/html_help.h"

#include <gtest/gtest.h>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"

namespace zor::win {
namespace {

// The viewer's frame. Its caption is the file's title, which the viewer
// decodes in the ANSI code page: only its Latin start is the same everywhere.
HWND WaitForViewer(bool present) {
  for (int i = 0; i < 200; ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    HWND w = FindWindowW(L"HH Parent", nullptr);
    if ((w != nullptr) == present) return w;
    Sleep(50);
  }
  return FindWindowW(L"HH Parent", nullptr);
}

TEST(HtmlHelpTest, AMissingFileIsNamedInTheMessage) {
  zor::testing::TempFolder dir;
  const std::wstring file = (dir / L"ない.chm").wstring();
  EXPECT_EQ(ShowHelpContents(nullptr, file), HelpResult::kMissingFile);
  EXPECT_EQ(ShowHelpContents(nullptr, L""), HelpResult::kMissingFile);
  EXPECT_EQ(HelpProblemText(HelpResult::kMissingFile, file), L"ヘルプファイル " + file + L" が見つかりません。");
  EXPECT_EQ(HelpProblemText(HelpResult::kShown, file), L"");
  CloseHelpWindows();  // nothing open: no effect
}

// The build leaves the compiled help beside the test program.
TEST(HtmlHelpTest, ContentsOpenInTheViewerAndCloseWithTheDialog) {
  const std::filesystem::path file = HelpFileIn(ProgramFolder());
  if (!FileExists(file)) GTEST_SKIP() << "no zorante.chm beside the test program";
  ASSERT_EQ(ShowHelpContents(nullptr, file.wstring()), HelpResult::kShown);
  const HWND viewer = WaitForViewer(true);
  ASSERT_NE(viewer, nullptr);
  wchar_t caption[100] = {};
  GetWindowTextW(viewer, caption, 100);
  EXPECT_EQ(std::wstring(caption).substr(0, 8), L"ZORANTE ");
  CloseHelpWindows();
  EXPECT_EQ(WaitForViewer(false), nullptr);
}

}  // namespace
}  // namespace zor::win
