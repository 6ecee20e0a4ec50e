#include "core/data/registration_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/data/file_system.h"
#include "core/text/cp932.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// The default header, byte by byte.
const std::string kEmptyFile(
    "\x62\x00"                  // version 98
    "\x00\x00"                  // count 0
    "\x70\x17"                  // interval 6000
    "\x03\x00"                  // colour scheme 3
    "\xFF\xFF"                  // emphasis on -1
    "ZORANT"                    // magic
    "\x00\x00"                  // order 0
    "\x0C\x00"                  // emphasis colour 12
    "\x00\x00"                  // layout 0
    "\0\0\0\0\0\0\0\0\0\0",     // reserved
    32);

// A file of the given header count and messages (records written as the entry form does).
std::string FileWith(std::int16_t count, const std::vector<std::wstring>& texts) {
  RegistrationHeader h;
  h.count = count;
  std::string bytes = h.Encode();
  for (const std::wstring& t : texts) {
    RecordBytes r = BlankRecord();
    SetRecordText(r, t);
    bytes.append(r.data(), r.size());
  }
  return bytes;
}

std::vector<std::wstring> Numbered(int n) {
  std::vector<std::wstring> v;
  for (int i = 1; i <= n; ++i) v.push_back(L"m" + std::to_wstring(i));
  return v;
}

std::vector<std::wstring> List(const std::filesystem::path& p) {
  Result<std::vector<std::wstring>> r = ReadMessages(p);
  EXPECT_TRUE(r.ok()) << ToCp932(r.status().message());
  return r.ok() ? r.value() : std::vector<std::wstring>{};
}

TEST(RegistrationFile, NewFileIsTheDefaultHeaderAlone) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(p).ok());
  EXPECT_EQ(ReadBytes(p), kEmptyFile);
  // An existing file is reset to an empty list.
  WriteBytes(p, FileWith(2, {L"x", L"y"}));
  ASSERT_TRUE(CreateEmptyRegistrationFile(p).ok());
  EXPECT_EQ(ReadBytes(p), kEmptyFile);
  EXPECT_EQ(dir.EntryCount(), 1u) << "no temporary file left behind";
}

TEST(RegistrationFile, ValidationChecksVersionFirstThenMagic) {
  TempFolder dir;
  struct Case {
    const char* what;
    std::string bytes;
    FileError expected;
  };
  std::string lower = kEmptyFile;
  lower.replace(10, 6, "zorant");
  std::string v99 = kEmptyFile;
  v99[0] = 99;
  std::string v0 = kEmptyFile;
  v0[0] = 0;
  std::string vNeg = kEmptyFile;
  vNeg[0] = '\xFF';
  vNeg[1] = '\xFF';
  const Case cases[] = {
      {"version 98", kEmptyFile, FileError::kNone},
      {"version 0", v0, FileError::kNone},
      {"version -1", vNeg, FileError::kNone},
      {"version 99", v99, FileError::kNewerVersion},
      {"magic in lower case", lower, FileError::kForeign},
      {"foreign file reading as version >= 99", std::string("PK\x03\x04 a zip archive and more bytes"), FileError::kNewerVersion},
      {"foreign bytes with a small first word", std::string(1, '\x01') + std::string(1, '\0') + " this is no registration file", FileError::kForeign},
      {"empty file", std::string(), FileError::kForeign},
      {"one byte", std::string("\x62"), FileError::kForeign},
      {"header cut at 20 bytes", kEmptyFile.substr(0, 20), FileError::kForeign},
  };
  for (const Case& c : cases) {
    const auto p = dir / "f.zrd";
    WriteBytes(p, c.bytes);
    const Result<RegistrationHeader> r = ValidateRegistrationFile(p);
    EXPECT_EQ(r.status().error(), c.expected) << c.what;
  }
  EXPECT_EQ(ValidateRegistrationFile(dir / "none.zrd").status().error(), FileError::kMissing);
}

