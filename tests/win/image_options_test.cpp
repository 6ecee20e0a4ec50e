// The image options dialog, the folder chooser and the viewer driven through
// their controls, on a settings file and picture folders of their own.
#include <gtest/gtest.h>

#include <cstdio>

#include <fstream>

#include "../core/temp_folder.h"
#include "bmp_file.h"
#include "core/data/settings_file.h"
#include "core/text/measures.h"
#include "fake_services.h"
#include "keyboard_and_names.h"
#include "win/common/com.h"
#include "win/options/image_options_dialog.h"
#include "win/options/image_options_dialog_ids.h"
#include "win/options/picture_folder_chooser.h"
#include "win/options/picture_folder_chooser_ids.h"
#include "win/options/picture_viewer.h"

namespace zor::win {
namespace {

using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using namespace zor::win::testing;

int CheckedOption(HWND dialog, int first, int count) {
  int found = -1;
  for (int i = 0; i < count; ++i) {
    if (Checked(dialog, first + i)) found = found == -1 ? i : -2;
  }
  return found;
}

int Rows(HWND dialog, int id) { return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), LB_GETCOUNT, 0, 0)); }
int Selected(HWND dialog, int id) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), LB_GETCURSEL, 0, 0));
}
std::wstring Caption(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

void DoubleClickRow(HWND dialog, int listId, int row) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

int RowOf(HWND dialog, int listId, const std::wstring& text) {
  HWND list = GetDlgItem(dialog, listId);
  return static_cast<int>(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str())));
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class ImageOptionsTest : public ::testing::Test {
 protected:
  ImageOptionsTest() {
    std::filesystem::create_directories(dir_ / "pics");
    std::filesystem::create_directories(dir_ / "empty");
    WriteBmp(dir_ / "pics" / "a.bmp", 40, 30);
    WriteBmp(dir_ / "pics" / "b.bmp", 20, 60);
    WriteBytes(dir_ / "pics" / "note.txt", "not a picture");
    WriteBytes(dir_ / "pics" / "broken.jpg", "\xFF\xD8\xFF\xE0 truncated");
  }
  std::wstring Folder(const char* name) const { return (dir_ / name).wstring(); }
  void WriteIni(const std::string& lines) {
    imageOptions_.reset();
    WriteBytes(SettingsFilePath(dir_.path()), "[ZORANTE]\r\n" + lines);
  }
  void WriteSources(const std::wstring& backgroundFolder, const std::wstring& backgroundSingleFile, int fileChosen,
                    const std::wstring& intervalFolder) {
    WriteIni("");
    ASSERT_TRUE(store_.Write(kSettingsSection, L"BgBMPDir", backgroundFolder).ok());
    ASSERT_TRUE(store_.Write(kSettingsSection, L"BgBMPBMP", backgroundSingleFile).ok());
    ASSERT_TRUE(store_.Write(kSettingsSection, L"BgBMPDorB", std::to_wstring(fileChosen)).ok());
    ASSERT_TRUE(store_.Write(kSettingsSection, L"ItBMPDir", intervalFolder).ok());
  }
  std::wstring Stored(const wchar_t* key) { return store_.Read(kSettingsSection, key).value_or(L"<none>"); }
  HWND OpenImageOptionsDialog() {
    imageOptions_ = std::make_unique<ImageOptionsDialog>(services_, store_, dir_.path());
    EXPECT_TRUE(imageOptions_->Open(nullptr));
    return imageOptions_->hwnd();
  }
  HWND OpenChooser(ChooserMode mode) {
    chooser_ = std::make_unique<PictureFolderChooser>(services_, store_, dir_.path(), mode);
    EXPECT_TRUE(chooser_->Open(nullptr));
    return chooser_->hwnd();
  }
  // The preview is read off the dialog's thread: its messages run until it is in.
  void WaitForPreview() {
    for (int i = 0; i < 500 && chooser_->Preview().Reading(); ++i) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  }

  TempFolder dir_;
  SettingsFileStore store_{SettingsFilePath(dir_.path())};
  FakeServices services_;
  std::unique_ptr<ImageOptionsDialog> imageOptions_;
  std::unique_ptr<PictureFolderChooser> chooser_;
};

