#include "core/options/image_options.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

std::vector<SettingValue> Closing(std::int16_t bg, std::int16_t it, std::int16_t bgStr, std::int16_t itStr,
                                  std::int16_t bw) {
  return {{L"BgBMP", bg}, {L"ItBMP", it}, {L"BgBMPStr", bgStr}, {L"ItBMPStr", itStr}, {L"BWbyFN", bw}};
}

// A hand-edited file opens on the nearest choice, and closing without a
// change writes that choice back.
TEST(ImageOptionsModel, OpensOnTheNearestChoiceAndWritesItBack) {
  struct Case {
    const wchar_t *bg, *it, *bgStr, *itStr, *bw;
    std::vector<SettingValue> writes;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, nullptr, nullptr, Closing(0, 0, 0, 0, 0)},
      {L"4", L"2", L"3", L"3", L"-1", Closing(4, 2, 3, 3, -1)},
      {L"5", L"3", L"4", L"9", L"1", Closing(4, 2, 3, 3, -1)},
      {L"-1", L"-2", L"-3", L"-32768", L"0", Closing(0, 0, 0, 0, 0)},
      {L"x", L"99999999", L" 2", L"1z", L"", Closing(0, 2, 2, 1, 0)},
  };
  for (const Case& c : cases) {
    MemoryProfileStore store;
    const std::pair<const wchar_t*, const wchar_t*> keys[] = {
        {L"BgBMP", c.bg}, {L"ItBMP", c.it}, {L"BgBMPStr", c.bgStr}, {L"ItBMPStr", c.itStr}, {L"BWbyFN", c.bw}};
    for (const auto& [key, value] : keys) {
      if (value) {
        ASSERT_TRUE(store.Write(kSettingsSection, key, value).ok());
      }
    }
    ImageOptionsModel model(LoadSettings(store, L"C:\\zor"));
    EXPECT_EQ(model.Writes(), c.writes) << (c.bg ? c.bg : L"-");
    ASSERT_TRUE(model.Save(store).ok());
    for (const SettingValue& w : c.writes) {
      EXPECT_EQ(store.Read(kSettingsSection, w.key), std::to_wstring(w.value)) << std::wstring(w.key);
    }
    EXPECT_EQ(model.Stored().backgroundMode, c.writes[0].value);
    EXPECT_EQ(model.Stored().schemeByFileName, c.writes[4].value);
  }
}

TEST(ImageOptionsModel, ChoicesAndClicksChangeWhatClosingWrites) {
  Settings s;
  s.backgroundStretch = 1;
  s.intervalStretch = 2;
  ImageOptionsModel model(s);
  model.SelectPlacement(3);
  model.SelectInterval(1);
  model.ClickBackgroundStretch(2);
  model.ClickBackgroundStretch(2);  // the current picture again stays framed
  model.ClickIntervalStretch(7);    // no such picture: the nearest
  model.SetColourByName(true);
  EXPECT_EQ(model.View().bgStretch, 2);
  EXPECT_EQ(model.View().itStretch, 3);
  EXPECT_EQ(model.Writes(), Closing(3, 1, 2, 3, -1));
}

TEST(ImageOptionsModel, CaptionsOfTheSourcesFollowTheChoiceOfFileOrFolder) {
  Settings s;
  s.backgroundFolder = L"C:\\Pictures";
  s.backgroundSingleFile = L"  C:\\Windows\\Desktop\\Pictures\\Backgrounds\\Sunset.bmp ";
  s.intervalFolder = L"D:\\Interval";
  s.backgroundFromFile = 0;
  ImageOptionsModel folder(s);
  EXPECT_EQ(folder.View().bgHeading, L"参照フォルダ：");
  EXPECT_EQ(folder.View().bgPath, L"c:\\pictures");
  EXPECT_EQ(folder.View().itPath, L"d:\\interval");

  s.backgroundFromFile = -1;
  ImageOptionsModel file(s);
  EXPECT_EQ(file.View().bgHeading, L"参照画像ファイル：");
  EXPECT_EQ(file.View().bgPath, L"c:\\...\\desktop\\pictures\\backgrounds\\sunset.bmp");

  // The chooser wrote a folder: the old file stays in memory, the caption shows the folder.
  file.SourcesWritten({L"E:\\New", s.backgroundSingleFile, 0, L"F:\\It"});
  EXPECT_EQ(file.View().bgHeading, L"参照フォルダ：");
  EXPECT_EQ(file.View().bgPath, L"e:\\new");
  EXPECT_EQ(file.View().itPath, L"f:\\it");
  EXPECT_EQ(file.Stored().backgroundSingleFile, s.backgroundSingleFile);
  EXPECT_EQ(file.Stored().backgroundFromFile, 0);
}

TEST(ImageOptionsModel, AFailedWriteKeepsTheOldValueAndTheOthersAreStillWritten) {
  MemoryProfileStore store;
  Settings s;
  s.backgroundMode = 2;
  ImageOptionsModel model(s);
  model.SelectPlacement(4);
  store.failWrites = true;
  EXPECT_FALSE(model.Save(store).ok());
  EXPECT_EQ(model.Stored().backgroundMode, 2);
  store.failWrites = false;
  EXPECT_TRUE(model.Save(store).ok());
  EXPECT_EQ(model.Stored().backgroundMode, 4);
  EXPECT_EQ(store.Read(kSettingsSection, L"BgBMP"), L"4");
}

}  // namespace
}  // namespace zor
