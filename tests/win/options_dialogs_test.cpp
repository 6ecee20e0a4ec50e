// The display options dialog, the import option and the version box driven
// through their controls. Each dialog's ids header defines names the others
// reuse, so only the display options' ids are included; the two small
// dialogs' controls are found by class and text, as UI automation finds them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "../core/temp_folder.h"
#include "core/data/file_system.h"
#include "core/data/registration_file.h"
#include "core/data/settings.h"
#include "core/data/settings_file.h"
#include "core/screen/palette.h"
#include "core/version.h"
#include "fake_services.h"
#include "keyboard_and_names.h"
#include "win/common/com.h"
#include "win/common/handles.h"
#include "win/common/picture_choices.h"
#include "win/options/display_options_dialog.h"
#include "win/options/display_options_dialog_ids.h"
#include "win/options/import_option_dialog.h"
#include "win/options/version_box.h"

namespace zor::win {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using namespace zor::win::testing;

DisplayOptions Options(std::int16_t interval, std::int16_t scheme, std::int16_t emphasisOn, std::int16_t order,
                       std::int16_t colour, std::int16_t layout) {
  return {interval, scheme, emphasisOn, order, colour, layout};
}

// Messages posted to the dialog (the close box's IDCANCEL) are delivered.
void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void Scroll(HWND dialog, int code, int position = 0) {
  SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, position),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_INTERVAL_BAR)));
}
int ScrollPosition(HWND dialog) { return GetScrollPos(GetDlgItem(dialog, IDC_INTERVAL_BAR), SB_CTL); }

// The option button checked in a group of n, or -1.
int CheckedOf(HWND dialog, int first, int n) {
  int found = -1;
  for (int i = 0; i < n; ++i) {
    if (Checked(dialog, first + i)) {
      if (found >= 0) return -2;  // two at once
      found = i;
    }
  }
  return found;
}

// 1-based header positions of the six option fields (two bytes each).
const std::set<std::size_t> kOptionBytes = {5, 6, 7, 8, 9, 10, 17, 18, 19, 20, 21, 22};

class DisplayOptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_ / L"設定.zrd";
    ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
    ASSERT_TRUE(AddMessage(file_, L"あいうえお").ok());
    ASSERT_TRUE(AddMessage(file_, L"Mixed 文").ok());
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
  }
  void Store(const DisplayOptions& options) {
    ASSERT_TRUE(WriteDisplayOptions(file_, options).ok());
    ASSERT_TRUE(editor_.Reload().ok());
  }
  HWND Open() {
    form_ = std::make_unique<DisplayOptionsDialog>(editor_, L"設定 のオプション");
    EXPECT_TRUE(form_->Open(nullptr));
    return form_->hwnd();
  }
  DisplayOptions FileOptions() { return ValidateRegistrationFile(file_).value().options; }

  TempFolder dir_;
  std::filesystem::path file_;
  ListEditor editor_;
  std::unique_ptr<DisplayOptionsDialog> form_;
};