TEST(RegistrationFile, MessagesAreTheTextsOfThePart) {
  const std::wstring f = L"C:\\data\\a.zrd";
  EXPECT_EQ(MissingFileMessage(f),
            L"ZORANTE 登録ファイル C:\\data\\a.zrd が見つかりません。\r\n"
            L"設定ダイアログから、ほかの登録ファイルを開くか、新規作成してください。");
  EXPECT_EQ(NewerVersionMessage(f),
            L"C:\\data\\a.zrd は新しいバージョンのデータ形式なので読み込めません。新しい zorante.scr を入手してください。");
  EXPECT_EQ(ForeignFileMessage(f, OpenedBy::kLoad), L"C:\\data\\a.zrd は ZORANTE の登録ファイルではありません。");
  EXPECT_EQ(ForeignFileMessage(f, OpenedBy::kOpenCommand), L"C:\\data\\a.zrd は ZORANTE の登録データではありません。");
}

// Hostile first bytes of a file, for the byte layer and the readers alike,
// with what the header check makes of them.
struct Hostile {
  const char* what;
  std::string bytes;
  FileError header;
};

std::vector<Hostile> HostileFiles() {
  std::string cut = FileWith(2, {L"a", std::wstring(70, L'b')});
  cut.resize(32 + 224 + 64);  // record 2 ends after its first 64 text bytes
  std::string random;
  std::mt19937 rng(932);
  for (int i = 0; i < 3000; ++i) random.push_back(static_cast<char>(rng() & 0xFF));
  std::string smallVersion = random;
  smallVersion[0] = 5;
  smallVersion[1] = 0;
  std::string largeVersion = random;
  largeVersion[1] = 0x7F;
  std::string v99 = kEmptyFile;
  v99[0] = 99;
  return {
      {"empty", "", FileError::kForeign},
      {"one byte", "\x62", FileError::kForeign},
      {"version 99 alone", std::string("\x63\x00", 2), FileError::kNewerVersion},
      {"version 98 alone", std::string("\x62\x00", 2), FileError::kForeign},
      {"header cut at 31 bytes", kEmptyFile.substr(0, 31), FileError::kForeign},
      {"header whose version is 99", v99, FileError::kNewerVersion},
      {"header alone", kEmptyFile, FileError::kNone},
      {"count 30000 over 2 records", FileWith(30000, {L"a", L"b"}), FileError::kNone},
      {"count -5 over 1 record", FileWith(-5, {L"a"}), FileError::kNone},
      {"count 2 over 1.3 records", cut, FileError::kNone},
      {"random bytes, version 5", smallVersion, FileError::kForeign},
      {"random bytes, version 32512 or more", largeVersion, FileError::kNewerVersion},
      {"count 400 over random bytes", FileWith(400, {}) + random, FileError::kNone},
  };
}

TEST(RegistrationBytes, HeaderChecksVersionFirstThenMagicAndLength) {
  const std::wstring name = L"C:\\d\\f.zrd";
  for (const Hostile& f : HostileFiles()) {
    const Result<RegistrationHeader> r = ParseRegistrationHeader(f.bytes, name);
    EXPECT_EQ(r.status().error(), f.header) << f.what;
    if (f.header == FileError::kNewerVersion) {
      EXPECT_EQ(r.status().message(), NewerVersionMessage(name)) << f.what;
    }
    if (f.header == FileError::kForeign) {
      EXPECT_EQ(r.status().message(), ForeignFileMessage(name, OpenedBy::kLoad)) << f.what;
      EXPECT_EQ(ParseRegistrationHeader(f.bytes, name, OpenedBy::kOpenCommand).status().message(),
                ForeignFileMessage(name, OpenedBy::kOpenCommand))
          << f.what;
    }
    if (r.ok()) {
      EXPECT_EQ(r.value().Encode(), f.bytes.substr(0, 32)) << f.what;
    }
  }
}

