// The import's line rules: trimming, blanks, the length rule, bytes of no
// character, stray CRs and the limit, whole and in pieces.
#include "core/data/import_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "core/data/text_import_reader.h"
#include "core/text/cp932.h"

namespace zor {
namespace {

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
  const std::pair<std::string, SkippedLines> garbage[] = {
      {"\x82", {.malformed = 1}},          // lone lead byte at the end of the line
      {"ab\x82\x20z", {.malformed = 1}},   // lead byte before a blank
      {"\xFD\xFE\xFF", {.malformed = 1}},  // undefined single bytes
      {"x\ry", {.control = 1}},            // a CR inside the line
  };
  for (const auto& [g, reason] : garbage) {
    const ImportedLines r = FromBytes("first\r\n" + g + "\r\nlast\r\n");
    EXPECT_EQ(r.texts, (std::vector<std::wstring>{L"first", L"last"})) << g;
    EXPECT_EQ(r.skipped, reason) << g;
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
  EXPECT_EQ(SplitImportLines(inputs[1], 100).skipped.control, 2) << "x CR and z CR blanks hold a CR in the line";
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

}  // namespace
}  // namespace zor