TEST_F(DisplayOptionsDialogTest, OpensWithTheFilesValuesAndOkStoresWhatItShowed) {
  const struct {
    const char* what;
    DisplayOptions stored;
    int position, scheme, emphasis, layout, order;  // -1: no button of the group checked
    DisplayOptions written;                         // OK without touching anything
  } cases[] = {
      {"new file", DisplayOptions{}, 6000, 3, 1, 0, 0, DisplayOptions{}},
      {"ends", Options(11000, 1, 0, 1, 14, 2), 11000, 1, 0, 2, 1, Options(11000, 1, 0, 1, 14, 2)},
      {"colour 0, layout -1", Options(1000, 0, -1, 0, 0, -1), 1000, 0, 1, 0, 0, Options(1000, 0, -1, 0, 12, 0)},
      {"colour 15, emphasis 1", Options(6500, 2, 1, 1, 15, 1), 6500, 2, 1, 1, 1, Options(6500, 2, -1, 1, 12, 1)},
      {"nothing a control offers", Options(300, 9, 0, 5, -3, 7), 1000, -1, 0, -1, -1, Options(300, 9, 0, 5, 12, 7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.stored);
    HWND w = Open();
    wchar_t caption[100] = {};
    GetWindowTextW(w, caption, 100);
    EXPECT_STREQ(caption, L"設定 のオプション");
    EXPECT_EQ(ScrollPosition(w), c.position);
    EXPECT_EQ(CheckedOf(w, IDC_SCHEME, 4), c.scheme);
    EXPECT_EQ(Checked(w, IDC_EMPHASIS_ON), c.emphasis == 1);
    EXPECT_EQ(CheckedOf(w, IDC_LAYOUT, 3), c.layout);
    EXPECT_EQ(CheckedOf(w, IDC_ORDER, 2), c.order);
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(Visible(w, IDC_EMPHASIS_SWATCH + i), c.emphasis == 1) << i;
    Click(w, IDOK);
    ASSERT_TRUE(form_->Ended());
    EXPECT_TRUE(form_->Outcome().ok());
    EXPECT_EQ(FileOptions(), c.written);
    EXPECT_EQ(editor_.Header().options, c.written);
  }
}

TEST_F(DisplayOptionsDialogTest, TheScrollBarStepsByASecondBetweenItsEnds) {
  HWND w = Open();
  const struct {
    int code, position, expected;
  } steps[] = {
      {SB_LINERIGHT, 0, 7000},        {SB_PAGELEFT, 0, 6000},   {SB_LINELEFT, 0, 5000},   {SB_THUMBTRACK, 8500, 8500},
      {SB_PAGERIGHT, 0, 9500},        {SB_LINERIGHT, 0, 10500}, {SB_LINERIGHT, 0, 11000}, {SB_LINERIGHT, 0, 11000},
      {SB_ENDSCROLL, 0, 11000},       {SB_LEFT, 0, 1000},       {SB_PAGELEFT, 0, 1000},   {SB_RIGHT, 0, 11000},
      {SB_THUMBPOSITION, 4321, 4321},
  };
  for (const auto& s : steps) {
    Scroll(w, s.code, s.position);
    EXPECT_EQ(ScrollPosition(w), s.expected) << s.code;
    EXPECT_EQ(form_->Model().Current().interval, s.expected) << s.code;
  }
  Click(w, IDOK);
  EXPECT_EQ(FileOptions().interval, 4321);
}

TEST_F(DisplayOptionsDialogTest, PicturesSelectTheOptionBesideThem) {
  HWND w = Open();
  const int schemes[] = {0, 2, 1, 2, 3, 3, 3};
  for (int i = 0; i < 7; ++i) {
    Click(w, IDC_SCHEME + (schemes[i] + 1) % 4);  // another option first
    ClickStatic(w, IDC_SCHEME_PICTURE + i);
    EXPECT_EQ(CheckedOf(w, IDC_SCHEME, 4), schemes[i]) << "scheme picture " << i;
  }
  const int layouts[] = {0, 1, 2, 2};
  for (int i = 0; i < 4; ++i) {
    Click(w, IDC_LAYOUT + (layouts[i] + 1) % 3);
    ClickStatic(w, IDC_LAYOUT_PICTURE + i);
    EXPECT_EQ(CheckedOf(w, IDC_LAYOUT, 3), layouts[i]) << "layout picture " << i;
  }
  Click(w, IDC_ORDER + 1);
  EXPECT_EQ(CheckedOf(w, IDC_ORDER, 2), 1);
  EXPECT_EQ(CheckedOf(w, IDC_SCHEME, 4), 3) << "groups do not reach into each other";
}

TEST_F(DisplayOptionsDialogTest, TheEmphasisBoxShowsAndHidesTheSwatches) {
  Store(Options(6000, 3, -1, 0, 15, 0));
  HWND w = Open();
  EXPECT_EQ(form_->Model().SampleColour(), 12);
  Click(w, IDC_EMPHASIS_ON);
  EXPECT_FALSE(Checked(w, IDC_EMPHASIS_ON));
  for (int i = 1; i <= 14; ++i) EXPECT_FALSE(Visible(w, IDC_EMPHASIS_SWATCH + i)) << i;
  EXPECT_EQ(form_->Model().SampleColour(), kPaletteBlack);
  Click(w, IDC_EMPHASIS_ON);
  for (int i = 1; i <= 14; ++i) EXPECT_TRUE(Visible(w, IDC_EMPHASIS_SWATCH + i)) << i;
  EXPECT_EQ(form_->Model().SampleColour(), 12) << "the chosen colour comes back";
  ClickStatic(w, IDC_EMPHASIS_SWATCH + 3);
  EXPECT_EQ(form_->Model().SampleColour(), 3);
  Click(w, IDC_EMPHASIS_ON);
  Click(w, IDOK);
  EXPECT_EQ(FileOptions(), Options(6000, 3, 0, 0, 3, 0));
}

// The sample is painted in the chosen colour and the chosen swatch has the
// thicker frame, read back from the screen.
TEST_F(DisplayOptionsDialogTest, SampleAndSwatchesArePaintedInThePaletteColours) {
  HWND w = Open();
  ClickStatic(w, IDC_EMPHASIS_SWATCH + 9);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const auto count = [](HWND control, COLORREF colour) {
    WindowDc dc(control);
    RECT r{};
    GetClientRect(control, &r);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += GetPixel(dc.get(), x, y) == colour ? 1 : 0;
    }
    return n;
  };
  const Rgb blue = PaletteColour(9);
  EXPECT_GT(count(GetDlgItem(w, IDC_EMPHASIS_SAMPLE), RGB(blue.r, blue.g, blue.b)), 10) << "the sample character";
  const COLORREF frame = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_GT(count(GetDlgItem(w, IDC_EMPHASIS_SWATCH + 9), frame), count(GetDlgItem(w, IDC_EMPHASIS_SWATCH + 8), frame));
}