TEST_F(ImageOptionsTest, OpensOnTheStoredChoicesOrTheNearestAndWritesThemBackHoweverItCloses) {
  for (const ClosingWay& c : kEveryWayOfClosing) {
    WriteIni("BgBMP=9\r\nItBMP=-3\r\nBgBMPStr=2\r\nItBMPStr=17\r\nBWbyFN=-1\r\n");
    HWND d = OpenImageOptionsDialog();
    EXPECT_EQ(CheckedOption(d, IDC_BACKGROUND_PLACEMENT, 5), 4) << c.how;
    EXPECT_EQ(CheckedOption(d, IDC_INTERVAL_MODE, 3), 0) << c.how;
    EXPECT_EQ(imageOptions_->Model().View().bgStretch, 2);
    EXPECT_EQ(imageOptions_->Model().View().itStretch, 3);
    EXPECT_TRUE(Checked(d, IDC_COLOUR_BY_FILE_NAME));
    c.close(d);
    Pump();
    EXPECT_TRUE(imageOptions_->Ended()) << c.how;
    EXPECT_EQ(Stored(L"BgBMP"), L"4") << c.how;
    EXPECT_EQ(Stored(L"ItBMP"), L"0") << c.how;
    EXPECT_EQ(Stored(L"BgBMPStr"), L"2") << c.how;
    EXPECT_EQ(Stored(L"ItBMPStr"), L"3") << c.how;
    EXPECT_EQ(Stored(L"BWbyFN"), L"-1") << c.how;
    EXPECT_TRUE(imageOptions_->Outcome().ok());
  }
}

TEST_F(ImageOptionsTest, OptionsPicturesAndTheBoxChangeWhatIsWritten) {
  WriteIni("BgBMPStr=1\r\n");
  HWND d = OpenImageOptionsDialog();
  Click(d, IDC_BACKGROUND_PLACEMENT + 2);
  Click(d, IDC_INTERVAL_MODE + 2);
  ClickStatic(d, IDC_BACKGROUND_STRETCH + 3);
  ClickStatic(d, IDC_BACKGROUND_STRETCH + 3);  // the current picture again stays framed
  ClickStatic(d, IDC_INTERVAL_STRETCH + 1);
  Click(d, IDC_COLOUR_BY_FILE_NAME);
  EXPECT_EQ(CheckedOption(d, IDC_BACKGROUND_PLACEMENT, 5), 2);
  EXPECT_EQ(imageOptions_->Model().View().bgStretch, 3);
  Click(d, IDOK);
  EXPECT_EQ(Stored(L"BgBMP"), L"2");
  EXPECT_EQ(Stored(L"ItBMP"), L"2");
  EXPECT_EQ(Stored(L"BgBMPStr"), L"3");
  EXPECT_EQ(Stored(L"ItBMPStr"), L"1");
  EXPECT_EQ(Stored(L"BWbyFN"), L"-1");
}

