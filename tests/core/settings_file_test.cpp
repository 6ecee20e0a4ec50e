#include "core/data/settings_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/data/file_system.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::optional<std::wstring> ReadOf(std::string_view bytes, std::wstring_view key,
                                   std::wstring_view section = kSettingsSection) {
  return SettingsText(bytes).Read(section, key);
}

std::string Written(std::string_view bytes, std::wstring_view key, std::wstring_view value) {
  SettingsText text(bytes);
  EXPECT_TRUE(text.Write(kSettingsSection, key, value));
  return text.Bytes();
}

TEST(SettingsText, ReadsAsTheProfileFunctionsDo) {
  const std::string file =
      "; comment\r\n[Other]\r\nUseFont=wrong\r\n"
      "  [ zorante ]  \r\n"
      "  usefont  =  IPA\x96\xbe\x92\xa9  \r\n"  // IPA明朝 with blanks around
      "KanS=\"-1\"\r\n"
      "DecoFont='2\r\n"
      "Seireki\r\n"
      "BgBMPDir=\r\n"
      "LoadFileName=a=b\n";
  EXPECT_EQ(ReadOf(file, L"UseFont"), L"IPA明朝");
  EXPECT_EQ(ReadOf(file, L"KanS"), L"-1") << "one pair of quotes taken off";
  EXPECT_EQ(ReadOf(file, L"DecoFont"), L"'2") << "an unpaired quote stays";
  EXPECT_EQ(ReadOf(file, L"Seireki"), std::nullopt) << "a line without '=' has no value";
  EXPECT_EQ(ReadOf(file, L"BgBMPDir"), L"") << "empty, not missing";
  EXPECT_EQ(ReadOf(file, L"LoadFileName"), L"a=b") << "the first '=' ends the key";
  EXPECT_EQ(ReadOf(file, L"UseFont", L"Other"), L"wrong");
  EXPECT_EQ(ReadOf(file, L"Nothing"), std::nullopt);
  EXPECT_EQ(ReadOf("UseFont=x\r\n", L"UseFont"), std::nullopt) << "a key before any section";
  EXPECT_EQ(ReadOf("[ZORANTE]\r\n[ZORANTE]\r\nKanS=1\r\n", L"KanS"), L"1") << "a section given twice";
}

TEST(SettingsText, Cp932BytesStandWhateverTheyLookLike) {
  // "ー" is 81 5B: its second byte is "[" and no lead byte in some code pages;
  // "表" is 95 5C and "ソ" 83 5C end in "\"; "ｶﾅ" are single bytes.
  const std::string name = "\x83\x8A\x83\x5C\x81\x5B\x95\x5C\xB6\xC5";
  EXPECT_EQ(ReadOf("[ZORANTE]\r\nLoadFileName=C:\\" + name + ".zrd\r\n", L"LoadFileName"), L"C:\\リソー表ｶﾅ.zrd");
  // A section named with a character whose second byte is "]" (ゾ = 83 5D).
  EXPECT_EQ(ReadOf("[\x83\x5D]\r\nA=1\r\n", L"A", L"ゾ"), L"1");
  EXPECT_EQ(ReadOf("[\x83\x5D\x83\x5D]\r\nA=1\r\n", L"A", L"ゾゾ"), L"1");
  EXPECT_EQ(ReadOf("[\x83\x5D]\r\nA=1\r\n", L"A", L""), std::nullopt);
}

TEST(SettingsText, AWriteChangesOneLineAndLeavesEveryOtherByte) {
  const std::string file = "; kept as it is\r\n[ZORANTE]\n  UseFont = old  \r\nKanS=1\r\n\r\n[Other]\r\nx=1";
  EXPECT_EQ(Written(file, L"usefont", L"IPA明朝"),
            "; kept as it is\r\n[ZORANTE]\n  UseFont=IPA\x96\xbe\x92\xa9\r\nKanS=1\r\n\r\n[Other]\r\nx=1");
  EXPECT_EQ(Written(file, L"Seireki", L"1"),
            "; kept as it is\r\n[ZORANTE]\n  UseFont = old  \r\nKanS=1\r\nSeireki=1\r\n\r\n[Other]\r\nx=1")
      << "added after the section's last line, before its blank lines";
  EXPECT_EQ(Written("[Other]\r\nx=1", L"KanS", L"0"), "[Other]\r\nx=1\r\n[ZORANTE]\r\nKanS=0\r\n");
  EXPECT_EQ(Written("", L"KanS", L"0"), "[ZORANTE]\r\nKanS=0\r\n");
  EXPECT_EQ(Written("[ZORANTE]", L"KanS", L"0"), "[ZORANTE]\r\nKanS=0\r\n");
  EXPECT_EQ(Written("[ZORANTE]\r\nKanS=1", L"DecoFont", L"2"), "[ZORANTE]\r\nKanS=1\r\nDecoFont=2\r\n");
  // A value that cannot stand in the file: nothing changes.
  SettingsText text(file);
  EXPECT_FALSE(text.Write(kSettingsSection, L"UseFont", L"two\r\nlines"));
  EXPECT_FALSE(text.Write(kSettingsSection, L"UseFont", L"한글"));
  EXPECT_EQ(text.Bytes(), file);
}