TEST_F(DisplayOptionsDialogTest, OkWritesTheSixFieldsAndNothingElse) {
  const std::string before = ReadBytes(file_);
  HWND w = Open();
  Scroll(w, SB_LINELEFT);
  ClickStatic(w, IDC_SCHEME_PICTURE + 2);  // black on white
  Click(w, IDC_EMPHASIS_ON);            // off
  Click(w, IDC_EMPHASIS_ON);            // on again
  Click(w, IDC_ORDER + 1);       // registration order
  ClickStatic(w, IDC_EMPHASIS_SWATCH + 5);
  ClickStatic(w, IDC_LAYOUT_PICTURE + 1);  // centred
  Click(w, IDOK);
  ASSERT_TRUE(form_->Outcome().ok()) << form_->Outcome().message();
  const std::string after = ReadBytes(file_);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) {
      EXPECT_TRUE(kOptionBytes.count(i + 1)) << "position " << i + 1 << " changed";
    }
  }
  EXPECT_EQ(after.substr(4, 6), std::string("\x88\x13\x01\x00\xFF\xFF", 6));
  EXPECT_EQ(after.substr(16, 6), std::string("\x01\x00\x05\x00\x01\x00", 6));
  EXPECT_EQ(editor_.Header().options, Options(5000, 1, -1, 1, 5, 1));
}

TEST_F(DisplayOptionsDialogTest, CancelWritesNothing) {
  const std::string before = ReadBytes(file_);
  for (int way : {0, 1}) {
    HWND w = Open();
    Scroll(w, SB_RIGHT);
    ClickStatic(w, IDC_SCHEME_PICTURE + 5);
    ClickStatic(w, IDC_EMPHASIS_SWATCH + 1);
    Click(w, IDC_LAYOUT + 2);
    if (way == 0) {
      Click(w, IDCANCEL);
    } else {
      SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
      Pump();
    }
    EXPECT_TRUE(form_->Ended()) << way;
    EXPECT_EQ(form_->EndCode(), IDCANCEL) << way;
    EXPECT_EQ(ReadBytes(file_), before) << way;
    EXPECT_EQ(editor_.Header().options, DisplayOptions{}) << way;
  }
}

TEST_F(DisplayOptionsDialogTest, AFailedWriteLeavesFileAndMemoryAsTheyWere) {
  const std::string before = ReadBytes(file_);
  for (ReplaceStep step : {ReplaceStep::kCreateTemporary, ReplaceStep::kWriteTemporary, ReplaceStep::kFlushTemporary,
                           ReplaceStep::kReplace}) {
    HWND w = Open();
    Click(w, IDC_SCHEME + 0);
    SetFaultHookForTesting([step](ReplaceStep s) { return s == step; });
    Click(w, IDOK);
    SetFaultHookForTesting(nullptr);
    EXPECT_TRUE(form_->Ended());
    EXPECT_FALSE(form_->Outcome().ok()) << static_cast<int>(step);
    EXPECT_FALSE(form_->Outcome().message().empty());
    EXPECT_EQ(ReadBytes(file_), before) << static_cast<int>(step);
    EXPECT_EQ(editor_.Header().options, DisplayOptions{}) << static_cast<int>(step);
    EXPECT_EQ(dir_.EntryCount(), 1u) << "no temporary file left";
  }
}