TEST_F(ImageOptionsTest, TheStretchPicturesAreChosenWithTheKeyboardAndNamedForScreenReaders) {
  ComScope com;
  WriteIni("BgBMPStr=1\r\nItBMPStr=0\r\n");
  HWND d = OpenImageOptionsDialog();
  ASSERT_EQ(FocusedId(), IDC_BACKGROUND_PLACEMENT);
  Press(d, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_BACKGROUND_STRETCH + 1) << "the chosen picture";
  Press(d, VK_END);
  Press(d, VK_SPACE);
  EXPECT_EQ(imageOptions_->Model().View().bgStretch, 3);
  Press(d, VK_TAB);
  EXPECT_EQ(FocusedId(), IDC_CHANGE_BACKGROUND_SOURCE);
  Press(d, VK_TAB);
  Press(d, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_INTERVAL_STRETCH + 0);
  Press(d, VK_LEFT);
  Press(d, VK_UP);
  EXPECT_EQ(FocusedId(), IDC_INTERVAL_STRETCH + 2);
  Press(d, VK_RETURN);
  EXPECT_EQ(imageOptions_->Model().View().itStretch, 2);
  EXPECT_FALSE(imageOptions_->Ended());

  const wchar_t* const names[] = {L"拡縮しない", L"全体が見えるように拡縮（縦横比を保持）",
                                  L"画面サイズに合わせて拡縮（縦横比を保持）", L"画面サイズに合わせて拡縮"};
  int pictures = 0;
  for (const Heard& h : HearFocusable(d)) {
    std::printf("  %d %s\n", h.id, Utf8(h.name).c_str());
    EXPECT_FALSE(h.name.empty()) << h.id;
    for (int first : {IDC_BACKGROUND_STRETCH, IDC_INTERVAL_STRETCH}) {
      const int i = h.id - first;
      if (i < 0 || i >= 4) continue;
      ++pictures;
      EXPECT_EQ(h.name, names[i]);
      EXPECT_EQ(h.role, ROLE_SYSTEM_RADIOBUTTON);
      const int chosen = first == IDC_BACKGROUND_STRETCH ? 3 : 2;
      EXPECT_EQ((h.state & STATE_SYSTEM_CHECKED) != 0, i == chosen) << h.id;
    }
  }
  EXPECT_EQ(pictures, 8);
  Press(d, VK_TAB);
  Press(d, VK_TAB);
  Press(d, VK_TAB);
  ASSERT_EQ(FocusedId(), IDOK);
  Press(d, VK_RETURN);
  EXPECT_TRUE(imageOptions_->Ended());
  EXPECT_EQ(Stored(L"BgBMPStr"), L"3");
  EXPECT_EQ(Stored(L"ItBMPStr"), L"2");
}

TEST_F(ImageOptionsTest, TheChooserOpenedFromChangeWritesAFileAndTheCaptionsFollow) {
  WriteSources(Folder("pics"), L"", 0, Folder("pics"));
  HWND d = OpenImageOptionsDialog();
  EXPECT_EQ(Text(d, IDC_BACKGROUND_SOURCE_CAPTION), L"参照フォルダ：");
  std::wstring chooserCaption;
  services_.onDialog = [&](Dialog& dialog) {
    HWND c = dialog.hwnd();
    chooserCaption = Caption(c);
    Click(c, IDC_CHOOSE_FILE);
    EXPECT_EQ(Caption(c), L"背景画像");
    SelectRow(c, IDC_FILE_LIST, RowOf(c, IDC_FILE_LIST, L"b.bmp"));
    Click(c, IDOK);
  };
  Click(d, IDC_CHANGE_BACKGROUND_SOURCE);
  EXPECT_EQ(chooserCaption, L"背景画像参照フォルダ");
  const std::wstring file = (dir_ / "pics" / "b.bmp").wstring();
  EXPECT_EQ(Stored(L"BgBMPDorB"), L"-1");
  EXPECT_EQ(Stored(L"BgBMPBMP"), file);
  EXPECT_EQ(Stored(L"BgBMPDir"), Folder("pics"));
  EXPECT_EQ(Text(d, IDC_BACKGROUND_SOURCE_CAPTION), L"参照画像ファイル：");
  EXPECT_EQ(Text(d, IDC_BACKGROUND_SOURCE), ShortenPath(file));

  // The interval folder: chosen in the empty folder first (refused), then in pics.
  services_.onDialog = [&](Dialog& dialog) {
    HWND c = dialog.hwnd();
    EXPECT_EQ(Caption(c), L"インターバル画像参照フォルダ");
    EXPECT_FALSE(Visible(c, IDC_CHOOSE_FILE));
    DoubleClickRow(c, IDC_FOLDER_LIST, 0);  // ".."
    DoubleClickRow(c, IDC_FOLDER_LIST, RowOf(c, IDC_FOLDER_LIST, L"empty"));
    Click(c, IDOK);
    EXPECT_FALSE(dialog.Ended());
    DoubleClickRow(c, IDC_FOLDER_LIST, 0);
    DoubleClickRow(c, IDC_FOLDER_LIST, RowOf(c, IDC_FOLDER_LIST, L"pics"));
    Click(c, IDOK);
    EXPECT_TRUE(dialog.Ended());
  };
  Click(d, IDC_CHANGE_INTERVAL_SOURCE);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0], kNoPicturesMessage);
  EXPECT_EQ(Text(d, IDC_INTERVAL_SOURCE), ShortenPath(Folder("pics")));
}

