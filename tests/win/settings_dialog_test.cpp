#include "win/settings_dialog/settings_dialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <utility>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings_file.h"
#include "core/text/measures.h"
#include "fake_services.h"
#include "keyboard_and_names.h"
#include "win/common/com.h"
#include "win/settings_dialog/settings_caption.h"
#include "win/settings_dialog/settings_dialog_ids.h"

namespace zor::win {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using namespace zor::win::testing;

// The entry form's text box, found as UI automation finds it.
HWND EntryBox(const Dialog& d) { return FindWindowExW(d.hwnd(), nullptr, L"Edit", nullptr); }
void TypeInto(HWND edit, const std::wstring& text) { SetWindowTextW(edit, text.c_str()); }
std::wstring TextOf(HWND w) {
  wchar_t buffer[300] = {};
  GetWindowTextW(w, buffer, 300);
  return buffer;
}

std::vector<std::wstring> Messages(const std::filesystem::path& file) {
  Result<std::vector<std::wstring>> texts = ReadMessages(file);
  return texts.ok() ? texts.value() : std::vector<std::wstring>{L"<unreadable>"};
}

bool MenuEnabled(HWND w, int id) { return (GetMenuState(GetMenu(w), static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) == 0; }

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_ / L"三件.zrd";
    ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
    for (const wchar_t* t : {L"一行目です", L"二行目です", L"三行目です"}) ASSERT_TRUE(AddMessage(file_, t).ok());
    WriteIni(PathText(file_));
  }
  void TearDown() override { form_.reset(); }

  void WriteIni(const std::wstring& registrationFile) {
    SettingsFileStore store(SettingsFilePath(dir_.path()));
    ASSERT_TRUE(WriteSetting(store, L"LoadFileName", registrationFile).ok());
    ASSERT_TRUE(WriteSetting(store, L"UseFont", L"IPAMincho").ok());
  }
  HWND Open() {
    form_ = std::make_unique<SettingsDialog>(services_, dir_.path());
    EXPECT_TRUE(form_->Open(nullptr));
    return form_->hwnd();
  }
  std::wstring Row(int r) {
    HWND list = GetDlgItem(form_->hwnd(), IDC_MESSAGE_LIST);
    wchar_t buffer[300] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }
  // A key pressed while window has the focus, through the dialog's own message loop.
  void Press(HWND window, WPARAM key, bool control = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{window, WM_KEYDOWN, key, 1, 0, {}};
    form_->ProcessMessage(msg);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  HWND List() { return GetDlgItem(form_->hwnd(), IDC_MESSAGE_LIST); }
  int Rows() { return static_cast<int>(SendDlgItemMessageW(form_->hwnd(), IDC_MESSAGE_LIST, LB_GETCOUNT, 0, 0)); }
  int Selected() { return static_cast<int>(SendDlgItemMessageW(form_->hwnd(), IDC_MESSAGE_LIST, LB_GETCURSEL, 0, 0)); }

  TempFolder dir_;
  std::filesystem::path file_;
  FakeServices services_;
  std::unique_ptr<SettingsDialog> form_;
};

constexpr int kRowButtons[] = {IDC_DELETE, IDC_CORRECT, IDC_FORMAT, IDC_MOVE_UP,
                               IDC_MOVE_DOWN, IDC_MOVE_UP_TEN, IDC_MOVE_DOWN_TEN};

TEST_F(SettingsDialogTest, StatesFollowTheFileAndTheSelection) {
  HWND w = Open();
  wchar_t caption[100] = {};
  GetWindowTextW(w, caption, 100);
  EXPECT_STREQ(caption, L"" ZOR_SETTINGS_CAPTION);
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Trim(Row(1)), L"二行目です");
  EXPECT_EQ(Text(w, IDC_MESSAGE_COUNT), L"3");
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"三件.zrd");
  EXPECT_TRUE(Enabled(w, IDC_ADD));
  for (int id : kRowButtons) EXPECT_FALSE(Enabled(w, id)) << id;
  EXPECT_FALSE(Visible(w, IDC_THUMBNAIL));
  // A disabled button does nothing when clicked.
  Click(w, IDC_DELETE);
  EXPECT_EQ(Messages(file_).size(), 3u);

  SelectRow(w, IDC_MESSAGE_LIST, 2);
  for (int id : kRowButtons) EXPECT_TRUE(Enabled(w, id)) << id;
  EXPECT_EQ(Trim(Text(w, IDC_SELECTED_TEXT)), L"三行目です");
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Visible(w, IDC_THUMBNAIL + i)) << i;
  EXPECT_TRUE(Visible(w, IDC_THUMBNAIL_CAPTION));
  form_->FlushThumbnails();
  for (int i = 0; i < 6; ++i) EXPECT_NE(form_->Thumbnail(i), nullptr) << i;

  // The menu bar: Edit after File, Help at the right end, later commands shown.
  HMENU menu = GetMenu(w);
  ASSERT_EQ(GetMenuItemCount(menu), 5);
  wchar_t title[40] = {};
  GetMenuStringW(menu, 1, title, 40, MF_BYPOSITION);
  EXPECT_STREQ(title, L"編集(&E)");
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(menu, 4, TRUE, &mi));
  EXPECT_TRUE(mi.fType & MFT_RIGHTJUSTIFY);
}