TEST(RegistrationBytes, MessagesWithinTheCountBlanksWhereTheBytesEnd) {
  const struct {
    const char* what;
    std::string bytes;
    std::size_t count;
    std::vector<std::wstring> first;  // the first texts; the rest are empty
  } cases[] = {
      {"count 30000 over 2 records: 500, two of them read", FileWith(30000, {L"a", L"b"}), 500, {L"a", L"b"}},
      {"count -5: none", FileWith(-5, {L"a"}), 0, {}},
      {"count 0 with records after the header", FileWith(0, {L"a", L"b"}), 0, {}},
      {"count 3 over the header alone", FileWith(3, {}), 3, {}},
      {"record 2 cut after its first half", HostileFiles()[9].bytes, 2, {L"a", std::wstring(64, L'b')}},
      {"count 1 with trailing bytes", FileWith(1, {L"x"}) + "trailing", 1, {L"x"}},
  };
  for (const auto& c : cases) {
    const Result<std::vector<std::wstring>> texts = ParseMessages(c.bytes, L"f.zrd");
    ASSERT_TRUE(texts.ok()) << c.what;
    std::vector<std::wstring> expected = c.first;
    expected.resize(c.count);
    EXPECT_EQ(texts.value(), expected) << c.what;
  }
  EXPECT_EQ(ParseMessages(kEmptyFile.substr(0, 20), L"f.zrd").status().error(), FileError::kForeign);
}

TEST(RegistrationBytes, OneMessageIsTheListsAndItsFormat) {
  // Count 4: record 2 with a fixed layout, record 3 cut after 100 bytes (its
  // text and marks, not its codes), record 4 absent.
  std::string bytes = FileWith(4, {L"a", L"b", L"c"});
  bytes[32 + 224 + 195] = 'B';
  bytes[32 + 2 * 224 + 64] = 'A';
  bytes[32 + 2 * 224 + 195] = 'C';
  bytes.resize(32 + 2 * 224 + 100);
  const std::vector<std::wstring> list = ParseMessages(bytes, L"f.zrd").value();
  for (int n = -1; n <= 6; ++n) {
    const Result<Message> m = ParseMessage(bytes, n, L"f.zrd");
    ASSERT_EQ(m.ok(), n >= 1 && n <= 4) << n;
    if (!m.ok()) {
      EXPECT_EQ(m.status().error(), FileError::kRefused);
      EXPECT_EQ(m.status().message(), std::to_wstring(n) + L" 番目の文章はありません（登録数 4）。");
      continue;
    }
    EXPECT_EQ(m.value().text, list[static_cast<std::size_t>(n - 1)]) << n;
  }
  EXPECT_EQ(ParseMessage(bytes, 2, L"f.zrd").value().format.Layout(), FixedLayout::kB);
  EXPECT_TRUE(ParseMessage(bytes, 3, L"f.zrd").value().format.Marked(1)) << "what the cut record holds is read";
  EXPECT_EQ(ParseMessage(bytes, 3, L"f.zrd").value().format.layout, ' ') << "what it lacks is blank";
  EXPECT_EQ(ParseMessage(bytes, 4, L"f.zrd").value().format, MessageFormat{});
  EXPECT_EQ(RecordFrom(std::string(300, 'x')), RecordFrom(std::string(224, 'x'))) << "a record is 224 bytes";
  EXPECT_EQ(RecordFrom({}), BlankRecord());
}

// The file readers are the byte layer over the bytes they read.
TEST(RegistrationFile, ReadersAgreeWithTheByteLayer) {
  TempFolder dir;
  const auto p = dir / "f.zrd";
  const std::wstring name = DisplayPath(p);
  for (const Hostile& f : HostileFiles()) {
    WriteBytes(p, f.bytes);
    const Result<RegistrationHeader> header = ValidateRegistrationFile(p);
    EXPECT_EQ(header.status().message(), ParseRegistrationHeader(f.bytes, name).status().message()) << f.what;
    const Result<std::vector<std::wstring>> texts = ReadMessages(p);
    const Result<std::vector<std::wstring>> parsed = ParseMessages(f.bytes, name);
    ASSERT_EQ(texts.ok(), parsed.ok()) << f.what;
    EXPECT_EQ(texts.status().message(), parsed.status().message()) << f.what;
    if (texts.ok()) {
      EXPECT_EQ(texts.value(), parsed.value()) << f.what;
    }
    for (int n : {1, 2, 3, 500}) {
      const Result<Message> read = ReadMessage(p, n);
      const Result<Message> one = ParseMessage(f.bytes, n, name);
      ASSERT_EQ(read.ok(), one.ok()) << f.what << " " << n;
      EXPECT_EQ(read.status().message(), one.status().message());
      if (read.ok()) {
        EXPECT_EQ(read.value().text, one.value().text) << f.what << " " << n;
        EXPECT_EQ(read.value().format, one.value().format) << f.what << " " << n;
      }
    }
  }
}

