#include "core/data/settings_file.h"

#include <gtest/gtest.h>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"

namespace zor::win {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;

// A real ZORANTE.ini: Japanese values reach the disk as CP932 bytes whatever
// the system's code page, and read back as written.
TEST(SettingsFileStore, WritesCp932BytesAndReadsThemBack) {
  TempFolder dir;
  const auto ini = SettingsFilePath(dir.path());
  SettingsFileStore store(ini);
  EXPECT_EQ(store.Read(kSettingsSection, L"UseFont"), std::nullopt) << "no file yet";
  ASSERT_TRUE(WriteSetting(store, L"UseFont", L"ＭＳ 明朝").ok());
  ASSERT_TRUE(WriteSetting(store, L"BgBMPDir", L"C:\\画像、表示").ok());
  ASSERT_TRUE(WriteSetting(store, L"DecoFont", std::int16_t{-1}).ok());
  ASSERT_TRUE(WriteSetting(store, L"BgBMPBMP", L"").ok());

  const std::string bytes = ReadBytes(ini);
  // "ＭＳ 明朝" = 82 6C 82 72 20 96 BE 92 A9; "画像、表示" = 89 E6 91 9C 81 41 95 5C 8E A6.
  EXPECT_NE(bytes.find("UseFont=\x82\x6C\x82\x72 \x96\xBE\x92\xA9"), std::string::npos);
  EXPECT_NE(bytes.find("BgBMPDir=C:\\\x89\xE6\x91\x9C\x81\x41\x95\x5C\x8E\xA6"), std::string::npos);
  EXPECT_NE(bytes.find("[ZORANTE]"), std::string::npos);

  const Settings s = LoadSettings(store, dir.path());
  EXPECT_EQ(s.typeFace, L"ＭＳ 明朝");
  EXPECT_EQ(s.backgroundFolder, L"C:\\画像、表示");
  EXPECT_EQ(s.decorationStyle, -1);
  EXPECT_EQ(s.backgroundSingleFile, L"") << "an empty value is not a missing one";
  EXPECT_EQ(s.boldType, -1) << "missing key: the default";
}

TEST(SettingsFileStore, LongValuesAndRefusedWrites) {
  TempFolder dir;
  SettingsFileStore store(SettingsFilePath(dir.path()));
  const std::wstring longPath = L"C:\\" + std::wstring(400, L'字');
  ASSERT_TRUE(WriteSetting(store, L"LoadFileName", longPath).ok());
  EXPECT_EQ(store.Read(kSettingsSection, L"LoadFileName"), longPath) << "not cut at 259 bytes";
  EXPECT_FALSE(WriteSetting(store, L"UseFont", L"two\r\nlines").ok());
  SettingsFileStore nowhere(dir / "no-such-folder" / "ZORANTE.ini");
  EXPECT_FALSE(WriteSetting(nowhere, L"KanS", std::int16_t{0}).ok());
}

}  // namespace
}  // namespace zor::win
