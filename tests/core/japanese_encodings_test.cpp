// EUC-JP and ISO-2022-JP read by arithmetic into CP932, the guess among
// every encoding, files no encoding reads, control characters, and forced
// encodings that do not fit.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/import_report.h"
#include "core/data/text_exchange.h"
#include "core/text/cp932.h"
#include "core/text/cp932_from_jis.h"
#include "core/text/unicode.h"
#include "jis_bytes.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::EucOfCp932;
using testing::IsoOfCp932;
using testing::TempFolder;
using testing::WriteBytes;
using Texts = std::vector<std::wstring>;

ImportedLines Read(std::string_view bytes, EncodingChoice choice = EncodingChoice::kAuto, std::size_t piece = 1 << 16) {
  TextImportReader reader(500, choice);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    reader.Feed(std::span<const char>(bytes.data() + at, std::min(piece, bytes.size() - at)));
  }
  return reader.Finish();
}

// Catches an arithmetic slip (odd and even rows, the gap at trail 0x7F, the
// jump of lead bytes after row 62): every row and cell of JIS X 0208 gives
// valid, distinct Shift_JIS bytes in JIS order, and known characters land.
TEST(JisArithmetic, EveryRowAndCellGivesItsOwnShiftJisInOrder) {
  std::string previous;
  std::set<std::string> seen;
  for (int row = 1; row <= 94; ++row) {
    for (int cell = 1; cell <= 94; ++cell) {
      std::string sjis;
      AppendShiftJisOfJis(sjis, row, cell);
      ASSERT_EQ(sjis.size(), 2u);
      const auto lead = static_cast<unsigned char>(sjis[0]);
      const auto trail = static_cast<unsigned char>(sjis[1]);
      ASSERT_TRUE(IsCp932LeadByte(lead) && IsCp932TrailByte(trail)) << row << "-" << cell;
      const testing::RowCell back = testing::RowCellOfShiftJis(lead, trail);
      ASSERT_TRUE(back.row == row && back.cell == cell) << row << "-" << cell;
      ASSERT_LT(previous, sjis);
      previous = sjis;
      seen.insert(sjis);
    }
  }
  EXPECT_EQ(seen.size(), 94u * 94u);
  const std::pair<const char*, const wchar_t*> known[] = {
      {"\xA4\xA2", L"あ"}, {"\xB0\xEC", L"一"}, {"\xCF\xD3", L"腕"}, {"\xD0\xA1", L"弌"},
      {"\xF4\xA6", L"熙"}, {"\xA1\xC1", L"\uFF5E"}, {"\xAD\xA1", L"①"}, {"\x8E\xB1", L"ｱ"},
  };
  for (const auto& [euc, text] : known) {
    JisToCp932 converter(JisForm::kEucJp);
    std::string cp932;
    converter.Feed(std::string_view(euc), cp932);
    converter.Finish(cp932);
    EXPECT_EQ(FromCp932(cp932), text) << euc;
    EXPECT_FALSE(converter.malformed());
  }
}