TEST_F(SettingsDialogTest, AddCorrectAndDeleteWriteTheFile) {
  HWND w = Open();
  services_.onDialog = [&](Dialog& d) {
    TypeInto(EntryBox(d), std::wstring(33, L'あ'));
    EXPECT_FALSE(Enabled(d.hwnd(), IDOK)) << "33 full-width characters";
    SendMessageW(d.hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(d.Ended()) << "OK is refused while the rule fails";
    TypeInto(EntryBox(d), L"四行目 four");
    EXPECT_TRUE(Enabled(d.hwnd(), IDOK));
    Click(d.hwnd(), IDOK);
  };
  Click(w, IDC_ADD);
  EXPECT_EQ(Messages(file_), (std::vector<std::wstring>{L"一行目です", L"二行目です", L"三行目です", L"四行目 four"}));
  EXPECT_EQ(Rows(), 4);
  EXPECT_EQ(Selected(), 3) << "the new last row is selected";
  EXPECT_EQ(Text(w, IDC_MESSAGE_COUNT), L"4");

  // A correction starts from the row's text and resets its format.
  MessageFormat f;
  f.SetMarked(1, true);
  f.SetLayout(FixedLayout::kB);
  ASSERT_TRUE(WriteMessageFormat(file_, 2, f).ok());
  // The file changed behind the list: the next edit is refused and the list read again.
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  services_.onDialog = [&](Dialog& d) {
    EXPECT_EQ(TextOf(d.hwnd()), L"文章の訂正");
    EXPECT_EQ(TextOf(EntryBox(d)), L"二行目です");
    TypeInto(EntryBox(d), L"二行目を直した");
    Click(d.hwnd(), IDOK);
  };
  Click(w, IDC_CORRECT);
  ASSERT_EQ(services_.messages.size(), 1u) << "stale list refused";
  EXPECT_EQ(Messages(file_)[1], L"二行目です");
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  Click(w, IDC_CORRECT);
  EXPECT_EQ(Messages(file_)[1], L"二行目を直した");
  EXPECT_EQ(ReadMessage(file_, 2).value().format, MessageFormat());
  EXPECT_EQ(Selected(), 1);

  Click(w, IDC_DELETE);
  EXPECT_EQ(Messages(file_), (std::vector<std::wstring>{L"一行目です", L"三行目です", L"四行目 four"}));
  EXPECT_EQ(Selected(), -1);
  EXPECT_EQ(Text(w, IDC_SELECTED_TEXT), L"");
  EXPECT_FALSE(Enabled(w, IDC_SELECTED_TEXT));
  EXPECT_FALSE(Visible(w, IDC_THUMBNAIL));
  EXPECT_EQ(ReadBytes(file_).size(), kHeaderSize + 3 * kRecordSize);
}

TEST_F(SettingsDialogTest, MovesAndTheDragRewriteTheOrder) {
  for (int i = 4; i <= 12; ++i) ASSERT_TRUE(AddMessage(file_, L"M" + std::to_wstring(i)).ok());
  HWND w = Open();
  const auto order = [&] {
    std::wstring s;
    for (const std::wstring& t : Messages(file_)) s += (t.size() < 4 ? t : t.substr(0, 1)) + L" ";
    return s;
  };
  EXPECT_EQ(order(), L"一 二 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 ");
  SelectRow(w, IDC_MESSAGE_LIST, 0);
  const std::string before = ReadBytes(file_);
  Click(w, IDC_MOVE_UP);  // UP on the first row
  EXPECT_EQ(ReadBytes(file_), before);
  Click(w, IDC_MOVE_DOWN);
  EXPECT_EQ(order(), L"二 一 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 ");
  EXPECT_EQ(Selected(), 1);
  Click(w, IDC_MOVE_DOWN_TEN);  // down ten from row 1
  EXPECT_EQ(order(), L"二 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 一 ");
  EXPECT_EQ(Selected(), 11);
  SelectRow(w, IDC_MESSAGE_LIST, 3);
  Click(w, IDC_MOVE_UP_TEN);  // up ten from row 3 goes to row 0
  EXPECT_EQ(order(), L"M5 二 三 M4 M6 M7 M8 M9 M10 M11 M12 一 ");
  form_->DragRows(2, 7);
  EXPECT_EQ(order(), L"M5 二 M4 M6 M7 M8 M9 三 M10 M11 M12 一 ");
  EXPECT_EQ(Selected(), 7);
}

TEST_F(SettingsDialogTest, TheListsKeysAreTheRowButtonsAndEnterOrEscDoNotEndTheDialog) {
  for (int i = 4; i <= 12; ++i) ASSERT_TRUE(AddMessage(file_, L"M" + std::to_wstring(i)).ok());
  HWND w = Open();
  const auto order = [&] {
    std::wstring s;
    for (const std::wstring& t : Messages(file_)) s += (t.size() < 4 ? t : t.substr(0, 1)) + L" ";
    return s;
  };
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  Press(List(), VK_DOWN, true);
  Press(List(), VK_NEXT, true);
  EXPECT_EQ(order(), L"一 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 二 ");
  Press(List(), VK_PRIOR, true);
  Press(List(), VK_UP, true);
  EXPECT_EQ(order(), L"二 一 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 ");
  Press(List(), VK_DOWN);
  EXPECT_EQ(Selected(), 1) << "without Ctrl the arrow only moves the selection";
  EXPECT_EQ(order(), L"二 一 三 M4 M5 M6 M7 M8 M9 M10 M11 M12 ");
  SelectRow(w, IDC_MESSAGE_LIST, 2);
  Press(List(), VK_DELETE);
  EXPECT_EQ(order(), L"二 一 M4 M5 M6 M7 M8 M9 M10 M11 M12 ");

  std::vector<std::wstring> captions;
  services_.onDialog = [&](Dialog& d) { captions.push_back(TextOf(d.hwnd())); };
  Press(List(), VK_INSERT);
  SelectRow(w, IDC_MESSAGE_LIST, 0);
  Press(List(), VK_RETURN);
  SendMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(List()));
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"文章の追加登録", L"文章の訂正", L"文章の訂正"}));
  Press(List(), VK_ESCAPE);
  EXPECT_FALSE(form_->Ended());
  // Away from the list Esc still closes the dialog.
  Press(GetDlgItem(w, IDC_CLOSE), VK_ESCAPE);
  EXPECT_TRUE(form_->Ended());
}

