#include "core/data/file_system.h"

#include <gtest/gtest.h>

#include "core/text/unicode.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(DisplayPath, UsesThePlatformsSeparators) {
  const struct {
    const wchar_t* path;
    const wchar_t* shown;
  } cases[] = {
#ifdef _WIN32
      {L"dir/memo.zrd", L"dir\\memo.zrd"},
      {L"C:/data\\sub/a.txt", L"C:\\data\\sub\\a.txt"},
      {L"C:\\data\\a.zrd", L"C:\\data\\a.zrd"},
#else
      {L"dir/memo.zrd", L"dir/memo.zrd"},
      {L"a\\b.zrd", L"a\\b.zrd"},  // a backslash is part of a name here
#endif
      {L"無題1.zrd", L"無題1.zrd"},
  };
  for (const auto& c : cases) EXPECT_EQ(DisplayPath(PathFromText(c.path)), c.shown) << ToUtf8(c.path);
  // A name joined to a folder given with the other separator shows one kind.
  const std::wstring joined = DisplayPath(PathFromText(L"dir/sub") / "memo.zrd");
#ifdef _WIN32
  EXPECT_EQ(joined, L"dir\\sub\\memo.zrd");
#else
  EXPECT_EQ(joined, L"dir/sub/memo.zrd");
#endif
}

// A failed replacement says what became of the target: an existing file is
// unchanged, a new one was not created; neither is left half written.
TEST(ReplaceFileContents, FailureMessagesSayWhatIsTrue) {
  TempFolder dir;
  const auto target = dir / "t.txt";
  const std::wstring shown = DisplayPath(target);
  const ReplaceStep steps[] = {ReplaceStep::kCreateTemporary, ReplaceStep::kWriteTemporary,
                               ReplaceStep::kFlushTemporary, ReplaceStep::kReplace};
  for (const bool existed : {true, false}) {
    for (const ReplaceStep step : steps) {
      if (existed) WriteBytes(target, "old");
      SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
      const Status s = ReplaceFileContents(target, [](FileWriter& w) { return w.Write("new"); });
      SetFaultHookForTesting(nullptr);
      EXPECT_EQ(s.error(), FileError::kWrite);
      EXPECT_EQ(s.message(), existed ? shown + L" に書き込めませんでした。ファイルは変更されていません。"
                                     : shown + L" を作成できませんでした。")
          << "step " << static_cast<int>(step);
      EXPECT_EQ(FileExists(target), existed);
      EXPECT_EQ(ReadBytes(target), existed ? "old" : "");
      EXPECT_EQ(dir.EntryCount(), existed ? 1u : 0u) << "no temporary file is left";
    }
    std::error_code ec;
    std::filesystem::remove(target, ec);
  }
  // Without a hook: a folder that does not exist.
  const auto nowhere = dir / "no-such-folder" / "t.txt";
  EXPECT_EQ(ReplaceFileContents(nowhere, [](FileWriter& w) { return w.Write("x"); }).message(),
            DisplayPath(nowhere) + L" を作成できませんでした。");
  // The producer's own failure is a failed write too.
  WriteBytes(target, "old");
  EXPECT_EQ(ReplaceFileContents(target, [](FileWriter&) { return false; }).message(),
            shown + L" に書き込めませんでした。ファイルは変更されていません。");
  EXPECT_EQ(ReadBytes(target), "old");
}

}  // namespace
}  // namespace zor
