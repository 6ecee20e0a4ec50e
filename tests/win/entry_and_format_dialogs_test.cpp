// The entry form and the line format dialog driven through their controls.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "../core/temp_folder.h"
#include "core/data/registration_file.h"
#include "fake_services.h"
#include "keyboard_and_names.h"
#include "win/common/com.h"
#include "win/settings_dialog/message_entry_dialog.h"
#include "win/settings_dialog/message_entry_dialog_ids.h"
#include "win/settings_dialog/line_format_dialog.h"
#include "win/settings_dialog/line_format_dialog_ids.h"

namespace zor::win {
namespace {

using zor::testing::ReadBytes;
using zor::testing::TempFolder;
using namespace zor::win::testing;

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_ / L"a.zrd";
    ASSERT_TRUE(CreateEmptyRegistrationFile(file_).ok());
    ASSERT_TRUE(AddMessage(file_, L"あいうえお").ok());
    ASSERT_TRUE(AddMessage(file_, L"Mixed 文").ok());
    ASSERT_EQ(editor_.Load(file_).kind, LoadOutcome::kLoaded);
  }
  std::unique_ptr<LineFormatDialog> OpenLineFormatDialog(int row) {
    editor_.Select(row);
    Result<Message> m = editor_.SelectedMessage();
    EXPECT_TRUE(m.ok());
    auto s = std::make_unique<LineFormatDialog>(editor_, m.value());
    EXPECT_TRUE(s->Open(nullptr));
    return s;
  }

  TempFolder dir_;
  std::filesystem::path file_;
  ListEditor editor_;
};

TEST_F(DialogsTest, EntryOkFollowsTheRuleOnEveryKeystroke) {
  MessageEntryDialog form(editor_, -1);
  ASSERT_TRUE(form.Open(nullptr));
  HWND w = form.hwnd();
  EXPECT_EQ(Text(w, IDC_ENTRY_LIMITS), L"（全角３２文字まで　半角９６文字まで）");
  EXPECT_FALSE(Enabled(w, IDOK)) << "empty";
  const struct {
    std::wstring text;
    bool ok;
  } cases[] = {
      {std::wstring(32, L'あ'), true},          {std::wstring(33, L'あ'), false},
      {std::wstring(96, L'a'), true},           {std::wstring(97, L'a'), false},
      {std::wstring(40, L'あ') + L"a", true},   {std::wstring(48, L'あ') + L"a", false},
      {L" ", true},                             {L"\U0001F600", false},  // not in code page 932
  };
  for (const auto& c : cases) {
    Type(w, IDC_ENTRY_TEXT, c.text);
    EXPECT_EQ(Enabled(w, IDOK), c.ok) << c.text.size();
  }
  // Enter with the rule failing: the form stays and nothing is written.
  const std::string before = ReadBytes(file_);
  SendMessageW(w, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(form.Ended());
  EXPECT_EQ(ReadBytes(file_), before);
  Type(w, IDC_ENTRY_TEXT, L"かきく");
  SendMessageW(w, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(form.Ended());
  EXPECT_TRUE(form.Outcome().ok());
  EXPECT_EQ(ReadMessages(file_).value().back(), L"かきく");
  EXPECT_EQ(editor_.View().selected, 2);
}

TEST_F(DialogsTest, EntrySaysWhyOkIsGreyAndPutsLookAlikesRight) {
  MessageEntryDialog form(editor_, -1);
  ASSERT_TRUE(form.Open(nullptr));
  HWND w = form.hwnd();
  EXPECT_EQ(Text(w, IDC_ENTRY_STATUS), L"0 / 32 文字（全角）");
  Type(w, IDC_ENTRY_TEXT, std::wstring(33, L'あ'));
  EXPECT_EQ(Text(w, IDC_ENTRY_STATUS), L"33 / 32 文字（全角）　長すぎます");
  Type(w, IDC_ENTRY_TEXT, L"吉\U00020BB7家");
  EXPECT_EQ(Text(w, IDC_ENTRY_STATUS), L"5 / 96 文字（半角換算）　Shift_JIS で保存できない文字: \U00020BB7");
  EXPECT_FALSE(Enabled(w, IDOK));

  // A paste from a web page: the wave dash and the minus become what the file holds, the caret stays.
  HWND edit = GetDlgItem(w, IDC_ENTRY_TEXT);
  SetWindowTextW(edit, L"");
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"9時\u301C17時\u2212休"));
  EXPECT_EQ(Text(w, IDC_ENTRY_TEXT), L"9時\uFF5E17時\uFF0D休");
  DWORD from = 0;
  DWORD to = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 8u);
  EXPECT_EQ(to, 8u);
  EXPECT_EQ(Text(w, IDC_ENTRY_STATUS), L"13 / 96 文字（半角換算）");
  EXPECT_TRUE(Enabled(w, IDOK));
  SendMessageW(w, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(ReadMessages(file_).value().back(), L"9時\uFF5E17時\uFF0D休");
}