TEST_F(DisplayOptionsDialogTest, AFileChangedOnDiskIsNotOverwritten) {
  HWND w = Open();
  Click(w, IDC_SCHEME + 1);
  ASSERT_TRUE(AddMessage(file_, L"ほかのプログラム").ok());
  const std::string changed = ReadBytes(file_);
  Click(w, IDOK);
  EXPECT_EQ(form_->Outcome().message(), kStaleFileMessage);
  EXPECT_EQ(ReadBytes(file_), changed);
  EXPECT_EQ(editor_.Count(), 3) << "the list is read again";
}

// The import option: any way of closing stores the box; the value in use
// follows only a write that succeeded.
class ImportOptionDialogTest : public ::testing::Test {
 protected:
  HWND Open(ProfileStore& store, std::int16_t limit) {
    dialog_ = std::make_unique<ImportOptionDialog>(services_, store, limit);
    EXPECT_TRUE(dialog_->Open(nullptr));
    return dialog_->hwnd();
  }
  static HWND Box(HWND w) { return FindWindowExW(w, nullptr, L"Button", L"登録行数を100に制限(&L)"); }

  FakeServices services_;
  std::unique_ptr<ImportOptionDialog> dialog_;
};

enum class Closing { kOk, kEscape, kCloseBox };

void Close(HWND w, Closing how) {
  switch (how) {
    case Closing::kOk:
      Click(w, IDOK);
      break;
    case Closing::kEscape: {
      // As the modal loop hands the key to the dialog manager.
      MSG m{};
      m.hwnd = GetDlgItem(w, IDOK);
      m.message = WM_KEYDOWN;
      m.wParam = VK_ESCAPE;
      IsDialogMessageW(w, &m);
      break;
    }
    case Closing::kCloseBox:
      SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
  Pump();
}

TEST_F(ImportOptionDialogTest, EveryWayOfClosingStoresTheBox) {
  const struct {
    std::int16_t limit;
    bool toggle;
    Closing how;
    const wchar_t* stored;
  } cases[] = {
      {-1, false, Closing::kOk, L"-1"},      {-1, true, Closing::kOk, L"0"},       {0, true, Closing::kEscape, L"-1"},
      {0, false, Closing::kEscape, L"0"},    {-1, true, Closing::kCloseBox, L"0"}, {0, true, Closing::kCloseBox, L"-1"},
      {5, false, Closing::kCloseBox, L"-1"},  // any non-zero value is a ticked box
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.how));
    MemoryProfileStore store;
    HWND w = Open(store, c.limit);
    ASSERT_TRUE(Box(w));
    EXPECT_EQ(SendMessageW(Box(w), BM_GETCHECK, 0, 0) == BST_CHECKED, c.limit != 0);
    if (c.toggle) SendMessageW(Box(w), BM_CLICK, 0, 0);
    Close(w, c.how);
    EXPECT_TRUE(dialog_->Ended());
    EXPECT_EQ(store.Read(kSettingsSection, L"ImportLimit").value_or(L"<none>"), c.stored);
    EXPECT_EQ(std::to_wstring(dialog_->ImportLimit()), c.stored);
    EXPECT_TRUE(services_.messages.empty());
  }
}

TEST_F(ImportOptionDialogTest, TheSettingsFileGetsTheKey) {
  TempFolder dir;
  SettingsFileStore store(SettingsFilePath(dir.path()));
  HWND w = Open(store, -1);
  SendMessageW(Box(w), BM_CLICK, 0, 0);
  Close(w, Closing::kCloseBox);
  EXPECT_EQ(LoadSettings(store, dir.path()).importLimit, 0);
}

TEST_F(ImportOptionDialogTest, AFailedWriteIsReportedAndTheOldValueStays) {
  MemoryProfileStore store;
  store.failWrites = true;
  HWND w = Open(store, -1);
  SendMessageW(Box(w), BM_CLICK, 0, 0);
  Close(w, Closing::kOk);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0], dialog_->Outcome().message());
  EXPECT_FALSE(dialog_->Outcome().ok());
  EXPECT_EQ(dialog_->ImportLimit(), -1);
}

TEST_F(ImportOptionDialogTest, TheBoxCarriesItsTooltip) {
  MemoryProfileStore store;
  HWND w = Open(store, -1);
  ASSERT_TRUE(dialog_->TooltipWindow());
  EXPECT_EQ(TipOf(dialog_->TooltipWindow(), w, Box(w)), L"インポートで登録される行数を100行までとする");
  wchar_t caption[50] = {};
  GetWindowTextW(w, caption, 50);
  EXPECT_STREQ(caption, L"インポート");
}