// Catches EUC-JP sequences taken for characters (or lost) and JIS X 0212
// stored or counted under the wrong reason; each in pieces of one byte too.
TEST(EucJp, EachKindOfSequenceGivesItsCharacterOrItsReason) {
  struct Case {
    const char* bytes;
    Texts texts;
    SkippedLines skipped;
  };
  const Case cases[] = {
      {"\xC6\xFC\xCB\xDC\xB8\xEC\x8E\xB6\x8E\xC5\r\n", {L"日本語ｶﾅ"}, {}},
      {"\x8F\xB0\xA1\r\nok\r\n", {L"ok"}, {.jisX0212 = 1}},      // JIS X 0212 via SS3
      {"\xA4\r\nok\r\n", {L"ok"}, {.malformed = 1}},            // a lead byte before the line end
      {"\x8E\xE0\r\nok\r\n", {L"ok"}, {.malformed = 1}},        // SS2 before no katakana
      {"\x90\xA4\xA2\r\nok\r\n", {L"ok"}, {.malformed = 1}},    // a C1 byte
      {"\xF5\xA1\r\nok\r\n", {L"ok"}, {.unstorable = 1}},       // the user-defined rows
      {"\xA9\xA1\r\nok\r\n", {L"ok"}, {.malformed = 1}},        // an unassigned row: no CP932 character
      {"ok\r\n\xA4\xA2\xA4", {L"ok"}, {.malformed = 1}},        // cut by the end of the file
  };
  for (const Case& c : cases) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{1} << 16}) {
      const ImportedLines r = Read(c.bytes, EncodingChoice::kEucJp, piece);
      EXPECT_EQ(r.texts, c.texts) << c.bytes;
      EXPECT_EQ(r.skipped, c.skipped) << c.bytes;
      EXPECT_EQ(r.encoding, TextEncoding::kEucJp);
    }
  }
}

// Catches escape sequences stored as text, a lost set across lines, and
// 8-bit bytes or unknown escapes taken for characters.
TEST(Iso2022Jp, EscapesShiftsAndWhatBreaksThem) {
  struct Case {
    const char* bytes;
    Texts texts;
    SkippedLines skipped;
  };
  const Case cases[] = {
      {"\x1B$B$\"$$\x1B(B x\r\n", {L"あい x"}, {}},
      {"\x1B$@F|\x1B(J\\\r\n", {L"日\\"}, {}},                    // the old JIS X 0208 and JIS X 0201 Roman
      {"\x1B(I16\x1B(B\r\n\x0E\x31\x0F" "a\r\n", {L"ｱｶ", L"ｱa"}, {}},  // kana by escape and by shift
      {"\x1B$BF|\r\nK\\\x1B(B\r\n", {L"日", L"本"}, {}},          // the set goes on over a line end
      {"\x1B$(D0!\x1B(B\r\nok\r\n", {L"ok"}, {.jisX0212 = 1}},
      {"\x1B$AF|\x1B(B\r\nok\r\n", {L"ok"}, {.malformed = 1}},   // an escape it does not know
      {"\x82\xA0\r\nok\r\n", {L"ok"}, {.malformed = 1}},         // 8-bit bytes
      {"\x1B$BF\r\n\x1B(Bok\r\n", {L"ok"}, {.malformed = 1}},    // a character cut by the line end
      {"ok\r\n\x1B$", {L"ok"}, {.malformed = 1}},                // an escape cut by the end of the file
  };
  for (const Case& c : cases) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{1} << 16}) {
      const ImportedLines r = Read(c.bytes, EncodingChoice::kIso2022Jp, piece);
      EXPECT_EQ(r.texts, c.texts) << c.bytes;
      EXPECT_EQ(r.skipped, c.skipped) << c.bytes;
    }
  }
}

const std::wstring kJapanese =
    L"吾輩は猫である。名前はまだ無い。\r\nどこで生れたかとんと見当がつかぬ。\r\n何でも薄暗いじめじめした所で\r\n"
    L"ニャーニャー泣いていた事だけは記憶している。\r\n";