TEST_F(DialogsTest, FormatCellsMarkersAndTheBytesOfOk) {
  auto lineFormatDialog = OpenLineFormatDialog(0);
  HWND s = lineFormatDialog->hwnd();
  for (int i = 0; i < 32; ++i) EXPECT_EQ(Visible(s, IDC_CHARACTER_CELL + i), i < 5) << i;
  EXPECT_TRUE(Checked(s, IDC_RANDOM_EMPHASIS));
  EXPECT_TRUE(Checked(s, IDC_AUTO_FOLD));
  EXPECT_TRUE(Checked(s, IDC_FIXED_LAYOUT));
  Click(s, IDC_RANDOM_EMPHASIS);             // marks count from now on
  ClickStatic(s, IDC_CHARACTER_CELL + 1);   // mark character 2
  ClickStatic(s, IDC_CHARACTER_CELL + 9);   // beyond the text: ignored
  Click(s, IDC_AUTO_FOLD);             // a kind-less marker under character 1
  EXPECT_EQ(lineFormatDialog->Model().View().cells[0].picture, 0);
  ClickStatic(s, IDC_FOLD_CELL + 2);   // moved to character 3
  ClickStatic(s, IDC_FOLD_CELL + 2);   // stepped to kind A
  EXPECT_EQ(lineFormatDialog->Model().View().cells[2].picture, 2);
  ClickStatic(s, IDC_FIXED_LAYOUT_PICTURE + 1);   // the bottom-left L picture selects its option
  EXPECT_TRUE(Checked(s, IDC_FIXED_LAYOUT + 2));
  Click(s, IDOK);
  ASSERT_TRUE(lineFormatDialog->Outcome().ok());
  const MessageFormat f = ReadMessage(file_, 1).value().format;
  EXPECT_EQ(std::string(f.marks.begin(), f.marks.begin() + 4), " A  ");
  EXPECT_EQ(f.mode, 'R');
  EXPECT_EQ(f.fold, static_cast<char>(33 + 2));
  EXPECT_EQ(f.kind, 'A');
  EXPECT_EQ(f.layout, 'B');
}

TEST_F(DialogsTest, FormatOfAMixedMessageOffersOnlyTheLayout) {
  auto lineFormatDialog = OpenLineFormatDialog(1);
  HWND s = lineFormatDialog->hwnd();
  EXPECT_FALSE(Visible(s, IDC_CHARACTER_CELL));
  EXPECT_FALSE(Enabled(s, IDC_RANDOM_EMPHASIS));
  EXPECT_FALSE(Enabled(s, IDC_AUTO_FOLD));
  Click(s, IDC_AUTO_FOLD);  // disabled: nothing happens
  Click(s, IDC_FIXED_LAYOUT + 3);
  const std::string before = ReadBytes(file_);
  Click(s, IDCANCEL);
  EXPECT_EQ(ReadBytes(file_), before) << "Cancel writes nothing";
  lineFormatDialog = OpenLineFormatDialog(1);
  Click(lineFormatDialog->hwnd(), IDC_FIXED_LAYOUT + 3);
  Click(lineFormatDialog->hwnd(), IDOK);
  const MessageFormat f = ReadMessage(file_, 2).value().format;
  EXPECT_EQ(f.layout, 'C');
  EXPECT_EQ(f.fold, ' ');
}

