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

ImportedLines FromBytes(std::string_view bytes, int maxLines = 500, std::size_t chunk = 7) {
  std::size_t at = 0;
  return ReadImportLines(
      [&](char* buffer, std::size_t size) {
        const std::size_t n = std::min({size, chunk, bytes.size() - at});
        std::copy_n(bytes.data() + at, n, buffer);
        at += n;
        return n;
      },
      maxLines);
}

std::string Lines(int n, const char* eol = "\r\n") {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "line " + std::to_string(i) + eol;
  return s;
}

TEST(ImportLines, TrimsSkipsAndEndsLinesAtCrLfOrLf) {
  // "  abc  " CR LF, a blank line, blanks only, "あ" (82 A0) LF alone, last line without an end.
  const ImportedLines r = FromBytes("  abc  \r\n\r\n   \r\n\x82\xA0\nend");
  EXPECT_EQ(r.texts, (std::vector<std::wstring>{L"abc", L"あ", L"end"}));
  EXPECT_EQ(r.skipped, (SkippedLines{.blank = 2}));
  EXPECT_EQ(r.encoding, TextEncoding::kCp932);
  EXPECT_EQ(FromBytes("\x81\x40x\x81\x40\r\n").texts, std::vector<std::wstring>{L"\u3000x\u3000"})
      << "full-width blanks stay";
}

TEST(ImportLines, RefusesWhatTheLengthRuleRefuses) {
  const std::string fullWidth32 = ToCp932(std::wstring(32, L'あ'));
  const std::string fullWidth33 = ToCp932(std::wstring(33, L'あ'));
  const std::string ascii96(96, 'a');
  const std::string ascii97(97, 'a');
  const ImportedLines r = FromBytes(fullWidth32 + "\r\n" + fullWidth33 + "\r\n" + ascii96 + "\r\n" + ascii97 + "\r\n");
  EXPECT_EQ(r.texts.size(), 2u);
  EXPECT_EQ(r.skipped, (SkippedLines{.tooLong = 2}));
  // Blanks around an acceptable line do not count against it, however many.
  EXPECT_EQ(FromBytes(std::string(100000, ' ') + "abc" + std::string(100000, ' ') + "\n").texts,
            std::vector<std::wstring>{L"abc"});
}

TEST(ImportLines, InvalidBytesSkipTheLineAndNothingElse) {
  const std::string garbage[] = {
      "\x82",          // lone lead byte at the end of the line
      "ab\x82\x20z",   // lead byte before a blank
      "\xFD\xFE\xFF",  // undefined single bytes
      "x\ry",          // a CR inside the line
  };
  for (const std::string& g : garbage) {
    const ImportedLines r = FromBytes("first\r\n" + g + "\r\nlast\r\n");
    EXPECT_EQ(r.texts, (std::vector<std::wstring>{L"first", L"last"})) << g;
    EXPECT_EQ(r.skipped, (SkippedLines{.unstorable = 1})) << g;
  }
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xFF));
  EXPECT_LE(FromBytes(binary).texts.size(), 500u);
}

TEST(ImportLines, StopsAtTheLimit) {
  EXPECT_EQ(FromBytes(Lines(150), 100).texts.size(), 100u);
  EXPECT_EQ(FromBytes(Lines(150), 500).texts.size(), 150u);
  EXPECT_EQ(FromBytes(Lines(600), 500).texts.size(), 500u);
  // Skipped lines do not use up places.
  EXPECT_EQ(FromBytes(Lines(120, "\r\n\r\n  \r\n"), 100).texts.size(), 100u);
  EXPECT_EQ(FromBytes(Lines(3), 0).texts.size(), 0u);
}

TEST(ImportLines, LinesAfterTheLimitAreCountedNotKept) {
  const ImportedLines r = FromBytes(Lines(600) + "\r\n" + std::string(200, 'x') + "\r\n", 500);
  EXPECT_EQ(r.texts.size(), 500u);
  EXPECT_EQ(r.texts.back(), L"line 500");
  EXPECT_EQ(r.skipped, (SkippedLines{.blank = 1, .tooLong = 1, .overLimit = 100}))
      << "a line after the limit is skipped for its own fault first";
}

// The splitter takes the bytes in pieces of any size: every cut of the input,
// also inside a character, between CR and LF or in a run of blanks, gives
// the lines of the whole.
TEST(ImportLineSplitter, PiecesOfAnySizeGiveTheLinesOfTheWhole) {
  const std::string longLine = std::string(96, 'a') + std::string(40, ' ') + "\r\n";  // 136 bytes, 96 kept
  const std::string inputs[] = {
      "  abc  \r\n\r\n   \r\n\x82\xA0\nend",
      "x\r\r\ny \r\nz\r  \n",                                        // CRs that do and do not end a line
      "\x82\xA0\x82\xA2 \x82\xA4\r\n\x82\r\n",                      // double-byte characters, a lone lead byte
      longLine + std::string(95, 'b') + std::string(40, ' ') + "c\n",  // blanks that make a line too long
      std::string(100000, ' ') + "abc" + std::string(100000, ' ') + "\n",
      Lines(120, "\r\n\r\n  \r\n"),
  };
  for (const std::string& input : inputs) {
    const ImportedLines whole = SplitImportLines(input, 100);
    for (const std::size_t piece : {1u, 2u, 3u, 64u, 127u, 128u, 129u}) {
      ImportLineSplitter splitter(100);
      for (std::size_t at = 0; at < input.size(); at += piece) {
        splitter.Feed(std::span<const char>(input).subspan(at, std::min(piece, input.size() - at)));
      }
      const ImportedLines pieces = splitter.Finish();
      EXPECT_EQ(pieces.texts, whole.texts) << "pieces of " << piece << ": " << input.substr(0, 20);
      EXPECT_EQ(pieces.skipped, whole.skipped) << "pieces of " << piece << ": " << input.substr(0, 20);
    }
  }
  EXPECT_EQ(SplitImportLines(longLine, 100).texts, std::vector<std::wstring>{std::wstring(96, L'a')})
      << "trailing blanks never count against a line";
  EXPECT_EQ(SplitImportLines(inputs[1], 100).texts, (std::vector<std::wstring>{L"y"}));
  EXPECT_EQ(SplitImportLines(inputs[1], 100).skipped.unstorable, 2) << "x CR and z CR blanks hold a CR in the line";
}

TEST(ImportLineSplitter, FullTakesNoMoreAndAnEmptyFeedChangesNothing) {
  ImportLineSplitter splitter(2);
  splitter.Feed(std::string_view("a\nb"));
  splitter.Feed({});
  EXPECT_FALSE(splitter.full()) << "b has no line end yet";
  splitter.Feed(std::string_view("\nc\nd\n"));
  EXPECT_TRUE(splitter.full());
  splitter.Feed(std::string_view("e\n"));
  const ImportedLines r = splitter.Finish();
  EXPECT_EQ(r.texts, (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(r.skipped, (SkippedLines{.overLimit = 3}));
  EXPECT_TRUE(SplitImportLines(std::string_view("a\n"), 0).texts.empty());
  EXPECT_TRUE(SplitImportLines(std::string_view("a\n"), -1).texts.empty());
  EXPECT_EQ(SplitImportLines(std::string_view(""), 5).skipped.Total(), 0) << "no bytes, no line";
}

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