// Catches a guess that takes the wrong encoding where two read cleanly: the
// readings of EUC-JP, Shift_JIS and UTF-16 overlap byte for byte.
TEST(EncodingGuess, TakesTheReadingThatIsJapaneseText) {
  const std::string cp932 = ToCp932(kJapanese);
  EXPECT_EQ(Read(cp932).encoding, TextEncoding::kCp932);
  EXPECT_EQ(Read(EucOfCp932(cp932)).encoding, TextEncoding::kEucJp);
  EXPECT_EQ(Read(IsoOfCp932(cp932)).encoding, TextEncoding::kIso2022Jp);
  // Half-width katakana in CP932 are kanji pairs in EUC-JP: without kana
  // EUC-JP does not win, with kana it does.
  EXPECT_EQ(Read("\xB6\xC0\xB6\xC5\xC3\xDE\r\n").encoding, TextEncoding::kCp932) << "ｶﾀｶﾅﾃﾞ";
  EXPECT_EQ(Read(EucOfCp932(ToCp932(L"漢字です\r\n"))).encoding, TextEncoding::kEucJp);
  // UTF-16 without a mark and without a line end: no NUL to tell it.
  std::string utf16;
  for (const wchar_t c : std::wstring(L"日本語の文章")) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  EXPECT_EQ(Read(utf16).encoding, TextEncoding::kUtf16Le);
  EXPECT_EQ(Read(utf16).texts, Texts{L"日本語の文章"});
  // ISO-2022-JP with a control character, and with one damaged line: the
  // other lines are still read as ISO-2022-JP.
  const std::string iso = IsoOfCp932(cp932);
  const ImportedLines withNul = Read(iso + std::string("a\0b\r\n", 5));
  EXPECT_EQ(withNul.encoding, TextEncoding::kIso2022Jp);
  EXPECT_EQ(withNul.skipped, (SkippedLines{.control = 1}));
  const ImportedLines damaged = Read(iso + "\x1B$BF\r\n\x1B(B");
  EXPECT_EQ(damaged.encoding, TextEncoding::kIso2022Jp);
  EXPECT_EQ(damaged.texts.size(), 4u);
  EXPECT_EQ(damaged.skipped, (SkippedLines{.malformed = 1}));
  // A few bad lines in a long file do not refuse the rest.
  const ImportedLines mostly = Read(EucOfCp932(cp932) + "\xA4\r\n");
  EXPECT_EQ(mostly.encoding, TextEncoding::kEucJp);
  EXPECT_EQ(mostly.texts.size(), 4u);
  EXPECT_EQ(mostly.skipped, (SkippedLines{.malformed = 1}));
}

std::string Latin1(std::wstring_view text) {
  std::string out;
  for (const wchar_t c : text) out += static_cast<char>(c);
  return out;
}

// Catches garbage registered from a file that is no Japanese text: binary
// files and Latin-1 are refused whole, and nothing is created.
TEST(EncodingGuess, FilesNoEncodingReadsAreRefusedWithNothingCreated) {
  std::string binary("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01\0", 20);
  for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 7919 + i / 7) & 0xFF);
  const std::string latin1 = Latin1(
      L"Le café était très bon, à côté de la gare.\r\nÜber die Brücke gehen wir heute früh.\r\n"
      L"Ça coûte dix-huit francs, déjà payé.\r\nGrößere Äpfel schmecken süß.\r\n");
  TempFolder dir;
  for (const std::string& bytes : {binary, latin1, std::string("\0\0\0\0", 4)}) {
    EXPECT_TRUE(Read(bytes).unreadable);
    EXPECT_TRUE(Read(bytes).texts.empty());
    WriteBytes(dir / "x.txt", bytes);
    const Result<ImportOutcome> r = Import(dir / "x.txt", false);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.status().error(), FileError::kRefused);
    EXPECT_EQ(r.status().message(), kUnreadableTextMessage);
    EXPECT_FALSE(FileExists(dir / "x.zrd"));
  }
  // Forced, such a file is read as asked, line by line.
  EXPECT_FALSE(Read(latin1, EncodingChoice::kCp932).unreadable);
}

