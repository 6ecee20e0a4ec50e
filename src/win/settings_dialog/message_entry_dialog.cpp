#include "win/settings_dialog/message_entry_dialog.h"

#include "win/settings_dialog/message_entry_dialog_ids.h"

namespace zor::win {

namespace {

// "ＭＳ ゴシック" at the dialog font's height; the system substitutes a
// Japanese Gothic face where it is missing.
UniqueFont EntryFont(HWND dialog) {
  LOGFONTW lf{};
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (!dialogFont || !GetObjectW(dialogFont, sizeof lf, &lf)) return UniqueFont();
  lf.lfHeight = lf.lfHeight * 5 / 4;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy_s(lf.lfFaceName, L"ＭＳ ゴシック");
  return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace

MessageEntryDialog::MessageEntryDialog(ListEditor& editor, int editIndex)
    : ModelDialog(IDD_MESSAGE_ENTRY), editor_(editor),
      entry_(editIndex < 0 ? MessageEntry::ForAdd()
                           : MessageEntry::ForCorrect(editor.Rows().at(static_cast<std::size_t>(editIndex)))) {}

bool MessageEntryDialog::OnInit() {
  SetWindowTextW(hwnd(), std::wstring(entry_.Caption()).c_str());
  font_ = EntryFont(hwnd());
  if (font_) SendDlgItemMessageW(hwnd(), IDC_ENTRY_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SetItemText(IDC_ENTRY_TEXT, entry_.InitialText());
  SendDlgItemMessageW(hwnd(), IDC_ENTRY_TEXT, EM_SETSEL, 0, static_cast<LPARAM>(entry_.InitialSelectionLength()));
  TakeText();
  ShowModel();
  CentreOnScreen();
  SetFocus(Item(IDC_ENTRY_TEXT));
  return false;
}

void MessageEntryDialog::Confirm() {
  // Enter reaches here through the default button even while it is disabled.
  if (!entry_.OkEnabled()) {
    SetFocus(Item(IDC_ENTRY_TEXT));
    return;
  }
  EndWritten(entry_.Commit(editor_));
}

void MessageEntryDialog::TakeText() {
  const std::wstring typed = ItemText(IDC_ENTRY_TEXT);
  entry_.SetText(typed);
  if (entry_.Text() != typed) {
    // Each replacement is one unit for one, so the caret and selection stay put.
    DWORD from = 0;
    DWORD to = 0;
    SendDlgItemMessageW(hwnd(), IDC_ENTRY_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    showingModelText_ = true;
    SetItemText(IDC_ENTRY_TEXT, entry_.Text());
    showingModelText_ = false;
    SendDlgItemMessageW(hwnd(), IDC_ENTRY_TEXT, EM_SETSEL, from, static_cast<LPARAM>(to));
  }
}

void MessageEntryDialog::ShowModel() {
  SetItemText(IDC_ENTRY_STATUS, entry_.StatusLine());
  EnableItem(IDOK, entry_.OkEnabled());
}

bool MessageEntryDialog::ToModel(int id, int code) {
  if (id != IDC_ENTRY_TEXT || code != EN_CHANGE) return false;
  if (!showingModelText_) TakeText();
  return true;
}

Status RunMessageEntry(DialogServices& services, HWND owner, ListEditor& editor, int editIndex) {
  MessageEntryDialog entry(editor, editIndex);
  services.RunDialog(entry, owner);
  return entry.Outcome();
}

}  // namespace zor::win