TEST_F(DialogsTest, FormatIsUsedWithTheKeyboardAloneAndHeardByScreenReaders) {
  ComScope com;
  const std::wstring text = L"あいうえおかきくけこさしすせそたちつてと";
  ASSERT_TRUE(AddMessage(file_, text).ok());
  ASSERT_TRUE(editor_.Reload().ok());
  auto lineFormatDialog = OpenLineFormatDialog(2);
  HWND s = lineFormatDialog->hwnd();
  ASSERT_EQ(FocusedId(), IDC_CHARACTER_CELL) << "the cells come first";
  Press(s, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_AUTO_FOLD) << "the cells are one tab stop";
  Press(s, VK_SPACE);
  Press(s, VK_TAB);
  Press(s, VK_SPACE);
  EXPECT_FALSE(Checked(s, IDC_AUTO_FOLD));
  EXPECT_FALSE(Checked(s, IDC_RANDOM_EMPHASIS));
  Press(s, VK_TAB);
  Press(s, VK_TAB);
  ASSERT_EQ(FocusedId(), IDC_FIXED_LAYOUT_PICTURE + 0) << "the pictures after their options";
  Press(s, VK_RIGHT);
  Press(s, VK_SPACE);
  EXPECT_TRUE(Checked(s, IDC_FIXED_LAYOUT + 2));
  for (int i = 0; i < 6 && FocusedId() != IDC_CHARACTER_CELL; ++i) Press(s, VK_TAB, true);
  ASSERT_EQ(FocusedId(), IDC_CHARACTER_CELL);

  Press(s, VK_SPACE);                 // marks the first character
  Press(s, VK_RIGHT);
  Press(s, VK_DOWN);                  // the same column of the second row
  EXPECT_EQ(FocusedId(), IDC_CHARACTER_CELL + 17);
  Press(s, VK_SPACE);
  Press(s, VK_SPACE, true);           // the fold marker comes under it
  Press(s, VK_SPACE, true);           // and steps to kind A
  LineFormatView view = lineFormatDialog->Model().View();
  EXPECT_TRUE(view.cells[0].red && view.cells[17].red && !view.cells[1].red);
  EXPECT_TRUE(view.cells[17].hasMarker);
  EXPECT_EQ(view.cells[17].picture, 2);
  Press(s, VK_END);
  Press(s, VK_RIGHT);
  EXPECT_EQ(FocusedId(), IDC_CHARACTER_CELL + 19) << "the cursor stays on the shown characters";
  Press(s, VK_UP);
  EXPECT_EQ(FocusedId(), IDC_CHARACTER_CELL + 3);
  Press(s, VK_TAB);
  Press(s, VK_TAB, true);
  EXPECT_EQ(FocusedId(), IDC_CHARACTER_CELL + 3) << "Tab comes back to the cursor";

  int cells = 0;
  for (const Heard& h : HearFocusable(s)) {
    std::printf("  %d %s\n", h.id, Utf8(h.name).c_str());
    EXPECT_FALSE(h.name.empty()) << h.id;
    const int cell = h.id - IDC_CHARACTER_CELL;
    if (cell >= 0 && cell < 32) {
      ++cells;
      EXPECT_EQ(h.name, text.substr(static_cast<std::size_t>(cell), 1));
      EXPECT_EQ(h.role, ROLE_SYSTEM_CHECKBUTTON);
      EXPECT_EQ((h.state & STATE_SYSTEM_CHECKED) != 0, cell == 0 || cell == 17) << cell;
      EXPECT_EQ(h.description, cell == 17 ? L"折れ位置 A" : L"") << cell;
    }
  }
  EXPECT_EQ(cells, 20);
  const wchar_t* const layouts[] = {L"Ｌ字（右上）", L"Ｌ字（左下）", L"中央"};
  for (int i = 0; i < 3; ++i) {
    HWND picture = GetDlgItem(s, IDC_FIXED_LAYOUT_PICTURE + i);
    const Heard h = HearOf(picture);
    EXPECT_EQ(h.name, layouts[i]);
    EXPECT_EQ(h.role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ((h.state & STATE_SYSTEM_CHECKED) != 0, i == 1);
    wchar_t tip[100] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = s;
    ti.uId = reinterpret_cast<UINT_PTR>(picture);
    ti.lpszText = tip;
    SendMessageW(lineFormatDialog->TooltipWindow(), TTM_GETTEXTW, 100, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(tip, layouts[i]);
  }

  Press(s, VK_RETURN);  // Enter on the cells is OK's
  ASSERT_TRUE(lineFormatDialog->Ended());
  const MessageFormat f = ReadMessage(file_, 3).value().format;
  EXPECT_EQ(f.marks[0], 'A');
  EXPECT_EQ(f.marks[17], 'A');
  EXPECT_EQ(f.fold, static_cast<char>(33 + 17));
  EXPECT_EQ(f.kind, 'A');
  EXPECT_EQ(f.layout, 'B');
}

TEST_F(DialogsTest, FormatCellFontFollowsTheCellsSize) {
  auto lineFormatDialog = OpenLineFormatDialog(0);
  HWND s = lineFormatDialog->hwnd();
  HWND cell = GetDlgItem(s, IDC_CHARACTER_CELL);
  RECT r{};
  GetClientRect(cell, &r);
  UpdateWindow(s);
  EXPECT_EQ(lineFormatDialog->CellFontHeight(), r.bottom);
  // As the cells grow when the dialog moves to a monitor of a higher DPI.
  SetWindowPos(cell, nullptr, 0, 0, r.right * 3 / 2, r.bottom * 3 / 2, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(cell, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(lineFormatDialog->CellFontHeight(), r.bottom * 3 / 2);
}

}  // namespace
}  // namespace zor::win
