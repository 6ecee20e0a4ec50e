// The entry calls of the dialogs: each runs its dialog through the services
// (where the tests drive it) and gives back what the dialog did. The
// dialogs' ids headers reuse each other's names, so controls are found by
// class and text, as UI automation finds them.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../core/temp_folder.h"
#include "bmp_file.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/settings_dialog/message_entry.h"
#include "fake_services.h"
#include "win/options/display_options_dialog.h"
#include "win/options/font_chooser.h"
#include "win/options/font_date_options_dialog.h"
#include "win/options/image_options_dialog.h"
#include "win/options/import_option_dialog.h"
#include "win/options/picture_folder_chooser.h"
#include "win/options/picture_viewer.h"
#include "win/options/version_box.h"
#include "win/settings_dialog/file_command_dialogs.h"
#include "win/settings_dialog/line_format_dialog.h"
#include "win/settings_dialog/message_entry_dialog.h"

namespace zor::win {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using namespace zor::win::testing;

std::wstring Caption(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

// Messages posted to a dialog (the close box's IDCANCEL) are delivered.
void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

TEST(FileDialogFor, EachQuestionHasItsTitleFilterFlagsAndExtension) {
  const struct {
    FileQuestion question;
    bool save;
    const wchar_t* title;
    const wchar_t* firstFilter;
    DWORD flags;
    const wchar_t* extension;
  } cases[] = {
      {FileQuestion::kOpen, false, L"登録ファイルを開く", L"ZORANTE(*.zrd)",
       OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_LONGNAMES, L"zrd"},
      {FileQuestion::kNew, true, L"新規登録ファイル", L"ZORANTE(*.zrd)",
       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_LONGNAMES, L"zrd"},
      {FileQuestion::kRename, true, L"登録ファイル名の変更", L"ZORANTE(*.zrd)",
       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_LONGNAMES, L"zrd"},
      {FileQuestion::kImport, false, L"インポート", L"テキストファイル(*.txt)",
       OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_LONGNAMES, L""},
      {FileQuestion::kExport, true, L"エクスポート", L"テキスト Shift_JIS (*.txt)",
       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_LONGNAMES, L"txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.question));
    const FileDialogRequest r = FileDialogFor(c.question, L"C:\\a\\b.zrd");
    EXPECT_EQ(r.save, c.save);
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.filter.c_str(), std::wstring(c.firstFilter)) << "up to the first NUL";
    EXPECT_EQ(r.filter.substr(r.filter.size() - 2), std::wstring(2, L'\0'));
    EXPECT_EQ(r.flags, c.flags);
    EXPECT_EQ(r.defaultExtension, c.extension);
    EXPECT_EQ(r.initialName, L"C:\\a\\b.zrd");
  }
  std::wstring text;
  for (const wchar_t* part : {L"テキストファイル(*.txt)", L"*.txt", L"すべてのファイル(*.*)", L"*.*", L""}) {
    text += part;
    text += L'\0';
  }
  EXPECT_EQ(FileDialogFor(FileQuestion::kImport, L"").filter, text);
  EXPECT_EQ(FileDialogFor(FileQuestion::kOpen, L"").filter, std::wstring(L"ZORANTE(*.zrd)\0*.zrd\0\0", 22));
  std::wstring exportTypes;
  for (const wchar_t* part : {L"テキスト Shift_JIS (*.txt)", L"*.txt", L"テキスト UTF-8 (*.txt)", L"*.txt", L""}) {
    exportTypes += part;
    exportTypes += L'\0';
  }
  EXPECT_EQ(FileDialogFor(FileQuestion::kExport, L"").filter, exportTypes);
  EXPECT_EQ(FileDialogFor(FileQuestion::kExport, L"").fileType, 1u) << "Shift_JIS first, as before";
}

TEST(FileCommandDialogs, NoticesBecomeMessageBoxesAndAnswersComeBack) {
  FakeServices services;
  int shown = 0;
  FileCommandDialogs dialogs(services, [&] { ++shown; });
  services.onFile = [](const FileDialogRequest&) { return FileDialogAnswer{true, L"C:\\x.zrd", 7, 2}; };
  const FileAnswer a = dialogs.AskFile(FileQuestion::kNew, L"C:\\無題1.zrd");
  EXPECT_TRUE(a.chosen);
  EXPECT_EQ(a.path, L"C:\\x.zrd");
  EXPECT_EQ(a.error, 7u);
  EXPECT_EQ(a.fileType, 2) << "the export's encoding comes back";
  ASSERT_EQ(services.fileRequests.size(), 1u);
  EXPECT_EQ(services.fileRequests[0].title, L"新規登録ファイル");
  EXPECT_EQ(services.fileRequests[0].initialName, L"C:\\無題1.zrd");
  dialogs.Tell(Notice::kWarning, L"w");
  dialogs.Tell(Notice::kDialogFailure, L"f");
  dialogs.Tell(Notice::kExported, L"e");
  dialogs.Tell(Notice::kImported, L"i");
  EXPECT_EQ(services.messages, (std::vector<std::wstring>{L"w", L"f", L"e", L"i"}));
  dialogs.Busy(true);
  dialogs.Busy(false);
  dialogs.ShowEditor();
  EXPECT_EQ(shown, 1);
}

class EntryCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
    ASSERT_TRUE(AddMessage(file_, L"一行目です").ok());
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
  }
  std::wstring Stored(const wchar_t* key) const { return store_.Read(kSettingsSection, key).value_or(L"<none>"); }

