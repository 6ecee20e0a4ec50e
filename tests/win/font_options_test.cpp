// The font and date options dialog and the type-face chooser driven through
// their controls, on a settings file of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "../core/temp_folder.h"
#include "core/data/settings_file.h"
#include "fake_services.h"
#include "win/common/faces.h"
#include "win/options/font_chooser.h"
#include "win/options/font_chooser_ids.h"
#include "win/options/font_date_options_dialog.h"
#include "win/options/font_date_options_dialog_ids.h"

namespace zor::win {
namespace {

using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using namespace zor::win::testing;

std::vector<std::wstring> ListRows(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_FACE_LIST);
  std::vector<std::wstring> rows;
  const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t buffer[LF_FACESIZE + 1] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    rows.emplace_back(buffer);
  }
  return rows;
}

int RowOf(HWND dialog, const std::wstring& face) {
  const std::vector<std::wstring> rows = ListRows(dialog);
  const auto it = std::find(rows.begin(), rows.end(), face);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

// The option of a group that is checked; -1 when none, -2 when several.
int CheckedOption(HWND dialog, int first, int count) {
  int found = -1;
  for (int i = 0; i < count; ++i) {
    if (Checked(dialog, first + i)) found = found == -1 ? i : -2;
  }
  return found;
}

// Lets posted messages arrive (the close box reaches a dialog as a posted IDCANCEL).
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class FontOptionsTest : public ::testing::Test {
 protected:
  // A settings file as a user might have edited it (a dialog still open would save over it).
  void WriteIni(const std::string& lines) {
    dialog_.reset();
    WriteBytes(SettingsFilePath(dir_.path()), "[ZORANTE]\r\n" + lines);
  }
  std::wstring Stored(const wchar_t* key) { return store_.Read(kSettingsSection, key).value_or(L"<none>"); }
  HWND Open() {
    dialog_ = std::make_unique<FontDateOptionsDialog>(services_, store_);
    EXPECT_TRUE(dialog_->Open(nullptr));
    return dialog_->hwnd();
  }

  TempFolder dir_;
  SettingsFileStore store_{SettingsFilePath(dir_.path())};
  FakeServices services_;
  std::unique_ptr<FontDateOptionsDialog> dialog_;
};

TEST_F(FontOptionsTest, OpensWithTheStoredValuesOrTheNearestChoice) {
  struct Case {
    const char* ini;
    const wchar_t* face;
    bool bold;
    int decoration, yearStyle;
    bool formal;
  };
  const Case cases[] = {
      {"UseFont=IPAMincho\r\nUseFontBold=0\r\nDecoFont=2\r\nKanS=-1\r\nSeireki=1\r\n", L"IPAMincho", false, 2, 1, true},
      // Hand-edited values no option stands for.
      {"UseFont=No Such Face 7\r\nDecoFont=7\r\nSeireki=-4\r\nUseFontBold=5\r\n", L"No Such Face 7", true, 3, 0, false},
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    HWND d = Open();
    EXPECT_EQ(Text(d, IDC_FACE_NAME), c.face) << c.ini;
    EXPECT_EQ(Checked(d, IDC_BOLD), c.bold) << c.ini;
    EXPECT_EQ(CheckedOption(d, IDC_DECORATION, 4), c.decoration) << c.ini;
    EXPECT_EQ(CheckedOption(d, IDC_YEAR_STYLE, 2), c.yearStyle) << c.ini;
    EXPECT_EQ(Checked(d, IDC_FORMAL_NUMERALS), c.formal) << c.ini;
    const bool installed = FaceInstalled(c.face);
    EXPECT_EQ(Text(d, IDC_FACE_SAMPLE),
              installed ? L"あいう アイウ 永字 Aa" : L"（このフォントはインストールされていません）");
  }
}

// However the dialog goes, the four settings it shows are in the file.
TEST_F(FontOptionsTest, EveryWayOfClosingSaves) {
  for (const ClosingWay& c : kEveryWayOfClosing) {
    WriteIni("DecoFont=9\r\nSeireki=0\r\nUseFont=IPAMincho\r\n");
    HWND d = Open();
    Click(d, IDC_BOLD);
    Click(d, IDC_YEAR_STYLE + 1);
    Click(d, IDC_FORMAL_NUMERALS);
    EXPECT_EQ(CheckedOption(d, IDC_YEAR_STYLE, 2), 1) << "one option of a group at a time";
    c.close(d);
    Pump();
    EXPECT_TRUE(dialog_->Ended()) << c.how;
    EXPECT_EQ(Stored(L"UseFontBold"), L"0") << c.how;
    EXPECT_EQ(Stored(L"DecoFont"), L"3") << c.how << ": the nearest choice written back";
    EXPECT_EQ(Stored(L"Seireki"), L"1") << c.how;
    EXPECT_EQ(Stored(L"KanS"), L"-1") << c.how;
    EXPECT_EQ(Stored(L"UseFont"), L"IPAMincho") << c.how << ": the face is not rewritten";
    EXPECT_EQ(dialog_->Stored().decorationStyle, 3) << c.how;
  }
}

// Fails every write once the settings have been read.
class BrokenStore final : public ProfileStore {
 public:
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return inner.Read(section, key);
  }
  Status Write(std::wstring_view, std::wstring_view, std::wstring_view) override {
    return Status::Fail(FileError::kWrite, L"書き込めませんでした。");
  }
  MemoryProfileStore inner;
};

