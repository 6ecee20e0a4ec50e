// The text import's encodings: marks, the UTF-8 guess, look-alikes, and
// what is skipped and why, over byte tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/text/look_alikes.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"
#include "core/text/unicode_to_cp932.h"
#include "jis_bytes.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::EucOfCp932;
using testing::IsoOfCp932;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::vector<std::wstring> kTen = {
    L"今日は良い天気です", L"ｶﾀｶﾅ と ascii", L"\uFF5Eの代わりに\uFF5E", L"第一の文章", L"会議は１０時から",
    L"漢字かなカナ", L"ＡＢＣ全角", L"さようなら", L"℃と㈱と①", std::wstring(32, L'長')};

std::string Utf16(std::wstring_view text, bool bigEndian) {
  std::string out;
  for (const char32_t cp : CodePoints(text)) {
    std::vector<char32_t> units;
    if (cp >= 0x10000) {
      units = {0xD800 + ((cp - 0x10000) >> 10), 0xDC00 + ((cp - 0x10000) & 0x3FF)};
    } else {
      units = {cp};
    }
    for (const char32_t u : units) {
      const char hi = static_cast<char>(u >> 8);
      const char lo = static_cast<char>(u & 0xFF);
      out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
  }
  return out;
}

std::wstring Joined(const std::vector<std::wstring>& lines, std::wstring_view eol) {
  std::wstring text;
  for (const std::wstring& l : lines) text += l + std::wstring(eol);
  return text;
}

ImportedLines Read(std::string_view bytes, EncodingChoice choice = EncodingChoice::kAuto, int maxLines = 500,
                   std::size_t piece = 1 << 16) {
  TextImportReader reader(maxLines, choice);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    reader.Feed(std::span<const char>(bytes.data() + at, std::min(piece, bytes.size() - at)));
  }
  return reader.Finish();
}

struct Encoded {
  const char* name;
  std::string bytes;
  TextEncoding read;
};

// The ten messages in every encoding the import reads, CR LF, with an LF
// alone and a last line without an end mixed in.
std::vector<Encoded> EveryEncoding() {
  const std::wstring text = Joined({kTen.begin(), kTen.begin() + 5}, L"\r\n") +
                            Joined({kTen.begin() + 5, kTen.end() - 1}, L"\n") + kTen.back();
  // Unicode files hold the wave dash where CP932 holds the full-width tilde.
  const std::wstring unicode = [&] {
    std::wstring u = text;
    std::replace(u.begin(), u.end(), L'\uFF5E', L'\u301C');
    return u;
  }();
  const std::string cp932 = ToCp932(text);
  return {
      {"CP932", cp932, TextEncoding::kCp932},
      {"UTF-8", ToUtf8(unicode), TextEncoding::kUtf8},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + ToUtf8(unicode), TextEncoding::kUtf8WithMark},
      {"UTF-16 LE", "\xFF\xFE" + Utf16(unicode, false), TextEncoding::kUtf16Le},
      {"UTF-16 BE", "\xFE\xFF" + Utf16(unicode, true), TextEncoding::kUtf16Be},
      {"UTF-16 LE without a mark", Utf16(unicode, false), TextEncoding::kUtf16Le},
      {"UTF-16 BE without a mark", Utf16(unicode, true), TextEncoding::kUtf16Be},
      {"EUC-JP", EucOfCp932(cp932), TextEncoding::kEucJp},
      {"ISO-2022-JP", IsoOfCp932(cp932), TextEncoding::kIso2022Jp},
  };
}

TEST(ImportEncodings, EveryEncodingGivesTheSameMessagesWholeAndInPieces) {
  for (const Encoded& e : EveryEncoding()) {
    const ImportedLines whole = Read(e.bytes);
    EXPECT_EQ(whole.texts, kTen) << e.name;
    EXPECT_EQ(whole.encoding, e.read) << e.name;
    EXPECT_EQ(whole.skipped.Total(), 0) << e.name;
    for (const std::size_t piece : {1u, 2u, 3u, 5u, 64u}) {
      const ImportedLines pieces = Read(e.bytes, EncodingChoice::kAuto, 500, piece);
      EXPECT_EQ(pieces.texts, whole.texts) << e.name << " in pieces of " << piece;
      EXPECT_EQ(pieces.encoding, e.read) << e.name << " in pieces of " << piece;
    }
  }
}