TEST_F(SettingsDialogTest, UndoAndRedoFromTheMenuAndTheKeys) {
  HWND w = Open();
  EXPECT_FALSE(MenuEnabled(w, IDM_EDIT_UNDO));
  const std::string before = ReadBytes(file_);
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  Click(w, IDC_DELETE);
  const std::string after = ReadBytes(file_);
  EXPECT_TRUE(MenuEnabled(w, IDM_EDIT_UNDO));
  EXPECT_FALSE(MenuEnabled(w, IDM_EDIT_REDO));
  Press(List(), 'Z', true);
  EXPECT_EQ(ReadBytes(file_), before);
  EXPECT_EQ(Selected(), 1);
  EXPECT_TRUE(Enabled(w, IDC_DELETE));
  EXPECT_TRUE(MenuEnabled(w, IDM_EDIT_REDO));
  Press(List(), 'Y', true);
  EXPECT_EQ(ReadBytes(file_), after);
  SendMessageW(w, WM_COMMAND, IDM_EDIT_UNDO, 0);
  EXPECT_EQ(ReadBytes(file_), before);
  // The row's mirror keeps its own Ctrl+Z and Ctrl+Y.
  EnableWindow(GetDlgItem(w, IDC_SELECTED_TEXT), TRUE);
  Press(GetDlgItem(w, IDC_SELECTED_TEXT), 'Y', true);
  EXPECT_EQ(ReadBytes(file_), before);
}

