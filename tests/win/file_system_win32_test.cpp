// The core's program folder and file test, as the Windows program uses them.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

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

// A reader that holds the file for a moment, without sharing delete access
// (as another program's read does), does not make the replacement fail.
TEST(FileSystemWin32, AReplacementWaitsOutAShortRead) {
  testing::TempFolder dir;
  const std::filesystem::path file = dir / L"読み中.zrd";
  testing::WriteBytes(file, "old");
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread reader([held] {
    Sleep(50);
    CloseHandle(held);
  });
  const Status replaced = ReplaceFileContents(file, [](FileWriter& w) { return w.Write("new"); });
  reader.join();
  EXPECT_TRUE(replaced.ok()) << PathText(file);
  EXPECT_EQ(testing::ReadBytes(file), "new");
}

// A file just moved into place is still open with delete access in the
// program that moved it: it reads at once all the same.
TEST(FileSystemWin32, AFileHeldWithDeleteAccessReads) {
  testing::TempFolder dir;
  const std::filesystem::path file = dir / L"置換中.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(file).ok());
  ASSERT_TRUE(AddMessage(file, L"置き換えたばかり").ok());
  HANDLE mover = CreateFileW(file.c_str(), DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(mover, INVALID_HANDLE_VALUE);
  const Result<Message> message = ReadMessage(file, 1);
  CloseHandle(mover);
  ASSERT_TRUE(message.ok()) << message.status().message();
  EXPECT_EQ(message.value().text, L"置き換えたばかり");
}

}  // namespace
}  // namespace zor