TEST(RegistrationRecord, TextHalvesAndTheCharacterAcrossTheBoundary) {
  RecordBytes r = BlankRecord();
  const std::wstring sixtyFour(64, L'a');
  SetRecordText(r, sixtyFour);
  EXPECT_EQ(std::string(r.data(), 64), std::string(64, 'a'));
  EXPECT_EQ(std::string(r.data() + 128, 64), std::string(64, ' ')) << "second half all blanks";
  EXPECT_EQ(RecordText(r), sixtyFour);

  // 63 bytes of "a", then "あ" (82 A0): byte 64 is 0x82 and byte 65 (offset 128) is 0xA0.
  const std::wstring split = std::wstring(63, L'a') + L"あい";
  SetRecordText(r, split);
  EXPECT_EQ(static_cast<unsigned char>(r[63]), 0x82);
  EXPECT_EQ(static_cast<unsigned char>(r[128]), 0xA0);
  EXPECT_EQ(RecordText(r), split) << "the halves are joined before decoding";

  // Longer than 128 bytes: cut at a character boundary, never half a character.
  SetRecordText(r, std::wstring(127, L'a') + L"あ");
  EXPECT_EQ(RecordText(r), std::wstring(127, L'a'));
  EXPECT_EQ(r[128 + 63], ' ');
}

TEST(RegistrationFile, EditingResetsTheFormat) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  WriteBytes(p, FileWith(1, {L"あいう"}));
  MessageFormat f;
  f.SetMarked(2, true);
  f.SetEmphasis(EmphasisMode::kMarked);
  f.SetFold(2, FoldKind::kC);
  f.SetLayout(FixedLayout::kB);
  ASSERT_TRUE(WriteMessageFormat(p, 1, f).ok());
  ASSERT_EQ(ReadMessage(p, 1).value().format, f);
  ASSERT_TRUE(EditMessage(p, 1, L"あいう").ok());
  const std::string bytes = ReadBytes(p);
  EXPECT_EQ(bytes.substr(32 + 64, 160 - 64), std::string(160 - 64, ' ').substr(0, 96)) << "offsets 64..159 blank";
  EXPECT_EQ(bytes.substr(32 + 192, 32), std::string(32, ' ')) << "codes and reserved blank";
  EXPECT_EQ(ReadMessage(p, 1).value().format, MessageFormat{});
}

TEST(RegistrationFile, NewUntitledNameTakesTheFirstFreeNumber) {
  TempFolder dir;
  EXPECT_EQ(NewUntitledName(dir.path()).value(), dir / PathFromText(L"無題1.zrd"));
  for (int n = 1; n <= 9; ++n) WriteBytes(dir / PathFromText(L"無題" + std::to_wstring(n) + L".zrd"), "");
  EXPECT_EQ(NewUntitledName(dir.path()).value(), dir / PathFromText(L"無題10.zrd"));
}

TEST(RegistrationFile, AddAppendsUpTo500AndChecksTheText) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  ASSERT_TRUE(CreateEmptyRegistrationFile(p).ok());
  ASSERT_TRUE(AddMessage(p, L"一つ目").ok());
  ASSERT_TRUE(AddMessage(p, L" ").ok()) << "a single blank is accepted";
  EXPECT_EQ(List(p), (std::vector<std::wstring>{L"一つ目", L""}));
  EXPECT_EQ(ReadBytes(p).size(), 32u + 2 * 224);

  struct Refusal {
    std::wstring text;
  };
  const std::wstring refused[] = {L"", std::wstring(33, L'あ'), std::wstring(97, L'a'), L"two\nlines", L"\u00E9t\u00E9"};
  for (const std::wstring& t : refused) {
    const std::string before = ReadBytes(p);
    EXPECT_EQ(AddMessage(p, t).error(), FileError::kRefused);
    EXPECT_EQ(ReadBytes(p), before);
  }

  WriteBytes(p, FileWith(500, Numbered(500)));
  EXPECT_EQ(AddMessage(p, L"more").error(), FileError::kRefused);
  WriteBytes(p, FileWith(499, Numbered(499)));
  EXPECT_TRUE(AddMessage(p, L"last").ok());
  EXPECT_EQ(List(p).back(), L"last");
}