// Catches control characters stored in messages (a TAB or NUL drawn as a
// box) and the TAB's blank not told.
TEST(ControlCharacters, TabBecomesABlankOthersSkipTheirLine) {
  const ImportedLines r = Read(ToCp932(L"\t前\tと後\t\r\n") + std::string("NUL\0here\r\n", 10) +
                               "ESC\x1B[0m\r\nDEL\x7F\r\n\t\t\r\n" + ToCp932(L"最後の行です\r\n") + "x\ty\r\n");
  EXPECT_EQ(r.texts, (Texts{L"前 と後", L"最後の行です", L"x y"}));
  EXPECT_EQ(r.tabs, 2);
  EXPECT_EQ(r.skipped, (SkippedLines{.blank = 1, .control = 3}));
  // Through UTF-16 and UTF-8 the same.
  for (const EncodingChoice c : {EncodingChoice::kUtf16Le, EncodingChoice::kUtf8, EncodingChoice::kEucJp}) {
    std::string bytes;
    const std::wstring text = std::wstring(L"あ\tい\r\nう") + L'\0' + L"え\r\n";
    if (c == EncodingChoice::kUtf16Le) {
      for (const wchar_t ch : text) bytes += {static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
    } else {
      bytes = c == EncodingChoice::kUtf8 ? ToUtf8(text) : EucOfCp932(ToCp932(text));
    }
    const ImportedLines u = Read(bytes, c);
    EXPECT_EQ(u.texts, Texts{L"あ い"});
    EXPECT_EQ(u.skipped, (SkippedLines{.control = 1}));
  }
}

// Catches a forced encoding that does not fit registering nothing yet
// creating an empty file (and telling another reason).
TEST(ForcedEncoding, ThatDoesNotFitSaysSoAndCreatesNothing) {
  TempFolder dir;
  WriteBytes(dir / "s.txt", ToCp932(L"一行目です\r\n二行目です\r\n"));
  for (const auto& [choice, name] : {std::pair{EncodingChoice::kUtf8, L"UTF-8"}, {EncodingChoice::kEucJp, L"EUC-JP"},
                                     {EncodingChoice::kIso2022Jp, L"ISO-2022-JP"}}) {
    const Result<ImportOutcome> r = Import(dir / "s.txt", false, choice);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.status().message(), L"登録できる文章がないため、ファイルを作りませんでした（文字コード: " +
                                        std::wstring(name) + L"、" + name + L" として読めないバイトを含む行: 2）");
    EXPECT_FALSE(FileExists(dir / "s.zrd"));
  }
  const Result<ImportOutcome> fits = Import(dir / "s.txt", false, EncodingChoice::kCp932);
  ASSERT_TRUE(fits.ok());
  EXPECT_EQ(fits.value().report.registered, 2);
}

// Catches a report that names no encoding, hides the TABs made blanks, or
// folds the new reasons into another.
TEST(ImportReports, NameEveryEncodingAndEveryReason) {
  ImportReport euc{.registered = 3, .skipped = {.malformed = 1, .control = 2, .jisX0212 = 4},
                   .encoding = TextEncoding::kEucJp, .tabs = 1};
  EXPECT_EQ(ImportReportText(euc),
            L"3 件の文章を登録しました。\r\n文字コード: EUC-JP\r\nタブを空白にした行: 1\r\n\r\n登録しなかった行:"
            L"\r\n　EUC-JP として読めないバイトを含む行: 1\r\n　制御文字を含む行: 2"
            L"\r\n　JIS X 0212 の文字（Shift_JIS で保存できない文字）を含む行: 4");
  EXPECT_EQ(ImportReportLine(euc), L"import: read as EUC-JP, 3 registered, 7 skipped (0 blank, 0 too long, "
                                   L"0 with characters Shift_JIS cannot hold, 0 over the limit of 500, 1 not valid "
                                   L"EUC-JP, 2 with control characters, 4 with JIS X 0212 characters), TABs made "
                                   L"blanks in 1");
  ImportReport tabs{.registered = 1, .skipped = {}, .tabs = 1};
  EXPECT_NE(ImportReportText(tabs), L"") << "a TAB made a blank is said even in CP932";
  EXPECT_EQ(ImportReportText({.registered = 1, .skipped = {}, .encoding = TextEncoding::kIso2022Jp}),
            L"1 件の文章を登録しました。\r\n文字コード: ISO-2022-JP");
}

}  // namespace
}  // namespace zor
