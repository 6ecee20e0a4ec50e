#include "core/options/folder_chooser.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

Settings Stored() {
  Settings s;
  s.backgroundFolder = L"C:\\Pics";
  s.backgroundSingleFile = L"C:\\Pics\\old.bmp";
  s.backgroundFromFile = 0;
  s.intervalFolder = L"D:\\Interval";
  return s;
}

std::optional<std::wstring> Key(const MemoryProfileStore& store, std::wstring_view key) {
  return store.Read(kSettingsSection, key);
}

TEST(FolderChooserModel, CaptionAndCheckBoxFollowModeAndTick) {
  Settings s = Stored();
  FolderChooserModel interval(ChooserMode::kInterval, s, L"C:\\zor");
  EXPECT_EQ(interval.View().caption, L"インターバル画像参照フォルダ");
  EXPECT_FALSE(interval.View().checkVisible);
  interval.SetChecked(true);  // hidden: no effect
  EXPECT_FALSE(interval.View().checked);

  FolderChooserModel folder(ChooserMode::kBackground, s, L"C:\\zor");
  EXPECT_EQ(folder.View().caption, L"背景画像参照フォルダ");
  EXPECT_TRUE(folder.View().checkVisible);
  EXPECT_FALSE(folder.View().checked);

  s.backgroundFromFile = -1;
  FolderChooserModel file(ChooserMode::kBackground, s, L"C:\\zor");
  EXPECT_EQ(file.View().caption, L"背景画像");
  EXPECT_TRUE(file.View().checked);
  file.FolderListed(L"C:\\Pics", 2);
  file.SelectFile(L"a.bmp");
  EXPECT_TRUE(file.View().viewerEnabled);
  file.SetChecked(false);  // clearing drops the selection and the viewer
  EXPECT_EQ(file.View().caption, L"背景画像参照フォルダ");
  EXPECT_FALSE(file.View().selected);
  EXPECT_FALSE(file.View().viewerEnabled);
}

TEST(FolderChooserModel, StartsInTheStoredFolderWhenItExistsElseTheProgramFolder) {
  struct Case {
    ChooserMode mode;
    std::wstring backgroundFolder, intervalFolder;
    bool exists;
    std::wstring start;
  };
  const Case cases[] = {
      {ChooserMode::kBackground, L"C:\\Pics", L"D:\\It", true, L"C:\\Pics"},
      {ChooserMode::kBackground, L"C:\\Gone", L"D:\\It", false, L"C:\\zor"},
      {ChooserMode::kInterval, L"C:\\Pics", L"D:\\It", true, L"D:\\It"},
      {ChooserMode::kInterval, L"C:\\Pics", L"", true, L"C:\\zor"},
  };
  for (const Case& c : cases) {
    Settings s = Stored();
    s.backgroundFolder = c.backgroundFolder;
    s.intervalFolder = c.intervalFolder;
    FolderChooserModel model(c.mode, s, L"C:\\zor");
    EXPECT_EQ(model.StartFolder([&](const std::wstring&) { return c.exists; }), c.start) << c.backgroundFolder;
  }
}

TEST(FolderChooserModel, TheStoredFileIsSelectedOnlyOnAnExactMatch) {
  Settings s = Stored();
  s.backgroundFromFile = -1;
  s.backgroundSingleFile = L" C:\\b.jpg ";
  const std::vector<std::wstring> names = {L"a.bmp", L"b.jpg", L"B.JPG"};
  FolderChooserModel model(ChooserMode::kBackground, s, L"C:\\zor");
  EXPECT_EQ(model.StoredFileRow(L"C:\\", names), 1u);  // a root takes no second "\"
  EXPECT_EQ(model.StoredFileRow(L"C:\\Pics", names), std::nullopt);
  EXPECT_EQ(model.StoredFileRow(L"C:\\", {L"a.bmp"}), std::nullopt);  // no longer there
  s.backgroundFromFile = 0;
  FolderChooserModel folder(ChooserMode::kBackground, s, L"C:\\zor");
  EXPECT_EQ(folder.StoredFileRow(L"C:\\", names), std::nullopt);
}