TEST(ImportEncodings, ForcedChoices) {
  const std::wstring text = L"一行目\r\n二行目\r\n";
  EXPECT_EQ(Read(Utf16(text, false), EncodingChoice::kUtf16).texts, (std::vector<std::wstring>{L"一行目", L"二行目"}))
      << "UTF-16 without a mark is little-endian";
  EXPECT_EQ(Read(Utf16(text, false), EncodingChoice::kUtf16).encoding, TextEncoding::kUtf16Le);
  EXPECT_EQ(Read("\xFE\xFF" + Utf16(text, true), EncodingChoice::kUtf16).encoding, TextEncoding::kUtf16Be);
  EXPECT_EQ(Read("\xEF\xBB\xBF" + ToUtf8(text), EncodingChoice::kUtf8).texts.size(), 2u) << "its own mark skipped";
  // CP932 read as UTF-8: every line holds malformed bytes.
  const ImportedLines forced = Read(ToCp932(text), EncodingChoice::kUtf8);
  EXPECT_TRUE(forced.texts.empty());
  EXPECT_EQ(forced.skipped, (SkippedLines{.malformed = 2})) << "not UTF-8, which is not what CP932 cannot hold";
  // UTF-8 read as CP932 is what the user asked for: mojibake where it decodes.
  EXPECT_EQ(Read(ToUtf8(L"abc\r\n"), EncodingChoice::kCp932).encoding, TextEncoding::kCp932);
  EXPECT_EQ(Read(ToCp932(text), EncodingChoice::kCp932).texts.size(), 2u);
}

TEST(ImportEncodings, MarksAloneAndShortFiles) {
  for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    const ImportedLines r = Read(mark);
    EXPECT_TRUE(r.texts.empty());
    EXPECT_EQ(r.skipped.Total(), 0) << "a mark alone is no line";
    EXPECT_NE(r.encoding, TextEncoding::kCp932);
  }
  EXPECT_EQ(Read("").encoding, TextEncoding::kCp932);
  EXPECT_EQ(Read("a").texts, std::vector<std::wstring>{L"a"});
  EXPECT_EQ(Read("ab").texts, std::vector<std::wstring>{L"ab"});
  EXPECT_EQ(Read("\xFF\xFE" "a").skipped, (SkippedLines{.malformed = 1})) << "half a UTF-16 unit";
}

TEST(ImportEncodings, CutSequencesSkipOnlyTheirLine) {
  const std::string yoshi = ToUtf8(L"あ");  // three bytes
  // A file cut inside its last character is still read as UTF-8.
  for (const std::string& head : {std::string(), std::string("\xEF\xBB\xBF")}) {
    const ImportedLines r = Read(head + ToUtf8(L"最初\r\n") + yoshi.substr(0, 2));
    EXPECT_EQ(r.texts, std::vector<std::wstring>{L"最初"});
    EXPECT_EQ(r.skipped, (SkippedLines{.malformed = 1}));
    EXPECT_NE(r.encoding, TextEncoding::kCp932);
  }
  // A high surrogate at the end, and one followed by no low surrogate.
  const std::string high = Utf16(L"\U00020BB7", false).substr(0, 2);
  const ImportedLines cut = Read("\xFF\xFE" + Utf16(L"一\r\n", false) + high);
  EXPECT_EQ(cut.texts, std::vector<std::wstring>{L"一"});
  EXPECT_EQ(cut.skipped, (SkippedLines{.malformed = 1}));
  const ImportedLines lone = Read("\xFF\xFE" + high + Utf16(L"x\r\ny", false));
  EXPECT_EQ(lone.texts, std::vector<std::wstring>{L"y"});
  EXPECT_EQ(lone.skipped, (SkippedLines{.malformed = 1}));
}