TEST(RegistrationFile, HostileCountsNeverReadPastTheEnd) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  // The count claims 5, the file holds 2 records and half of a third.
  std::string bytes = FileWith(5, {L"a", L"b", L"c"});
  bytes.resize(32 + 2 * 224 + 100);
  WriteBytes(p, bytes);
  EXPECT_EQ(List(p), (std::vector<std::wstring>{L"a", L"b", L"c", L"", L""})) << "missing records read as blanks";
  // Adding after them writes the blanks the count promised.
  ASSERT_TRUE(AddMessage(p, L"f").ok());
  EXPECT_EQ(ReadBytes(p).size(), 32u + 6 * 224);
  EXPECT_EQ(List(p).back(), L"f");

  WriteBytes(p, FileWith(-3, {L"a"}));
  EXPECT_TRUE(List(p).empty()) << "a negative count is no messages";
  WriteBytes(p, FileWith(600, Numbered(600)));
  EXPECT_EQ(List(p).size(), 500u) << "at most 500 are listed";
  EXPECT_EQ(AddMessage(p, L"x").error(), FileError::kRefused);
  WriteBytes(p, FileWith(32767, {L"a"}));
  EXPECT_EQ(List(p).size(), 500u);
  EXPECT_EQ(ReadMessage(p, 501).status().error(), FileError::kRefused);
}

// The display's reader takes the header and the one record: a record the
// count claims but the file lacks reads as blanks, one outside the count is
// refused, and an unusable file is reported as validation reports it.
TEST(RegistrationFile, ReadMessageTakesOneRecordAndBlanksWhatTheFileLacks) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  // The count claims 6: records 1 and 2 whole, record 3 cut after 100 bytes
  // (its text and marks, not its codes), records 4 to 6 absent.
  std::string bytes = FileWith(6, {L"a", L"b", L"c"});
  bytes[32 + 224 + 195] = 'B';      // record 2: fixed layout "B"
  bytes[32 + 2 * 224 + 64] = 'A';   // record 3: first character marked
  bytes[32 + 2 * 224 + 195] = 'C';  // cut off below
  bytes.resize(32 + 2 * 224 + 100);
  WriteBytes(p, bytes);
  const struct {
    int n;
    FileError error;
    std::wstring text;
    char layout;
  } cases[] = {
      {1, FileError::kNone, L"a", ' '},   {2, FileError::kNone, L"b", 'B'},    {3, FileError::kNone, L"c", ' '},
      {4, FileError::kNone, L"", ' '},    {6, FileError::kNone, L"", ' '},     {7, FileError::kRefused, L"", ' '},
      {0, FileError::kRefused, L"", ' '}, {-1, FileError::kRefused, L"", ' '},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    const Result<Message> m = ReadMessage(p, c.n);
    ASSERT_EQ(m.status().error(), c.error);
    if (!m.ok()) continue;
    EXPECT_EQ(m.value().text, c.text);
    EXPECT_EQ(m.value().format.layout, c.layout);
  }
  EXPECT_TRUE(ReadMessage(p, 3).value().format.Marked(1)) << "the part of a cut record that is there is read";
  EXPECT_EQ(ReadMessage(p, 5).value().format, MessageFormat{});

  WriteBytes(p, bytes.substr(0, 20));
  EXPECT_EQ(ReadMessage(p, 1).status().error(), FileError::kForeign) << "a header cut short";
  std::filesystem::remove(p);
  EXPECT_EQ(ReadMessage(p, 1).status().error(), FileError::kMissing);
}

