#include "core/data/text_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/text/cp932.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(ImportExportNames, FollowThePath) {
  TempFolder dir;
  EXPECT_EQ(ExportNameFor(dir / "a.b.zrd"), dir / "a.b.txt");
  EXPECT_EQ(ExportNameFor(dir / "noext"), dir / "noext.txt");
  EXPECT_EQ(ExportNameFor(std::filesystem::path()), std::filesystem::path());
  EXPECT_EQ(ImportTargetFor(dir / "memo.txt").value(), dir / "memo.zrd");
  WriteBytes(dir / "memo.zrd", "keep");
  EXPECT_EQ(ImportTargetFor(dir / "memo.txt").value(), dir / PathFromText(L"無題1.zrd"));
}

TEST(ImportExport, RoundTripKeepsTextsInOrderWithDefaults) {
  TempFolder dir;
  const auto reg = dir / "a.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(reg).ok());
  const std::vector<std::wstring> texts = {L"今日は良い天気", L"hello world", std::wstring(63, L'a') + L"あい",
                                           std::wstring(32, L'漢')};
  for (const auto& t : texts) ASSERT_TRUE(AddMessage(reg, t).ok());
  MessageFormat f;
  f.SetLayout(FixedLayout::kA);
  ASSERT_TRUE(WriteMessageFormat(reg, 1, f).ok());
  ASSERT_TRUE(WriteDisplayOptions(reg, DisplayOptions{2000, 1, 0, 1, 3, 2}).ok());

  const auto txt = dir / "a.txt";
  ASSERT_TRUE(Export(txt, reg).ok());
  EXPECT_EQ(ReadBytes(txt).substr(0, 16), "\x8D\xA1\x93\xFA\x82\xCD\x97\xC7\x82\xA2\x93\x56\x8B\x43\r\n");
  const Result<ImportOutcome> imported = Import(txt, true);
  ASSERT_TRUE(imported.ok());
  EXPECT_EQ(imported.value().registration, dir / PathFromText(L"無題1.zrd")) << "a.zrd exists and is kept";
  EXPECT_EQ(imported.value().report.registered, 4);
  EXPECT_EQ(ReadMessages(imported.value().registration).value(), texts);
  EXPECT_EQ(ReadMessage(imported.value().registration, 1).value().format, MessageFormat{});
  const RegistrationHeader h = ValidateRegistrationFile(imported.value().registration).value();
  EXPECT_EQ(h.options, DisplayOptions{});
  EXPECT_EQ(h.count, 4);
}

TEST(ImportExport, EmptyAndBlankMessages) {
  TempFolder dir;
  const auto reg = dir / "a.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(reg).ok());
  ASSERT_TRUE(Export(dir / "empty.txt", reg).ok());
  EXPECT_EQ(ReadBytes(dir / "empty.txt"), "");
  ASSERT_TRUE(AddMessage(reg, L"  ").ok());
  ASSERT_TRUE(AddMessage(reg, L"x").ok());
  ASSERT_TRUE(Export(dir / "b.txt", reg).ok());
  EXPECT_EQ(ReadBytes(dir / "b.txt"), "\r\nx\r\n");
  EXPECT_EQ(Import(dir / "b.txt", true).value().report.registered, 1);
}

TEST(ImportExport, FailuresCreateAndChangeNothing) {
  TempFolder dir;
  EXPECT_EQ(Import(dir / "none.txt", true).status().message(), L"指定のファイルは存在しません");
  EXPECT_EQ(dir.EntryCount(), 0u);
  EXPECT_EQ(Export(dir / "x.txt", dir / "none.zrd").error(), FileError::kMissing);
  EXPECT_EQ(dir.EntryCount(), 0u);

  WriteBytes(dir / "old.txt", "previous export");
  WriteBytes(dir / "a.zrd", std::string(1, '\x01') + std::string(1, '\0') + "garbage, not a registration file");
  EXPECT_EQ(Export(dir / "old.txt", dir / "a.zrd").error(), FileError::kForeign);
  EXPECT_EQ(ReadBytes(dir / "old.txt"), "previous export");

  WriteBytes(dir / "in.txt", "abc\r\n");
  SetFaultHookForTesting([](ReplaceStep s) { return s == ReplaceStep::kFlushTemporary; });
  const Result<ImportOutcome> r = Import(dir / "in.txt", true);
  SetFaultHookForTesting(nullptr);
  EXPECT_EQ(r.status().error(), FileError::kWrite);
  EXPECT_FALSE(FileExists(dir / "in.zrd"));
}

}  // namespace
}  // namespace zor

namespace zor {
namespace {

// The list shows 500 messages; an export keeps every one the file holds.
TEST(ImportExport, ExportKeepsMessagesBeyondFiveHundred) {
  zor::testing::TempFolder dir;
  const auto reg = dir / "big.zrd";
  RegistrationHeader h;
  h.count = 503;
  std::string bytes = h.Encode();
  for (int n = 1; n <= 502; ++n) {  // one record fewer than the count claims
    RecordBytes r = BlankRecord();
    SetRecordText(r, L"m" + std::to_wstring(n));
    bytes.append(r.data(), r.size());
  }
  zor::testing::WriteBytes(reg, bytes);
  ASSERT_TRUE(Export(dir / "big.txt", reg).ok());
  const std::string text = zor::testing::ReadBytes(dir / "big.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 502);
  EXPECT_NE(text.find("m501\r\nm502\r\n"), std::string::npos);
}

}  // namespace
}  // namespace zor