TEST_F(SettingsDialogTest, FormatOkWritesTheDialogsBytesAndCancelNothing) {
  HWND w = Open();
  SelectRow(w, IDC_MESSAGE_LIST, 0);
  std::wstring caption;
  services_.onDialog = [&](Dialog& d) {
    caption = TextOf(d.hwnd());
    Click(d.hwnd(), IDCANCEL);
  };
  const std::string before = ReadBytes(file_);
  Click(w, IDC_FORMAT);
  EXPECT_EQ(caption, L"書式設定");
  EXPECT_EQ(ReadBytes(file_), before);
  services_.onDialog = [&](Dialog& d) { Click(d.hwnd(), IDOK); };
  Click(w, IDC_FORMAT);
  const MessageFormat f = ReadMessage(file_, 1).value().format;
  EXPECT_EQ(f.fold, ' ');
  EXPECT_EQ(f.kind, '\0') << "an automatic fold is written with a 0x00 kind";
  EXPECT_EQ(Selected(), 0);
}

TEST_F(SettingsDialogTest, ThumbnailsStartTheTestDisplayOnlyWithARow) {
  MessageFormat f;
  f.SetLayout(FixedLayout::kA);
  f.SetEmphasis(EmphasisMode::kMarked);
  ASSERT_TRUE(WriteMessageFormat(file_, 2, f).ok());
  HWND w = Open();
  form_->ThumbnailClicked(3, false);
  EXPECT_TRUE(services_.testDisplays.empty());
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  form_->ThumbnailClicked(3, true);
  ASSERT_EQ(services_.testDisplays.size(), 1u);
  const TestDisplayRequest& r = services_.testDisplays[0];
  EXPECT_EQ(r.text, L"二行目です");
  EXPECT_EQ(r.layout, 3);
  EXPECT_TRUE(r.hideCredit);
  EXPECT_EQ(r.format.emphasisMode, 'R');
  EXPECT_EQ(r.format.fixedLayout, ' ') << "the thumbnail chooses the layout";
  EXPECT_TRUE(IsWindow(w)) << "the dialog stays";
}

TEST_F(SettingsDialogTest, ThumbnailsAreReachedAndClickedWithTheKeyboard) {
  HWND w = Open();
  // The fixture's Press is the list's, with Control; this one holds Shift.
  const auto press = [w](UINT key, bool shift = false) { zor::win::testing::Press(w, key, shift); };
  ASSERT_EQ(FocusedId(), IDC_MESSAGE_LIST);
  SelectRow(w, IDC_MESSAGE_LIST, 1);
  for (int i = 0; i < 20 && FocusedId() != IDC_THUMBNAIL; ++i) press(VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_THUMBNAIL) << "the thumbnails are a tab stop";
  press(VK_SPACE);
  press(VK_LEFT);
  EXPECT_EQ(FocusedId(), IDC_THUMBNAIL + 5);
  press(VK_SPACE, true);
  press(VK_RIGHT);
  press(VK_RIGHT);
  press(VK_RETURN);
  ASSERT_EQ(services_.testDisplays.size(), 3u);
  const std::pair<int, bool> asked[] = {{0, false}, {5, true}, {1, false}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(services_.testDisplays[i].text, L"二行目です");
    EXPECT_EQ(services_.testDisplays[i].layout, asked[i].first) << i;
    EXPECT_EQ(services_.testDisplays[i].hideCredit, asked[i].second) << i;
  }
  EXPECT_FALSE(form_->Ended()) << "Enter on a thumbnail is its click, not OK";
}