TEST(RegistrationFile, DeleteLeavesExactlyTheRemainingRecords) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  WriteBytes(p, FileWith(4, Numbered(4)) + "trailing garbage");
  ASSERT_TRUE(DeleteMessage(p, 2).ok());
  EXPECT_EQ(List(p), (std::vector<std::wstring>{L"m1", L"m3", L"m4"}));
  EXPECT_EQ(ReadBytes(p).size(), 32u + 3 * 224);
  for (int bad : {0, 4, -1}) EXPECT_EQ(DeleteMessage(p, bad).error(), FileError::kRefused);
  ASSERT_TRUE(DeleteMessage(p, 3).ok());
  ASSERT_TRUE(DeleteMessage(p, 1).ok());
  ASSERT_TRUE(DeleteMessage(p, 1).ok());
  EXPECT_EQ(ReadBytes(p), kEmptyFile);
}

TEST(RegistrationFile, MovesShiftTheMessagesBetween) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  struct Case {
    const char* what;
    int count, row, step;  // row is 1-based
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"up one", 5, 3, -1, {1, 3, 2, 4, 5}},
      {"down one", 5, 3, 1, {1, 2, 4, 3, 5}},
      {"up ten from row 4 stops at the top", 5, 4, -10, {4, 1, 2, 3, 5}},
      {"down ten clamps at the bottom", 5, 2, 10, {1, 3, 4, 5, 2}},
      {"drag row 3 onto row 8", 10, 3, 5, {1, 2, 4, 5, 6, 7, 8, 3, 9, 10}},
      {"huge step", 3, 1, 2147483647, {2, 3, 1}},
      {"huge step up", 3, 3, -2147483647 - 1, {3, 1, 2}},
  };
  for (const Case& c : cases) {
    WriteBytes(p, FileWith(static_cast<std::int16_t>(c.count), Numbered(c.count)));
    ASSERT_TRUE(MoveMessage(p, c.row, c.step).ok()) << c.what;
    std::vector<std::wstring> expected;
    for (int i : c.expected) expected.push_back(L"m" + std::to_wstring(i));
    EXPECT_EQ(List(p), expected) << c.what;
  }
  // Down ten from row 496 of 500 ends at row 500.
  WriteBytes(p, FileWith(500, Numbered(500)));
  ASSERT_TRUE(MoveMessage(p, 496, 10).ok());
  EXPECT_EQ(List(p)[499], L"m496");
  EXPECT_EQ(List(p)[495], L"m497");
}

TEST(RegistrationFile, MovesThatGoNowhereLeaveTheFileAlone) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  const std::string bytes = FileWith(3, Numbered(3));
  WriteBytes(p, bytes);
  const auto before = std::filesystem::last_write_time(p);
  EXPECT_TRUE(MoveMessage(p, 1, -1).ok());
  EXPECT_TRUE(MoveMessage(p, 3, 1).ok());
  EXPECT_TRUE(MoveMessage(p, 2, 0).ok());
  EXPECT_EQ(ReadBytes(p), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(p), before);
  EXPECT_EQ(MoveMessage(p, 4, -1).error(), FileError::kRefused);
}

TEST(RegistrationFile, OptionsTouchOnlyTheirSixFields) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  std::string bytes = FileWith(2, {L"a", L"b"}) + "tail";
  bytes[22] = 'r';  // reserved bytes are kept as found
  WriteBytes(p, bytes);
  const DisplayOptions o{3000, 1, 0, 1, 5, 2};
  ASSERT_TRUE(WriteDisplayOptions(p, o).ok());
  const std::string after = ReadBytes(p);
  std::string expected = bytes;
  const char fields[][3] = {{4, '\xB8', '\x0B'}, {6, 1, 0}, {8, 0, 0}, {16, 1, 0}, {18, 5, 0}, {20, 2, 0}};
  for (const auto& f : fields) {
    expected[static_cast<std::size_t>(f[0])] = f[1];
    expected[static_cast<std::size_t>(f[0]) + 1] = f[2];
  }
  EXPECT_EQ(after, expected);
  EXPECT_EQ(ValidateRegistrationFile(p).value().options, o);
}

