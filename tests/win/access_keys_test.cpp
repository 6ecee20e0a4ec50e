// Access keys of every dialog and menu: each labelled button and box has
// one, and no two share a letter within a dialog (its menu bar included)
// or within a menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "win/options/display_options_dialog_ids.h"
#include "win/options/font_chooser_ids.h"
#include "win/options/font_date_options_dialog_ids.h"
#include "win/options/image_options_dialog_ids.h"
#include "win/options/import_option_dialog_ids.h"
#include "win/options/picture_folder_chooser_ids.h"
#include "win/options/version_box_ids.h"
#include "win/settings_dialog/line_format_dialog_ids.h"
#include "win/settings_dialog/message_entry_dialog_ids.h"
#include "win/settings_dialog/settings_dialog_ids.h"

namespace zor::win {
namespace {

// The access key of a text: the letter after a single '&', upper case; 0 for none.
wchar_t AccessKey(const std::wstring& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    return static_cast<wchar_t>(std::towupper(text[i + 1]));
  }
  return 0;
}

// The Japanese form: "(&X)" appended to the words, before a closing colon
// or a menu item's "..." and its key name.
bool AppendedInJapaneseForm(const std::wstring& text) {
  const std::size_t at = text.find(L"(&");
  if (at == std::wstring::npos || at + 3 >= text.size() || text[at + 3] != L')') return false;
  const std::wstring rest = text.substr(at + 4);
  return rest.empty() || rest == L"：" || rest == L"..." || rest.starts_with(L"\t") || rest.starts_with(L"...\t");
}

INT_PTR CALLBACK Inert(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

struct Labelled {
  std::wstring text;
  bool needsKey;  // a push button or box the user reads by its words
};

std::vector<Labelled> ControlsOf(int dialogId) {
  std::vector<Labelled> found;
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), nullptr, Inert, 0);
  if (!dialog) return found;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = L"";
    wchar_t text[256] = L"";
    GetClassNameW(c, cls, 32);
    GetWindowTextW(c, text, 256);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    const LONG kind = style & BS_TYPEMASK;
    const bool button = _wcsicmp(cls, L"Button") == 0;
    const bool box = button && (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX);
    const bool push = button && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
    const int id = GetDlgCtrlID(c);
    const bool standard = id == IDOK || id == IDCANCEL || std::wstring(text) == L"OK";
    found.push_back({text, (box || push) && text[0] != L'\0' && !standard});
  }
  DestroyWindow(dialog);
  return found;
}

void ExpectUnique(const std::vector<std::wstring>& texts, const std::string& where) {
  std::map<wchar_t, std::wstring> owner;
  for (const std::wstring& t : texts) {
    const wchar_t key = AccessKey(t);
    if (key == 0) continue;
    EXPECT_TRUE(AppendedInJapaneseForm(t)) << where;
    const auto [it, fresh] = owner.emplace(key, t);
    EXPECT_TRUE(fresh) << where << ": '" << static_cast<char>(key) << "' twice";
  }
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    texts.emplace_back(text);
  }
  return texts;
}

TEST(AccessKeys, EveryLabelledControlHasOneAndNoneClash) {
  const std::pair<int, const char*> dialogs[] = {
      {IDD_SETTINGS_DIALOG, "settings"},          {IDD_MESSAGE_ENTRY, "entry"},
      {IDD_LINE_FORMAT, "line format"},           {IDD_DISPLAY_OPTIONS, "display options"},
      {IDD_IMAGE_OPTIONS, "image options"},       {IDD_FONT_DATE_OPTIONS, "font and date"},
      {IDD_FONT_CHOOSER, "font chooser"},         {IDD_IMPORT_OPTION, "import option"},
      {IDD_PICTURE_FOLDER_CHOOSER, "folder chooser"}, {IDD_VERSION_BOX, "version box"},
  };
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_SETTINGS_MENU));
  ASSERT_NE(menu, nullptr);
  for (const auto& [id, name] : dialogs) {
    const std::vector<Labelled> controls = ControlsOf(id);
    ASSERT_FALSE(controls.empty()) << name;
    std::vector<std::wstring> texts;
    for (const Labelled& c : controls) {
      texts.push_back(c.text);
      if (c.needsKey) {
        EXPECT_NE(AccessKey(c.text), 0) << name << ": a control without an access key";
      }
    }
    if (id == IDD_SETTINGS_DIALOG) {
      // The menu bar's letters share the dialog's Alt keys.
      for (const std::wstring& t : MenuTexts(menu)) texts.push_back(t);
    }
    ExpectUnique(texts, name);
  }
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    if (!popup) continue;
    const std::vector<std::wstring> items = MenuTexts(popup);
    for (const std::wstring& t : items) {
      if (!t.empty()) {
        EXPECT_NE(AccessKey(t), 0) << "menu " << i << ": an item without an access key";
      }
    }
    ExpectUnique(items, "menu " + std::to_string(i));
  }
  DestroyMenu(menu);
}

}  // namespace
}  // namespace zor::win