TEST_F(SettingsDialogTest, ScreenReadersHearTheListTheBlankButtonsAndTheThumbnails) {
  ComScope com;
  HWND w = Open();
  SelectRow(w, IDC_MESSAGE_LIST, 0);
  std::map<int, Heard> heard;
  for (const Heard& h : HearFocusable(w)) {
    std::printf("  %d %s\n", h.id, Utf8(h.name).c_str());
    EXPECT_FALSE(h.name.empty()) << h.id;
    heard[h.id] = h;
  }
  EXPECT_EQ(heard[IDC_MESSAGE_LIST].name, L"登録文章");
  EXPECT_EQ(heard[IDC_MOVE_UP_TEN].name, L"10 件上へ");
  EXPECT_EQ(heard[IDC_MOVE_DOWN_TEN].name, L"10 件下へ");
  EXPECT_EQ(Text(w, IDC_MOVE_UP_TEN), L"") << "the buttons still show no text";
  EXPECT_EQ(heard[IDC_THUMBNAIL + 0].name, L"右上にL字レイアウト（背景黒）");
  EXPECT_EQ(heard[IDC_THUMBNAIL + 5].name, L"中央にレイアウト（背景白）");
  EXPECT_EQ(heard[IDC_THUMBNAIL + 5].role, ROLE_SYSTEM_PUSHBUTTON);
}

// Catches a tip dropped from a control or worded apart from it: the row
// buttons say what they do, a thumbnail says the layout its caption names.
TEST_F(SettingsDialogTest, TheRowButtonsAndTheThumbnailsCarryTheirTips) {
  HWND w = Open();
  HWND tips = form_->TooltipWindow();
  ASSERT_TRUE(tips);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 14);
  const std::pair<int, std::wstring> expected[] = {
      {IDC_ADD, L"文章の追加"},
      {IDC_MOVE_UP, L"文章を上に１移動"},
      {IDC_MOVE_DOWN_TEN, L"文章を下に10移動"},
      {IDC_THUMBNAIL + 0, L"右上にL字レイアウト（背景黒）"},
      {IDC_THUMBNAIL + 3, L"左下にL字レイアウト（背景白）"},
      {IDC_THUMBNAIL + 5, L"中央にレイアウト（背景白）"},
  };
  for (const auto& [id, tip] : expected) EXPECT_EQ(TipOf(tips, w, GetDlgItem(w, id)), tip) << id;
}

TEST_F(SettingsDialogTest, MissingFileOffersTheOpenDialogAndCancelLeavesNoFile) {
  WriteIni(PathText(dir_ / L"ない.zrd"));
  HWND w = Open();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_NE(services_.messages[0].find(L"ない.zrd が見つかりません。"), std::wstring::npos);
  ASSERT_EQ(services_.fileRequests.size(), 1u);
  EXPECT_EQ(services_.fileRequests[0].title, L"登録ファイルを開く");
  EXPECT_EQ(services_.fileRequests[0].initialName, L"");
  EXPECT_EQ(Text(w, IDC_MESSAGE_COUNT), L"0");
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"(登録ファイルを新規作成してください)");
  EXPECT_FALSE(Enabled(w, IDC_ADD));
  EXPECT_TRUE(Enabled(w, IDC_CLOSE));
  SettingsFileStore store(SettingsFilePath(dir_.path()));
  EXPECT_EQ(store.Read(kSettingsSection, L"LoadFileName"), L"");
}