// Every rewrite, with a failure at each step: the original stays byte-identical
// and no temporary file is left in the folder.
TEST(RegistrationFile, AFailingStepLeavesTheOriginalUntouched) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  const std::string original = FileWith(4, Numbered(4));
  MessageFormat f;
  f.SetLayout(FixedLayout::kC);
  const std::pair<const char*, std::function<Status()>> operations[] = {
      {"delete", [&] { return DeleteMessage(p, 2); }},
      {"move up", [&] { return MoveMessage(p, 3, -1); }},
      {"move down ten", [&] { return MoveMessage(p, 1, 10); }},
      {"add", [&] { return AddMessage(p, L"new"); }},
      {"edit", [&] { return EditMessage(p, 1, L"edited"); }},
      {"format", [&] { return WriteMessageFormat(p, 1, f); }},
      {"options", [&] { return WriteDisplayOptions(p, DisplayOptions{1000, 0, 0, 1, 3, 1}); }},
      {"reset", [&] { return CreateEmptyRegistrationFile(p); }},
  };
  const ReplaceStep steps[] = {ReplaceStep::kCreateTemporary, ReplaceStep::kWriteTemporary,
                               ReplaceStep::kFlushTemporary, ReplaceStep::kReplace};
  for (const auto& [name, op] : operations) {
    for (ReplaceStep step : steps) {
      WriteBytes(p, original);
      SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
      const Status s = op();
      SetFaultHookForTesting(nullptr);
      EXPECT_EQ(s.error(), FileError::kWrite) << name << " step " << static_cast<int>(step);
      EXPECT_FALSE(s.message().empty());
      EXPECT_EQ(ReadBytes(p), original) << name << " step " << static_cast<int>(step);
      EXPECT_EQ(dir.EntryCount(), 1u) << name << " left a temporary file";
    }
    WriteBytes(p, original);
    EXPECT_TRUE(op().ok()) << name << " without faults";
    EXPECT_NE(ReadBytes(p), original) << name;
  }
}

TEST(RegistrationFile, InvalidFilesAreNeverChanged) {
  TempFolder dir;
  const auto p = dir / "a.zrd";
  std::string foreign = FileWith(2, {L"a", L"b"});
  foreign[10] = 'X';
  WriteBytes(p, foreign);
  EXPECT_EQ(AddMessage(p, L"x").error(), FileError::kForeign);
  EXPECT_EQ(DeleteMessage(p, 1).error(), FileError::kForeign);
  EXPECT_EQ(MoveMessage(p, 1, 1).error(), FileError::kForeign);
  EXPECT_EQ(WriteDisplayOptions(p, {}).error(), FileError::kForeign);
  EXPECT_EQ(ReadBytes(p), foreign);
  EXPECT_EQ(AddMessage(dir / "missing.zrd", L"x").error(), FileError::kMissing);
  EXPECT_FALSE(FileExists(dir / "missing.zrd"));
}

TEST(RegistrationFile, OpenCreatesAMissingFileAndNamesAForeignOne) {
  TempFolder dir;
  const auto p = dir / "b.zrd";
  ASSERT_TRUE(OpenRegistrationFile(p).ok());
  EXPECT_EQ(ReadBytes(p), kEmptyFile);
  WriteBytes(p, std::string(1, '\x05') + std::string(1, '\0') + " not a registration file, but long enough");
  const Result<RegistrationHeader> r = OpenRegistrationFile(p);
  EXPECT_EQ(r.status().error(), FileError::kForeign);
  EXPECT_NE(r.status().message().find(L"登録データではありません"), std::wstring::npos);
}

TEST(RegistrationFile, RenameComparesInLowerCaseAndReplaces) {
  TempFolder dir;
  const auto a = dir / "a.zrd";
  const auto b = dir / "b.zrd";
  WriteBytes(a, kEmptyFile);
  EXPECT_EQ(RenameRegistrationFile(a, dir / "A.ZRD").value(), RenameOutcome::kUnchanged);
  EXPECT_TRUE(FileExists(a));
  WriteBytes(b, "old b");
  EXPECT_EQ(RenameRegistrationFile(a, b).value(), RenameOutcome::kRenamed);
  EXPECT_EQ(ReadBytes(b), kEmptyFile);
  EXPECT_FALSE(FileExists(a));
  // A failed rename is reported and leaves the file where it was.
  const Result<RenameOutcome> failed = RenameRegistrationFile(b, dir / "no-such-folder" / "c.zrd");
  EXPECT_EQ(failed.status().error(), FileError::kWrite);
  EXPECT_TRUE(FileExists(b));
}

}  // namespace
}  // namespace zor