  TempFolder dir_;
  std::filesystem::path file_ = dir_ / L"設定.zrd";
  ListEditor editor_;
  FakeServices services_;
  SettingsFileStore store_{SettingsFilePath(dir_.path())};
  std::vector<std::wstring> captions_;
};

TEST_F(EntryCallsTest, RunMessageEntryAddsOrCorrectsAndGivesTheWritesOutcome) {
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    SetWindowTextW(FindWindowExW(d.hwnd(), nullptr, L"Edit", nullptr), L"二行目です");
    Click(d.hwnd(), IDOK);
  };
  EXPECT_TRUE(RunMessageEntry(services_, nullptr, editor_, -1).ok());
  editor_.Select(0);
  EXPECT_TRUE(RunMessageEntry(services_, nullptr, editor_, 0).ok());
  EXPECT_EQ(captions_, (std::vector<std::wstring>{std::wstring(kAddCaption), std::wstring(kCorrectCaption)}));
  EXPECT_EQ(ReadMessages(file_).value(), (std::vector<std::wstring>{L"二行目です", L"二行目です"}));

  // The file changed behind the list: the write is refused and says so.
  ASSERT_TRUE(AddMessage(file_, L"三行目").ok());
  const Status refused = RunMessageEntry(services_, nullptr, editor_, -1);
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.message(), kStaleFileMessage);
}

TEST_F(EntryCallsTest, RunLineFormatWritesOnOkAndNothingOnCancel) {
  editor_.Select(0);
  const Message message = editor_.SelectedMessage().value();
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    Click(d.hwnd(), IDCANCEL);
  };
  const std::string before = ReadBytes(file_);
  EXPECT_TRUE(RunLineFormat(services_, nullptr, editor_, message).ok());
  EXPECT_EQ(ReadBytes(file_), before);
  services_.onDialog = [&](Dialog& d) { Click(d.hwnd(), IDOK); };
  EXPECT_TRUE(RunLineFormat(services_, nullptr, editor_, message).ok());
  EXPECT_EQ(ReadMessage(file_, 1).value().format.fold, ' ');
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"書式設定"}));
}

TEST_F(EntryCallsTest, RunDisplayOptionsIsCaptionedWithTheFileAndGivesTheWritesOutcome) {
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    Click(d.hwnd(), IDOK);
  };
  EXPECT_TRUE(RunDisplayOptions(services_, nullptr, editor_).ok());
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"設定.zrd のオプション"}));
  ASSERT_TRUE(AddMessage(file_, L"二行目").ok());
  const Status refused = RunDisplayOptions(services_, nullptr, editor_);
  EXPECT_EQ(refused.message(), kStaleFileMessage);
}

TEST_F(EntryCallsTest, RunImportOptionGivesTheValueInUse) {
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    SendMessageW(FindWindowExW(d.hwnd(), nullptr, L"Button", L"登録行数を100に制限(&L)"), BM_CLICK, 0, 0);
    Click(d.hwnd(), IDOK);
  };
  EXPECT_EQ(RunImportOption(services_, nullptr, store_, -1), 0);
  EXPECT_EQ(Stored(L"ImportLimit"), L"0");
  EXPECT_EQ(RunImportOption(services_, nullptr, store_, 0), -1);
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"インポート", L"インポート"}));

  MemoryProfileStore broken;
  broken.failWrites = true;
  EXPECT_EQ(RunImportOption(services_, nullptr, broken, -1), -1) << "the old value stays";
  EXPECT_EQ(services_.messages.size(), 1u);
}