TEST(AboutTest, TitleVersionAndTheMailLink) {
  std::vector<std::pair<HWND, std::wstring>> opened;
  VersionBox about([&](HWND owner, const std::wstring& url) { opened.emplace_back(owner, url); });
  ASSERT_TRUE(about.Open(nullptr));
  HWND w = about.hwnd();
  ASSERT_FALSE(kVersion.empty());
  EXPECT_EQ(VersionTitle(), L"ZORANTE ScreenSaver 32  v" + std::wstring(kVersion));
  EXPECT_TRUE(FindWindowExW(w, nullptr, L"Static", VersionTitle().c_str())) << "title and version";
  EXPECT_FALSE(FindWindowExW(w, nullptr, L"Static", L"ZORANTE ScreenSaver 32  v")) << "the design text is replaced";
  ASSERT_FALSE(MailAddress().empty());
  const std::wstring mailText = L"E-mail: " + std::wstring(MailAddress());
  HWND mail = FindWindowExW(w, nullptr, L"Static", mailText.c_str());
  ASSERT_TRUE(mail);
  EXPECT_EQ(TipOf(about.TooltipWindow(), w, mail), L"クリックすると作者宛Eメールを作成開始します");
  SendMessageW(w, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(mail), STN_CLICKED), reinterpret_cast<LPARAM>(mail));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].first, w);
  EXPECT_EQ(opened[0].second, L"mailto:" + std::wstring(MailAddress()));
  EXPECT_FALSE(about.Ended()) << "the box stays open";
  Click(w, IDOK);
  EXPECT_TRUE(about.Ended());
}

TEST_F(DisplayOptionsDialogTest, ThePicturesAreReachedAndChosenWithTheKeyboardAlone) {
  Store(Options(6000, 3, -1, 0, 12, 0));
  HWND w = Open();
  ASSERT_EQ(FocusedId(), IDC_INTERVAL_BAR);
  Press(w, VK_TAB);
  Press(w, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_SCHEME_PICTURE + 4) << "after the scheme options, the chosen scheme's first picture";
  Press(w, VK_HOME);
  EXPECT_EQ(FocusedId(), IDC_SCHEME_PICTURE + 0);
  Press(w, VK_RIGHT);
  EXPECT_EQ(FocusedId(), IDC_SCHEME_PICTURE + 2) << "the pictures in the order they are shown";
  Press(w, VK_SPACE);
  EXPECT_EQ(CheckedOf(w, IDC_SCHEME, 4), 1);
  Press(w, VK_LEFT);
  Press(w, VK_LEFT);
  EXPECT_EQ(FocusedId(), IDC_SCHEME_PICTURE + 6) << "wrapped";
  Press(w, VK_RETURN);
  EXPECT_EQ(CheckedOf(w, IDC_SCHEME, 4), 3);
  EXPECT_FALSE(form_->Ended()) << "Enter on a picture chooses it, not OK";
  Press(w, VK_TAB);
  Press(w, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_LAYOUT_PICTURE + 0);
  Press(w, VK_END);
  Press(w, VK_SPACE);
  EXPECT_EQ(CheckedOf(w, IDC_LAYOUT, 3), 2);
  Press(w, VK_TAB);
  Press(w, VK_TAB);
  Press(w, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_EMPHASIS_SWATCH + 12) << "the chosen colour";
  Press(w, VK_RIGHT);
  Press(w, VK_RIGHT);
  Press(w, VK_SPACE);
  EXPECT_EQ(form_->Model().Current().colour, 14);
  Press(w, VK_TAB, true);
  EXPECT_EQ(FocusedId(), IDC_EMPHASIS_ON);
  Press(w, VK_TAB);
  EXPECT_EQ(FocusedId(), IDC_EMPHASIS_SWATCH + 14) << "Tab comes back to the chosen colour";
  Press(w, VK_SPACE, true);
  EXPECT_EQ(form_->Model().Current().colour, 14) << "Shift+Space is a click too";
  Press(w, VK_TAB);
  ASSERT_EQ(FocusedId(), IDOK);
  Press(w, VK_RETURN);
  ASSERT_TRUE(form_->Ended());
  const DisplayOptions written = FileOptions();
  EXPECT_EQ(written.scheme, 3);
  EXPECT_EQ(written.layout, 2);
  EXPECT_EQ(written.colour, 14);
}