TEST_F(FontOptionsTest, AFailedWriteIsReportedOnceAndTheOldValuesStay) {
  BrokenStore broken;
  ASSERT_TRUE(WriteSetting(broken.inner, L"DecoFont", std::int16_t{1}).ok());
  FontDateOptionsDialog d(services_, broken);
  ASSERT_TRUE(d.Open(nullptr));
  Click(d.hwnd(), IDC_DECORATION + 3);
  Click(d.hwnd(), IDC_BOLD);
  Click(d.hwnd(), IDOK);
  EXPECT_TRUE(d.Ended());
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0], L"書き込めませんでした。");
  EXPECT_EQ(d.Stored().decorationStyle, 1);
  EXPECT_EQ(d.Stored().boldType, -1);
  EXPECT_FALSE(d.Outcome().ok());
}

TEST_F(FontOptionsTest, TheChooserListsEachVerticalFaceOnce) {
  const std::vector<std::wstring> system = SystemFaceNames();
  const std::set<std::wstring> installed(system.begin(), system.end());
  ASSERT_TRUE(installed.contains(L"@IPAMincho")) << "the test machine has the IPA faces";
  EXPECT_TRUE(FaceInstalled(L"IPAMincho"));
  EXPECT_FALSE(FaceInstalled(L"No Such Face 7"));

  FontChooser chooser(services_, store_);
  ASSERT_TRUE(chooser.Open(nullptr));
  const std::vector<std::wstring> rows = ListRows(chooser.hwnd());
  EXPECT_EQ(std::count(rows.begin(), rows.end(), L"IPAMincho"), 1);
  std::set<std::wstring> seen;
  for (const std::wstring& row : rows) {
    EXPECT_TRUE(seen.insert(row).second) << "listed twice";
    EXPECT_NE(row.front(), L'@');
    EXPECT_TRUE(installed.contains(L"@" + row)) << "listed without a vertical variant";
  }
  EXPECT_FALSE(seen.contains(L"Tahoma")) << "a face without a vertical variant";
}

TEST_F(FontOptionsTest, ChooserOkOnlyAfterARowIsClickedAndItWritesAtOnce) {
  WriteIni("UseFont=IPAGothic\r\n");
  FontChooser chooser(services_, store_);
  ASSERT_TRUE(chooser.Open(nullptr));
  HWND d = chooser.hwnd();
  EXPECT_FALSE(Enabled(d, IDOK));
  Click(d, IDOK);
  SendMessageW(d, WM_COMMAND, IDOK, 0);  // Enter, which reaches a disabled default button
  EXPECT_FALSE(chooser.Ended());
  EXPECT_TRUE(services_.messages.empty());
  EXPECT_EQ(Stored(L"UseFont"), L"IPAGothic");

  const int row = RowOf(d, L"IPAMincho");
  ASSERT_GE(row, 0);
  SelectRow(d, IDC_FACE_LIST, row);
  EXPECT_TRUE(Enabled(d, IDOK));
  Click(d, IDOK);
  EXPECT_TRUE(chooser.Ended());
  EXPECT_EQ(chooser.EndCode(), IDOK);
  EXPECT_EQ(chooser.Chosen(), L"IPAMincho");
  EXPECT_EQ(Stored(L"UseFont"), L"IPAMincho");
}

TEST_F(FontOptionsTest, ChooserStaysOpenWhenTheFaceCannotBeWritten) {
  BrokenStore broken;
  FontChooser chooser(services_, broken);
  ASSERT_TRUE(chooser.Open(nullptr));
  SelectRow(chooser.hwnd(), IDC_FACE_LIST, 0);
  Click(chooser.hwnd(), IDOK);
  EXPECT_FALSE(chooser.Ended());
  EXPECT_FALSE(chooser.Chosen().has_value());
  EXPECT_EQ(services_.messages.size(), 1u);
}

// The face is in the file as soon as the chooser closes, before FontDateOptionsDialog does.
TEST_F(FontOptionsTest, AFaceChosenThroughTheDialogIsWrittenBeforeItCloses) {
  WriteIni("UseFont=IPAGothic\r\nDecoFont=1\r\n");
  HWND d = Open();
  int chooserRuns = 0;
  services_.onDialog = [&](Dialog& chooser) {
    ++chooserRuns;
    wchar_t caption[40] = {};
    GetWindowTextW(chooser.hwnd(), caption, 40);
    EXPECT_STREQ(caption, L"フォント選択");
    SelectRow(chooser.hwnd(), IDC_FACE_LIST, RowOf(chooser.hwnd(), L"IPAMincho"));
    Click(chooser.hwnd(), IDOK);
  };
  Click(d, IDC_CHANGE_FACE);
  EXPECT_EQ(chooserRuns, 1);
  EXPECT_FALSE(dialog_->Ended());
  EXPECT_EQ(Stored(L"UseFont"), L"IPAMincho");
  EXPECT_EQ(Text(d, IDC_FACE_NAME), L"IPAMincho");
  EXPECT_EQ(dialog_->Stored().typeFace, L"IPAMincho");

  // Cancelled the second time: the face stays.
  services_.onDialog = [](Dialog& chooser) { Click(chooser.hwnd(), IDCANCEL); };
  Click(d, IDC_CHANGE_FACE);
  EXPECT_EQ(Text(d, IDC_FACE_NAME), L"IPAMincho");
  Click(d, IDOK);
  EXPECT_EQ(Stored(L"UseFont"), L"IPAMincho");
  EXPECT_EQ(Stored(L"DecoFont"), L"1");
}

}  // namespace
}  // namespace zor::win