TEST(ImportEncodings, TheGuessOfUtf8) {
  // Malformed UTF-8 anywhere, also in the last line, makes the file CP932.
  const std::string mixed = ToUtf8(L"ユーティーエフ\r\n") + ToCp932(L"シフトJIS\r\n");
  EXPECT_EQ(Read(mixed).encoding, TextEncoding::kCp932);
  // Overlong forms, surrogates and code points beyond U+10FFFF are malformed.
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"}) {
    EXPECT_EQ(Read(ToUtf8(L"あ\r\n") + bad + "\r\n").encoding, TextEncoding::kCp932) << "malformed";
    const ImportedLines marked = Read("\xEF\xBB\xBF" + ToUtf8(L"あ\r\n") + bad + "\r\n");
    EXPECT_EQ(marked.texts, std::vector<std::wstring>{L"あ"});
    EXPECT_EQ(marked.skipped, (SkippedLines{.malformed = 1}));
  }
  // ASCII alone is read as CP932 (the same either way).
  EXPECT_EQ(Read("plain ascii\r\n").encoding, TextEncoding::kCp932);
  // Japanese CP932 text is not UTF-8: its first double-byte character breaks the guess.
  EXPECT_EQ(Read(ToCp932(L"ascii first\r\n日本語の文章\r\n")).encoding, TextEncoding::kCp932);
  // The borderline: half-width katakana pairs that are also UTF-8. "ﾂｱ" is
  // C2 B1, UTF-8 for "±", which CP932 holds: a two-character file so made is
  // read as UTF-8. Any longer Japanese text breaks the guess.
  EXPECT_EQ(Read("\xC2\xB1").texts, std::vector<std::wstring>{L"±"});
  EXPECT_EQ(Read("\xC2\xB1\xB6\xC0\xB6\xC5").encoding, TextEncoding::kCp932) << "ﾂｱｶﾀｶﾅ";
}

TEST(ImportEncodings, TheFilesFirstPassFindsUtf8AsTheGuessDoes) {
  const auto isUtf8 = [](std::string_view bytes, std::size_t piece) {
    Utf8Check check;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      check.Feed(std::span<const char>(bytes.data() + at, std::min(piece, bytes.size() - at)));
    }
    return check.IsUtf8BeyondAscii();
  };
  for (const std::size_t piece : {1u, 2u, 7u, 4096u}) {
    for (const Encoded& e : EveryEncoding()) {
      EXPECT_EQ(isUtf8(e.bytes, piece), e.read == TextEncoding::kUtf8 || e.read == TextEncoding::kUtf8WithMark)
          << e.name;
    }
    EXPECT_FALSE(isUtf8("plain ascii\r\n", piece));
    EXPECT_TRUE(isUtf8(ToUtf8(L"最初\r\n").append("\xE3\x81"), piece)) << "a character cut by the end";
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81x"}) {
      EXPECT_FALSE(isUtf8(ToUtf8(L"あ\r\n") + bad, piece)) << "malformed";
    }
  }
  // Through the file: the first pass, then one reading.
  TempFolder dir;
  WriteBytes(dir / "u.txt", ToUtf8(L"一\r\n" + std::wstring(40, L'長') + L"\r\n"));
  const Result<ImportReport> report = ImportInto(dir / "u.zrd", dir / "u.txt", false);
  ASSERT_TRUE(report.ok());
  EXPECT_EQ(report.value().encoding, TextEncoding::kUtf8);
  EXPECT_EQ(report.value().skipped, (SkippedLines{.tooLong = 1}));
}

TEST(ImportEncodings, LookAlikesBecomeWhatCp932HoldsAndOtherCharactersSkipTheirLine) {
  const std::pair<std::wstring, std::wstring> lookAlikes[] = {
      {L"\u301C", L"\uFF5E"}, {L"\u2016", L"\u2225"}, {L"\u2212", L"\uFF0D"}, {L"\u00A2", L"\uFFE0"},
      {L"\u00A3", L"\uFFE1"}, {L"\u00AC", L"\uFFE2"}, {L"\u2014", L"\u2015"}, {L"\u00A6", L"\uFFE4"},
  };
  for (const auto& [from, to] : lookAlikes) {
    EXPECT_FALSE(FitsCp932(from)) << "each look-alike is one CP932 cannot hold";
    EXPECT_TRUE(FitsCp932(to));
    EXPECT_EQ(ReplaceLookAlikes(L"a" + from + L"b"), L"a" + to + L"b");
    EXPECT_EQ(Read(ToUtf8(L"x" + from + L"\r\n")).texts, std::vector<std::wstring>{L"x" + to});
    EXPECT_EQ(Read("\xFE\xFF" + Utf16(L"x" + from, true)).texts, std::vector<std::wstring>{L"x" + to});
  }
  const ImportedLines r = Read(ToUtf8(L"𠮷野家\r\n吉野家\r\n한국어\r\n"));
  EXPECT_EQ(r.texts, std::vector<std::wstring>{L"吉野家"});
  EXPECT_EQ(r.skipped, (SkippedLines{.unstorable = 2}));
  EXPECT_EQ(r.encoding, TextEncoding::kUtf8);
  EXPECT_EQ(CharactersOutsideCp932(L"a𠮷b한𠮷"), L"𠮷한");
  EXPECT_EQ(CharactersOutsideCp932(L"漢字?"), L"");
}