TEST_F(DisplayOptionsDialogTest, ScreenReadersHearEveryControlsNameAndWhichPictureIsChosen) {
  ComScope com;
  Store(Options(6000, 0, -1, 0, 12, 2));
  HWND w = Open();
  const std::vector<Heard> heard = HearFocusable(w);
  EXPECT_EQ(heard.size(), 38u) << "bar, 4 + 7 schemes, 3 + 4 layouts, 2 orders, the box, 14 swatches, OK, Cancel";
  std::map<int, Heard> byId;
  for (const Heard& h : heard) {
    std::printf("  %d %s\n", h.id, Utf8(h.name).c_str());
    EXPECT_FALSE(h.name.empty()) << h.id;
    byId[h.id] = h;
  }
  EXPECT_EQ(byId[IDC_INTERVAL_BAR].name, L"表示間隔");
  EXPECT_EQ(byId[IDC_SCHEME_PICTURE + 0].name, L"黒字に白文字");
  EXPECT_EQ(byId[IDC_SCHEME_PICTURE + 6].name, L"黒地と白地をランダム表示（やや黒地多め）：白地");
  EXPECT_EQ(byId[IDC_LAYOUT_PICTURE + 3].name, L"L字・中央をランダム表示：中央");
  EXPECT_EQ(byId[IDC_EMPHASIS_SWATCH + 12].name, L"赤");
  EXPECT_EQ(byId[IDC_EMPHASIS_SWATCH + 9].name, L"青");
  std::set<int> checked;
  for (const Heard& h : heard) {
    if (h.role == ROLE_SYSTEM_RADIOBUTTON && (h.state & STATE_SYSTEM_CHECKED)) checked.insert(h.id);
  }
  EXPECT_EQ(checked, (std::set<int>{IDC_SCHEME_PICTURE + 0, IDC_LAYOUT_PICTURE + 2, IDC_LAYOUT_PICTURE + 3,
                                    IDC_EMPHASIS_SWATCH + 12}));
  ClickStatic(w, IDC_EMPHASIS_SWATCH + 3);
  EXPECT_TRUE(HearOf(GetDlgItem(w, IDC_EMPHASIS_SWATCH + 3)).state & STATE_SYSTEM_CHECKED);
  EXPECT_FALSE(HearOf(GetDlgItem(w, IDC_EMPHASIS_SWATCH + 12)).state & STATE_SYSTEM_CHECKED);
  SetFocus(GetDlgItem(w, IDC_EMPHASIS_ON));
  Press(w, VK_TAB);
  EXPECT_EQ(FocusedId(), IDC_EMPHASIS_SWATCH + 3) << "a click moves the group's tab stop to the new choice";
}

TEST(ScreenReaderNames, CaptionsLoseTheirAccessKeys) {
  EXPECT_EQ(WithoutAccessKey(L"表示間隔(&I)"), L"表示間隔");
  EXPECT_EQ(WithoutAccessKey(L"&Open"), L"Open");
  EXPECT_EQ(WithoutAccessKey(L"A && B"), L"A & B");
  EXPECT_EQ(WithoutAccessKey(L"画像(A)"), L"画像(A)") << "no access key, nothing taken";
}

TEST(AboutTest, TheMailLinkIsReachedAndOpenedWithTheKeyboard) {
  ComScope com;
  std::vector<std::wstring> opened;
  VersionBox about([&](HWND, const std::wstring& url) { opened.push_back(url); });
  ASSERT_TRUE(about.Open(nullptr));
  HWND w = about.hwnd();
  EXPECT_EQ(FocusedId(), IDOK) << "Enter still closes the box at first";
  Press(w, VK_TAB);
  const Heard link = HearOf(GetFocus());
  EXPECT_EQ(link.name, L"E-mail: " + std::wstring(MailAddress()));
  EXPECT_EQ(link.role, ROLE_SYSTEM_LINK);
  Press(w, VK_SPACE);
  Press(w, VK_RETURN);
  EXPECT_EQ(opened, std::vector<std::wstring>(2, L"mailto:" + std::wstring(MailAddress())));
  EXPECT_FALSE(about.Ended());
  for (const Heard& h : HearFocusable(w)) EXPECT_FALSE(h.name.empty()) << h.id;
  Press(w, VK_TAB);
  Press(w, VK_RETURN);
  EXPECT_TRUE(about.Ended());
}

}  // namespace
}  // namespace zor::win