TEST_F(SettingsDialogTest, OpenCreatesAMissingFileAndRefusesAForeignOne) {
  const auto created = dir_ / L"新しい.zrd";
  WriteIni(PathText(dir_ / L"ない.zrd"));
  services_.onFile = [&](const FileDialogRequest&) { return FileDialogAnswer{true, PathText(created), 0}; };
  HWND w = Open();
  EXPECT_EQ(ReadBytes(created).size(), kHeaderSize);
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"新しい.zrd");
  EXPECT_TRUE(Enabled(w, IDC_ADD));

  const auto foreign = dir_ / L"foreign.zrd";
  WriteBytes(foreign, std::string("\x62\x00", 2) + std::string(62, 'x'));  // version 98, no magic
  services_.onFile = [&](const FileDialogRequest&) { return FileDialogAnswer{true, PathText(foreign), 0}; };
  SendMessageW(w, WM_COMMAND, IDM_OPEN_FILE, 0);
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_NE(services_.messages[1].find(L"は ZORANTE の登録データではありません。"), std::wstring::npos);
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"新しい.zrd") << "the file in use stays";
}

TEST_F(SettingsDialogTest, AForeignFileAtLoadLeavesNoFile) {
  WriteBytes(file_, std::string(40, '\0'));
  HWND w = Open();
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_NE(services_.messages[0].find(L"は ZORANTE の登録ファイルではありません。"), std::wstring::npos);
  EXPECT_EQ(Rows(), 0);
  EXPECT_FALSE(Enabled(w, IDC_ADD));
  EXPECT_TRUE(services_.fileRequests.empty()) << "a refused file is not followed by the open dialog";
}

TEST_F(SettingsDialogTest, NewRenameImportAndExport) {
  HWND w = Open();
  SettingsFileStore store(SettingsFilePath(dir_.path()));
  const auto answer = [&](std::wstring path, bool chosen = true, DWORD error = 0) {
    services_.onFile = [=](const FileDialogRequest&) { return FileDialogAnswer{chosen, path, error}; };
  };
  // New: the first free untitled name is offered; a cancel changes nothing.
  answer(L"", false);
  SendMessageW(w, WM_COMMAND, IDM_NEW_FILE, 0);
  EXPECT_EQ(services_.fileRequests.back().initialName, PathText(dir_ / L"無題1.zrd"));
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"三件.zrd");
  answer(L"", false, 0x3003);
  SendMessageW(w, WM_COMMAND, IDM_NEW_FILE, 0);
  EXPECT_EQ(services_.messages.back(), L"コモンダイアログエラー 12291");
  answer(PathText(dir_ / L"新規.zrd"));
  SendMessageW(w, WM_COMMAND, IDM_NEW_FILE, 0);
  EXPECT_EQ(ReadBytes(dir_ / L"新規.zrd").size(), kHeaderSize);
  EXPECT_EQ(Text(w, IDC_MESSAGE_COUNT), L"0");
  EXPECT_EQ(store.Read(kSettingsSection, L"LoadFileName"), PathText(dir_ / L"新規.zrd"));

  // A name the settings file cannot hold is refused; the file in use stays.
  const std::size_t said = services_.messages.size();
  answer(PathText(dir_ / L"\u00e9t\u00e9\u0101.zrd"));
  SendMessageW(w, WM_COMMAND, IDM_NEW_FILE, 0);
  EXPECT_EQ(services_.messages.size(), said + 1);
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"新規.zrd");

  // Rename onto the three-message file replaces it; a case-only change does nothing.
  answer(PathText(dir_ / L"新規.ZRD"));
  SendMessageW(w, WM_COMMAND, IDM_RENAME_FILE, 0);
  EXPECT_TRUE(FileExists(dir_ / L"新規.zrd"));
  answer(PathText(file_));
  SendMessageW(w, WM_COMMAND, IDM_RENAME_FILE, 0);
  EXPECT_FALSE(FileExists(dir_ / L"新規.zrd"));
  EXPECT_EQ(ReadBytes(file_).size(), kHeaderSize) << "the renamed empty file replaced the old one";
  EXPECT_EQ(store.Read(kSettingsSection, L"LoadFileName"), PathText(file_));

  // Import: 150 lines give 100 messages with the limit on; the new file is in use.
  std::string lines;
  for (int i = 0; i < 150; ++i) lines += "line " + std::to_string(i) + "\r\n";
  WriteBytes(dir_ / L"memo.txt", lines);
  answer(PathText(dir_ / L"memo.txt"));
  SendMessageW(w, WM_COMMAND, IDM_IMPORT, 0);
  EXPECT_EQ(Messages(dir_ / L"memo.zrd").size(), 100u);
  EXPECT_EQ(Text(w, IDC_FILE_NAME), L"memo.zrd");
  EXPECT_EQ(Rows(), 100);

  // Export: the suggested name, the finished box, every line written.
  answer(PathText(dir_ / L"out.txt"));
  SendMessageW(w, WM_COMMAND, IDM_EXPORT, 0);
  EXPECT_EQ(services_.fileRequests.back().initialName, PathText(dir_ / L"memo.txt"));
  EXPECT_EQ(services_.messages.back(), PathText(dir_ / L"out.txt") + L" にエクスポート完了しました");
  EXPECT_EQ(ReadBytes(dir_ / L"out.txt").substr(0, 8), "line 0\r\n");
}

