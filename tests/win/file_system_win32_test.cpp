// The core's program folder and file test, as the Windows program uses them.
#include <windows.h>

#include <gtest/gtest.h>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/settings_dialog/list_editor.h"

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

// A file another program holds open without sharing cannot be read: it is
// told as such, not as missing, and reads again once the other lets go.
TEST(FileSystemWin32, AFileHeldWithoutSharingIsUnreadableUntilReleased) {
  testing::TempFolder dir;
  const std::filesystem::path file = dir / L"使用中.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(file).ok());
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FileExists(file));
  ListEditor editor;
  const LoadOutcome out = editor.Load(file);
  EXPECT_EQ(out.kind, LoadOutcome::kUnreadable);
  EXPECT_EQ(out.message, ReadFailureMessage(DisplayPath(file)));
  CloseHandle(held);
  EXPECT_EQ(editor.Load(file).kind, LoadOutcome::kLoaded);
}

}  // namespace
}  // namespace zor