TEST_F(EntryCallsTest, RunFontDateOptionsAndRunImageOptionsGiveTheValuesInUse) {
  WriteBytes(SettingsFilePath(dir_.path()), "[ZORANTE]\r\nUseFont=IPAMincho\r\nDecoFont=2\r\nBgBMP=2\r\n");
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    SendMessageW(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
  };
  const FontDateSettings font = RunFontDateOptions(services_, nullptr, store_);
  EXPECT_EQ(font.typeFace, L"IPAMincho");
  EXPECT_EQ(font.decorationStyle, 2);
  const Settings images = RunImageOptions(services_, nullptr, store_, dir_.path());
  EXPECT_EQ(images.backgroundMode, 2);
  EXPECT_EQ(Stored(L"BgBMP"), L"2");
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"使用フォント／日付・時刻", L"背景・インターバルＢＭＰ"}));
  EXPECT_TRUE(services_.messages.empty());
}

TEST_F(EntryCallsTest, RunPictureFolderChooserGivesWhatOkWrote) {
  std::filesystem::create_directories(dir_ / "pics");
  WriteBmp(dir_ / "pics" / "a.bmp", 8, 6);
  ASSERT_TRUE(store_.Write(kSettingsSection, L"ItBMPDir", (dir_ / "pics").wstring()).ok());
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    Click(d.hwnd(), IDCANCEL);
  };
  EXPECT_FALSE(RunPictureFolderChooser(services_, nullptr, store_, dir_.path(), ChooserMode::kInterval));
  services_.onDialog = [&](Dialog& d) { Click(d.hwnd(), IDOK); };
  const std::optional<PictureSources> written =
      RunPictureFolderChooser(services_, nullptr, store_, dir_.path(), ChooserMode::kInterval);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->intervalFolder, (dir_ / "pics").wstring());
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"インターバル画像参照フォルダ"}));
}

TEST_F(EntryCallsTest, ShowPictureViewerShowsAPictureOrSaysWhyNot) {
  WriteBmp(dir_ / "a.bmp", 8, 6);
  WriteBytes(dir_ / "broken.jpg", "\xFF\xD8\xFF\xE0 truncated");
  services_.onDialog = [&](Dialog& d) { captions_.push_back(Caption(d.hwnd())); };
  EXPECT_EQ(ShowPictureViewer(services_, nullptr, dir_ / "a.bmp"), PictureLoad::kLoaded);
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"ビューワー"}));
  EXPECT_TRUE(services_.messages.empty());
  const PictureLoad broken = ShowPictureViewer(services_, nullptr, dir_ / "broken.jpg");
  EXPECT_NE(broken, PictureLoad::kLoaded);
  EXPECT_EQ(captions_.size(), 1u) << "no viewer for a broken picture";
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0], PictureLoadMessage(broken, dir_ / "broken.jpg"));
}

TEST_F(EntryCallsTest, RunFontChooserGivesTheFaceWritten) {
  services_.onDialog = [&](Dialog& d) { Click(d.hwnd(), IDCANCEL); };
  EXPECT_FALSE(RunFontChooser(services_, nullptr, store_));
  services_.onDialog = [&](Dialog& d) {
    HWND list = FindWindowExW(d.hwnd(), nullptr, L"ListBox", nullptr);
    const auto row =
        SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"IPAMincho"));
    ASSERT_GE(row, 0);
    SelectRow(d.hwnd(), GetDlgCtrlID(list), static_cast<int>(row));
    Click(d.hwnd(), IDOK);
  };
  EXPECT_EQ(RunFontChooser(services_, nullptr, store_), L"IPAMincho");
  EXPECT_EQ(Stored(L"UseFont"), L"IPAMincho");
}

TEST_F(EntryCallsTest, ShowVersionBoxRunsTheBox) {
  services_.onDialog = [&](Dialog& d) {
    captions_.push_back(Caption(d.hwnd()));
    Click(d.hwnd(), IDOK);
    EXPECT_TRUE(d.Ended());
  };
  ShowVersionBox(services_, nullptr);
  EXPECT_EQ(captions_, (std::vector<std::wstring>{L"バージョン情報"}));
}

}  // namespace
}  // namespace zor::win
