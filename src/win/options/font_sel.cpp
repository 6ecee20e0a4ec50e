#include "win/options/font_sel.h"

#include "win/common/faces.h"
#include "win/common/handles.h"
#include "win/options/font_sel_ids.h"

namespace zor::win {

FontSel::FontSel(DialogServices& services, ProfileStore& store)
    : Dialog(IDD_FontSel), services_(services), store_(store) {}

bool FontSel::OnInit() {
  {
    WaitCursor hourglass;
    model_ = FontChooserModel(ChoosableFaces(SystemFaceNames()));
    HWND list = Item(IDC_List1);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& face : model_.Rows()) {
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  }
  EnableItem(IDOK, model_.OkEnabled());
  CentreOnScreen();
  return true;
}

void FontSel::Confirm() {
  // Enter reaches here through the default button even while it is disabled.
  if (!model_.OkEnabled()) return;
  Result<std::wstring> written = model_.Confirm(store_);
  if (!written.ok()) {
    services_.Warn(hwnd(), written.status().message());
    return;
  }
  chosen_ = std::move(written.value());
  End(IDOK);
}

bool FontSel::OnCommand(int id, int code, HWND control) {
  if (id == IDC_List1) {
    if (code == LBN_SELCHANGE) {
      model_.Click(static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)));
      EnableItem(IDOK, model_.OkEnabled());
    }
    return true;
  }
  if (id == IDOK) {
    Confirm();
    return true;
  }
  return Dialog::OnCommand(id, code, control);
}

std::optional<std::wstring> RunFontChooser(DialogServices& services, HWND owner, ProfileStore& store) {
  FontSel chooser(services, store);
  services.RunDialog(chooser, owner);
  return chooser.Chosen();
}

}  // namespace zor::win