TEST_F(ImageOptionsTest, TheChooserStartsOnTheStoredFolderAndFile) {
  struct Case {
    std::wstring backgroundFolder, backgroundSingleFile;
    int fileChosen;
    std::wstring folder;  // where the lists start
    int selected;         // the file list's row
  };
  const std::wstring program = dir_.path().wstring();
  const Case cases[] = {
      {Folder("pics"), (dir_ / "pics" / "b.bmp").wstring() + L" ", -1, Folder("pics"), 1},
      {Folder("pics"), (dir_ / "pics" / "gone.bmp").wstring(), -1, Folder("pics"), -1},
      {Folder("pics"), (dir_ / "pics" / "B.BMP").wstring(), -1, Folder("pics"), -1},  // exact comparison
      {Folder("pics"), (dir_ / "pics" / "b.bmp").wstring(), 0, Folder("pics"), -1},
      {Folder("gone"), L"", 0, program, -1},
  };
  for (const Case& c : cases) {
    WriteSources(c.backgroundFolder, c.backgroundSingleFile, c.fileChosen, L"");
    HWND s = OpenChooser(ChooserMode::kBackground);
    EXPECT_EQ(chooser_->Folder(), c.folder) << c.backgroundSingleFile;
    EXPECT_EQ(Selected(s, IDC_FILE_LIST), c.selected) << c.backgroundSingleFile;
    EXPECT_EQ(Enabled(s, IDC_OPEN_VIEWER), c.selected >= 0) << c.backgroundSingleFile;
    EXPECT_EQ(Checked(s, IDC_CHOOSE_FILE), c.fileChosen == -1);
    WaitForPreview();
    EXPECT_EQ(chooser_->Preview().Empty(), c.selected < 0);
    if (c.folder == Folder("pics")) {
      EXPECT_EQ(chooser_->Files(), (std::vector<std::wstring>{L"a.bmp", L"b.bmp", L"broken.jpg"}));
    }
    Click(s, IDCANCEL);
  }
}

TEST_F(ImageOptionsTest, OkRefusesAMissingFileChoiceAnEmptyFolderAndAPathTheFileCannotHold) {
  // A folder whose name code page 932 has no form for.
  std::filesystem::create_directories(dir_ / L"\u0100pics");
  WriteBmp(dir_ / L"\u0100pics" / "c.bmp", 4, 4);
  WriteSources(Folder("empty"), L"", 0, L"");
  HWND s = OpenChooser(ChooserMode::kBackground);
  Click(s, IDOK);
  Click(s, IDC_CHOOSE_FILE);
  Click(s, IDOK);
  DoubleClickRow(s, IDC_FOLDER_LIST, 0);
  Click(s, IDOK);  // ticked, in a folder of no pictures
  Click(s, IDC_CHOOSE_FILE);
  DoubleClickRow(s, IDC_FOLDER_LIST, RowOf(s, IDC_FOLDER_LIST, L"\u0100pics"));
  EXPECT_EQ(chooser_->Files().size(), 1u);
  Click(s, IDOK);
  EXPECT_FALSE(chooser_->Ended());
  ASSERT_EQ(services_.messages.size(), 4u);
  EXPECT_EQ(services_.messages[0], kNoPicturesMessage);
  EXPECT_EQ(services_.messages[1], kChooseFileMessage);
  EXPECT_EQ(services_.messages[2], kChooseFileMessage);
  EXPECT_EQ(services_.messages[3].rfind(L"このパスには", 0), 0u);
  EXPECT_EQ(Stored(L"BgBMPDir"), Folder("empty")) << "nothing written";
  Click(s, IDCANCEL);
  EXPECT_TRUE(chooser_->Ended());
  EXPECT_FALSE(chooser_->Written());
}