TEST(SettingsText, ByteOrderMarkedFilesAreReadAndKeptInTheirForm) {
  const std::string utf8 = "\xEF\xBB\xBF[ZORANTE]\r\nUseFont=IPA\xE6\x98\x8E\xE6\x9C\x9D\r\n";
  EXPECT_EQ(ReadOf(utf8, L"UseFont"), L"IPA明朝");
  EXPECT_EQ(Written(utf8, L"UseFont", L"한글"), "\xEF\xBB\xBF[ZORANTE]\r\nUseFont=\xED\x95\x9C\xEA\xB8\x80\r\n");

  std::string utf16 = "\xFF\xFE";
  for (const wchar_t c : std::wstring(L"[ZORANTE]\r\nUseFont=IPA明朝\r\n")) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  EXPECT_EQ(ReadOf(utf16, L"UseFont"), L"IPA明朝");
  SettingsText text(utf16);
  ASSERT_TRUE(text.Write(kSettingsSection, L"KanS", L"1"));
  const std::string bytes = text.Bytes();
  EXPECT_TRUE(bytes.starts_with(utf16)) << "the old lines kept, in UTF-16";
  EXPECT_EQ(SettingsText(bytes).Read(kSettingsSection, L"KanS"), L"1");
  EXPECT_EQ(ReadOf(utf16.substr(0, utf16.size() - 5), L"UseFont"), L"IPA明") << "an odd, cut file";
}

TEST(SettingsText, GarbageIsReadWithoutHarmAndAWriteStillLands) {
  std::mt19937 random(11);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) c = "[]=\r\n \x81\x83\x5B\x5D\xFF\xFEZORANTEKanS\""[random() % 25];
    SettingsText text(bytes);
    (void)text.Read(kSettingsSection, L"KanS");
    ASSERT_TRUE(text.Write(kSettingsSection, L"KanS", L"-1")) << round;
    EXPECT_EQ(SettingsText(text.Bytes()).Read(kSettingsSection, L"KanS"), L"-1") << round;
  }
}

TEST(SettingsFileStore, KeepsTheOldFileWhenAWriteCannotBeMade) {
  TempFolder dir;
  const auto ini = SettingsFilePath(dir.path());
  SettingsFileStore store(ini);
  EXPECT_EQ(store.Read(kSettingsSection, L"KanS"), std::nullopt) << "no file yet";
  ASSERT_TRUE(WriteSetting(store, L"KanS", std::int16_t{-1}).ok());
  EXPECT_EQ(ReadBytes(ini), "[ZORANTE]\r\nKanS=-1\r\n");

  SetFaultHookForTesting([](ReplaceStep step) { return step == ReplaceStep::kReplace; });
  EXPECT_FALSE(WriteSetting(store, L"KanS", std::int16_t{0}).ok());
  SetFaultHookForTesting(nullptr);
  EXPECT_EQ(ReadBytes(ini), "[ZORANTE]\r\nKanS=-1\r\n");
  EXPECT_EQ(dir.EntryCount(), 1u) << "no temporary file left";

  // Larger than any settings file: neither read nor written over.
  WriteBytes(ini, "[ZORANTE]\r\nKanS=1\r\n" + std::string(kSettingsFileMaxBytes, ';'));
  EXPECT_EQ(store.Read(kSettingsSection, L"KanS"), std::nullopt);
  EXPECT_FALSE(WriteSetting(store, L"KanS", std::int16_t{0}).ok());
  EXPECT_EQ(std::filesystem::file_size(ini), 19 + kSettingsFileMaxBytes);

  // Something that is not a file where the file should be.
  std::filesystem::remove(ini);
  std::filesystem::create_directory(ini);
  EXPECT_EQ(store.Read(kSettingsSection, L"KanS"), std::nullopt);
  EXPECT_FALSE(WriteSetting(store, L"KanS", std::int16_t{0}).ok());
  EXPECT_TRUE(std::filesystem::is_directory(ini));
}

}  // namespace
}  // namespace zor