TEST(ImportEncodings, SixHundredLinesWithTheLimitOnAndOff) {
  std::wstring text;
  for (int i = 1; i <= 600; ++i) text += L"文章 " + std::to_wstring(i) + (i % 2 ? L"\r\n" : L"\n");
  for (const std::string& bytes : {ToUtf8(text), "\xFF\xFE" + Utf16(text, false)}) {
    const ImportedLines limited = Read(bytes, EncodingChoice::kAuto, kImportLimitedLines, 4093);
    EXPECT_EQ(limited.texts.size(), 100u);
    EXPECT_EQ(limited.texts.back(), L"文章 100");
    EXPECT_EQ(limited.skipped, (SkippedLines{.overLimit = 500}));
    const ImportedLines full = Read(bytes, EncodingChoice::kAuto, kMaxMessages, 4093);
    EXPECT_EQ(full.texts.size(), 500u);
    EXPECT_EQ(full.skipped, (SkippedLines{.overLimit = 100}));
  }
  // The length rule counts the CP932 form: 32 full-width, 96 bytes otherwise.
  const ImportedLines lengths = Read(ToUtf8(std::wstring(32, L'あ') + L"\n" + std::wstring(33, L'あ') + L"\n" +
                                            std::wstring(96, L'ｱ') + L"\n" + std::wstring(97, L'ｱ') + L"\n"));
  EXPECT_EQ(lengths.texts.size(), 2u);
  EXPECT_EQ(lengths.skipped, (SkippedLines{.tooLong = 2}));
}

// Lines past the limit are judged on their bytes; the judgement must be
// the decoder's and the length rule's.
TEST(ImportLineJudgement, AgreesWithDecodingEveryPairAndTheLengthRule) {
  const auto decoded = [](std::string_view line) {
    const std::wstring text = FromCp932(line);
    if (text.find(static_cast<wchar_t>(kReplacementChar)) != std::wstring::npos) return Cp932LineVerdict::kUnstorable;
    return AcceptableMessage(text) ? Cp932LineVerdict::kAcceptable : Cp932LineVerdict::kTooLong;
  };
  int disagreements = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      for (const std::string& line : {pair, "x" + pair, pair + std::string(31 * 2, '\x82')}) {
        if (JudgeCp932Line(line) != decoded(line) && ++disagreements < 5) ADD_FAILURE() << lead << " " << trail;
      }
    }
  }
  EXPECT_EQ(disagreements, 0);
  for (const std::wstring& text : {std::wstring(32, L'あ'), std::wstring(33, L'あ'), std::wstring(96, L'ｱ'),
                                   std::wstring(97, L'ｱ'), std::wstring(48, L'あ') + L"a", std::wstring(1, L'\t')}) {
    EXPECT_EQ(JudgeCp932Line(ToCp932(text)), decoded(ToCp932(text))) << text.size();
  }
}

TEST(ImportEncodings, EveryEncodingImportsToTheSameFileAndExportRoundTrips) {
  TempFolder dir;
  std::string first;
  for (const Encoded& e : EveryEncoding()) {
    const auto text = dir / "in.txt";
    WriteBytes(text, e.bytes);
    const Result<ImportReport> report = ImportInto(dir / "out.zrd", text, false);
    ASSERT_TRUE(report.ok()) << e.name;
    EXPECT_EQ(report.value().registered, 10) << e.name;
    const std::string bytes = ReadBytes(dir / "out.zrd");
    if (first.empty()) first = bytes;
    EXPECT_EQ(bytes, first) << e.name;
  }
  for (const ExportEncoding encoding : {ExportEncoding::kCp932, ExportEncoding::kUtf8}) {
    ASSERT_TRUE(Export(dir / "back.txt", dir / "out.zrd", encoding).ok());
    const std::string exported = ReadBytes(dir / "back.txt");
    EXPECT_EQ(exported.starts_with("\xEF\xBB\xBF"), encoding == ExportEncoding::kUtf8);
    EXPECT_NE(exported.find("\r\n"), std::string::npos);
    ASSERT_TRUE(ImportInto(dir / "again.zrd", dir / "back.txt", false).ok());
    EXPECT_EQ(ReadBytes(dir / "again.zrd"), ReadBytes(dir / "out.zrd"));
  }
  EXPECT_EQ(ReadBytes(dir / "back.txt").substr(3, 9), ToUtf8(L"今日は"));
}

}  // namespace
}  // namespace zor