TEST(FolderChooserModel, OkRefusesWhatCannotBeUsed) {
  struct Case {
    ChooserMode mode;
    bool checked;
    std::size_t files;
    std::optional<std::wstring> selected;
    std::wstring folder;
    std::wstring warningStart;  // empty: closes
  };
  // One byte more than the settings file gives back whole; 130 kanji (263
  // bytes) are stored.
  const std::wstring longFolder = L"C:\\" + std::wstring(kSettingsValueMaxBytes - 2, L'x');
  const std::wstring kanjiFolder = L"C:\\" + std::wstring(130, L'字');
  const Case cases[] = {
      {ChooserMode::kBackground, false, 0, std::nullopt, L"C:\\Empty", std::wstring(kNoPicturesMessage)},
      {ChooserMode::kBackground, true, 0, std::nullopt, L"C:\\Empty", std::wstring(kChooseFileMessage)},
      {ChooserMode::kBackground, true, 3, std::nullopt, L"C:\\Pics", std::wstring(kChooseFileMessage)},
      {ChooserMode::kInterval, false, 0, std::nullopt, L"C:\\Empty", std::wstring(kNoPicturesMessage)},
      {ChooserMode::kBackground, false, 3, std::nullopt, L"C:\\Pics", L""},
      {ChooserMode::kBackground, false, 3, L"a.bmp", L"C:\\Pics", L""},  // a folder, a file selected or not
      {ChooserMode::kInterval, false, 1, std::nullopt, L"D:\\It", L""},
      {ChooserMode::kInterval, false, 1, std::nullopt, L"D:\\\u0100", L"このパスには"},
      {ChooserMode::kBackground, true, 1, L"\u20ac.bmp", L"C:\\Pics", L"このパスには"},
      {ChooserMode::kBackground, false, 1, std::nullopt, longFolder, L"このパスは長すぎて"},
      {ChooserMode::kInterval, false, 1, std::nullopt, kanjiFolder, L""},
  };
  for (const Case& c : cases) {
    MemoryProfileStore store;
    FolderChooserModel model(c.mode, Stored(), L"C:\\zor");
    model.SetChecked(c.checked);
    model.FolderListed(c.folder, c.files);
    model.SelectFile(c.selected);
    const ChooserOutcome outcome = model.Confirm(store);
    EXPECT_EQ(outcome.close, c.warningStart.empty()) << c.folder;
    EXPECT_EQ(outcome.warning.substr(0, c.warningStart.size()), c.warningStart) << c.folder;
    if (!outcome.close) {
      EXPECT_FALSE(model.Written());
      for (const wchar_t* key : {L"BgBMPDorB", L"BgBMPDir", L"BgBMPBMP", L"ItBMPDir"}) {
        EXPECT_FALSE(Key(store, key)) << key;
      }
    }
  }
}

TEST(FolderChooserModel, OkWritesTheChoiceOfItsMode) {
  {
    // A file: its full path, its folder and the flag; a root takes no second "\".
    MemoryProfileStore store;
    FolderChooserModel model(ChooserMode::kBackground, Stored(), L"C:\\zor");
    model.SetChecked(true);
    model.FolderListed(L"C:\\", 1);
    model.SelectFile(L"sun.jpg");
    EXPECT_EQ(model.SelectedPath(), L"C:\\sun.jpg");
    ASSERT_TRUE(model.Confirm(store).close);
    EXPECT_EQ(Key(store, L"BgBMPDorB"), L"-1");
    EXPECT_EQ(Key(store, L"BgBMPBMP"), L"C:\\sun.jpg");
    EXPECT_EQ(Key(store, L"BgBMPDir"), L"C:\\");
    EXPECT_FALSE(Key(store, L"ItBMPDir"));
    EXPECT_EQ(model.Written(), (PictureSources{L"C:\\", L"C:\\sun.jpg", -1, L"D:\\Interval"}));
  }
  {
    // A folder after a file had been chosen: the old file stays in the settings.
    MemoryProfileStore store;
    Settings s = Stored();
    s.backgroundFromFile = -1;
    FolderChooserModel model(ChooserMode::kBackground, s, L"C:\\zor");
    model.SetChecked(false);
    model.FolderListed(L"E:\\Folder", 4);
    ASSERT_TRUE(model.Confirm(store).close);
    EXPECT_EQ(Key(store, L"BgBMPDorB"), L"0");
    EXPECT_EQ(Key(store, L"BgBMPDir"), L"E:\\Folder");
    EXPECT_FALSE(Key(store, L"BgBMPBMP"));
    EXPECT_EQ(model.Written(), (PictureSources{L"E:\\Folder", L"C:\\Pics\\old.bmp", 0, L"D:\\Interval"}));
  }
  {
    MemoryProfileStore store;
    FolderChooserModel model(ChooserMode::kInterval, Stored(), L"C:\\zor");
    model.FolderListed(L"F:\\New ", 2);
    ASSERT_TRUE(model.Confirm(store).close);
    EXPECT_EQ(Key(store, L"ItBMPDir"), L"F:\\New");
    EXPECT_FALSE(Key(store, L"BgBMPDorB"));
  }
}

TEST(FolderChooserModel, AFailedWriteIsReportedAndTheChooserStays) {
  MemoryProfileStore store;
  store.failWrites = true;
  FolderChooserModel model(ChooserMode::kInterval, Stored(), L"C:\\zor");
  model.FolderListed(L"F:\\New", 2);
  const ChooserOutcome outcome = model.Confirm(store);
  EXPECT_FALSE(outcome.close);
  EXPECT_FALSE(outcome.warning.empty());
  EXPECT_FALSE(model.Written());
}

}  // namespace
}  // namespace zor