TEST_F(SettingsDialogTest, TheMenusOpenTheirDialogsAndTheImportOptionIsUsedAtOnce) {
  HWND w = Open();
  std::vector<std::wstring> captions;
  services_.onDialog = [&](Dialog& d) { captions.push_back(TextOf(d.hwnd())); };
  for (int id : {IDM_DISPLAY_OPTIONS, IDM_IMAGE_OPTIONS, IDM_FONT_DATE_OPTIONS, IDM_IMPORT_OPTION, IDM_VERSION}) SendMessageW(w, WM_COMMAND, id, 0);
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"三件.zrd のオプション", L"背景・インターバルＢＭＰ",
                                                 L"使用フォント／日付・時刻", L"インポート", L"バージョン情報"}));
  EXPECT_TRUE(services_.messages.empty());

  // The box cleared: the next import takes every line.
  services_.onDialog = [&](Dialog& d) {
    SendMessageW(FindWindowExW(d.hwnd(), nullptr, L"Button", L"登録行数を100に制限(&L)"), BM_CLICK, 0, 0);
    Click(d.hwnd(), IDOK);
  };
  SendMessageW(w, WM_COMMAND, IDM_IMPORT_OPTION, 0);
  std::string lines;
  for (int i = 0; i < 150; ++i) lines += "line " + std::to_string(i) + "\r\n";
  WriteBytes(dir_ / L"memo.txt", lines);
  services_.onFile = [&](const FileDialogRequest&) { return FileDialogAnswer{true, PathText(dir_ / L"memo.txt"), 0}; };
  SendMessageW(w, WM_COMMAND, IDM_IMPORT, 0);
  EXPECT_EQ(Rows(), 150);
}

TEST_F(SettingsDialogTest, WithoutAFileTheDisplayOptionsDoNotOpen) {
  WriteBytes(file_, std::string(40, '\0'));
  HWND w = Open();
  int runs = 0;
  services_.onDialog = [&](Dialog&) { ++runs; };
  SendMessageW(w, WM_COMMAND, IDM_DISPLAY_OPTIONS, 0);
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(form_->Editor().HasFile());
}

TEST_F(SettingsDialogTest, CloseEndsTheDialogAndTheHelp) {
  HWND w = Open();
  SendMessageW(w, WM_COMMAND, IDM_HELP_CONTENTS, 0);
  Click(w, IDC_CLOSE);
  EXPECT_TRUE(form_->Ended());
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(services_.help, (std::vector<HelpCommand>{HelpCommand::kContents, HelpCommand::kQuit}));
  // The help file is the one in the program folder the dialog was given.
  ASSERT_FALSE(services_.helpFiles.empty());
  EXPECT_EQ(services_.helpFiles.front(), dir_.path() / L"zorante.chm");
}

}  // namespace
}  // namespace zor::win