TEST_F(ImageOptionsTest, ClearingTheBoxDropsTheSelectionAndAFolderKeepsTheOldFile) {
  const std::wstring old = (dir_ / "pics" / "a.bmp").wstring();
  WriteSources(Folder("pics"), old, -1, L"");
  HWND s = OpenChooser(ChooserMode::kBackground);
  EXPECT_EQ(Selected(s, IDC_FILE_LIST), 0);
  Click(s, IDC_CHOOSE_FILE);
  EXPECT_EQ(Caption(s), L"背景画像参照フォルダ");
  EXPECT_EQ(Selected(s, IDC_FILE_LIST), -1);
  EXPECT_FALSE(Enabled(s, IDC_OPEN_VIEWER));
  Click(s, IDC_OPEN_VIEWER);  // disabled: nothing happens
  Click(s, IDOK);
  EXPECT_TRUE(chooser_->Ended());
  EXPECT_EQ(Stored(L"BgBMPDorB"), L"0");
  EXPECT_EQ(Stored(L"BgBMPBMP"), old);
}

TEST_F(ImageOptionsTest, TheViewerShowsThePictureAndAnyKeyOrClickClosesIt) {
  struct Case {
    const char* how;
    UINT msg;
  };
  const Case cases[] = {{"key", WM_KEYDOWN}, {"character", WM_CHAR}, {"click", WM_LBUTTONDOWN},
                        {"right click", WM_RBUTTONDOWN}};
  for (const Case& c : cases) {
    WriteSources(Folder("pics"), L"", 0, L"");
    HWND s = OpenChooser(ChooserMode::kBackground);
    SelectRow(s, IDC_FILE_LIST, 1);
    ASSERT_TRUE(Enabled(s, IDC_OPEN_VIEWER));
    bool shown = false;
    services_.onDialog = [&](Dialog& dialog) {
      shown = true;
      RECT r{};
      GetClientRect(dialog.hwnd(), &r);
      EXPECT_EQ(r.right, 20);
      EXPECT_EQ(r.bottom, 60);
      EXPECT_EQ(Caption(dialog.hwnd()), L"ビューワー");
      SendMessageW(dialog.hwnd(), c.msg, 'A', 0);
      EXPECT_TRUE(dialog.Ended()) << c.how;
    };
    Click(s, IDC_OPEN_VIEWER);
    EXPECT_TRUE(shown) << c.how;
    Click(s, IDCANCEL);
  }
  // A broken picture: the warning, no viewer, the chooser carries on.
  WriteSources(Folder("pics"), L"", 0, L"");
  HWND s = OpenChooser(ChooserMode::kBackground);
  services_.onDialog = [](Dialog&) { ADD_FAILURE() << "no viewer for a broken picture"; };
  services_.messages.clear();
  SelectRow(s, IDC_FILE_LIST, 2);
  WaitForPreview();
  EXPECT_TRUE(chooser_->Preview().Empty());
  Click(s, IDC_OPEN_VIEWER);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_NE(services_.messages[0].find(L"broken.jpg"), std::wstring::npos);
  EXPECT_FALSE(chooser_->Ended());
}

TEST(FitWithin, LargePicturesAreScaledDownWithTheirAspectKept) {
  struct Case {
    PixelSize own, box, fit;
  };
  const Case cases[] = {
      {{40, 30}, {1024, 738}, {40, 30}},      {{1024, 738}, {1024, 738}, {1024, 738}},
      {{4000, 1000}, {1000, 700}, {1000, 250}}, {{1000, 4000}, {1000, 700}, {175, 700}},
      {{65000, 1}, {1000, 700}, {1000, 1}},   {{0, 10}, {100, 100}, {0, 0}},
  };
  for (const Case& c : cases) {
    const PixelSize fit = FitWithin(c.own, c.box);
    EXPECT_EQ(fit.width, c.fit.width) << c.own.width << "x" << c.own.height;
    EXPECT_EQ(fit.height, c.fit.height) << c.own.width << "x" << c.own.height;
  }
}

TEST_F(ImageOptionsTest, AFolderOfThousandsOfPicturesListsEveryOne) {
  std::filesystem::create_directories(dir_ / "many");
  for (int i = 0; i < 3000; ++i) {
    std::wstring name = std::to_wstring(i);
    name += L".jpg";
    std::ofstream(dir_ / "many" / name);
  }
  WriteSources(Folder("many"), L"", 0, L"");
  HWND s = OpenChooser(ChooserMode::kBackground);
  EXPECT_EQ(Rows(s, IDC_FILE_LIST), 3000);
  Click(s, IDOK);
  EXPECT_EQ(Stored(L"BgBMPDir"), Folder("many"));
}

}  // namespace
}  // namespace zor::win
