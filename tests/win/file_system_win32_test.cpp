// The core's program folder and file test, as the Windows program uses them.
#include <gtest/gtest.h>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"

namespace zor {
namespace {

TEST(FileSystemWin32, ProgramFolderEndsInOneSeparatorAndHoldsTheProgram) {
  const std::wstring folder = ProgramFolder().wstring();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), L'\\');
  EXPECT_NE(folder[folder.size() - 2], L'\\');
  EXPECT_TRUE(FileExists(ProgramFolder() / L"win_tests.exe"));
}

TEST(FileSystemWin32, FileExistsOnlyForNormalFiles) {
  testing::TempFolder dir;
  testing::WriteBytes(dir / L"メッセージ.zrd", "x");
  const struct {
    std::filesystem::path path;
    bool exists;
  } cases[] = {
      {dir / L"メッセージ.zrd", true},  {dir.path(), false},             // a folder
      {dir / L"missing.zrd", false},    {dir / L"*.zrd", false},         // no pattern matching
      {dir / L"a\"b.zrd", false},                                        // a character no name may hold
      {std::filesystem::path(), false}, {L"Q:\\nowhere\\a.zrd", false},  // no such drive
  };
  for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path.wstring();
}

}  // namespace
}  // namespace zor
