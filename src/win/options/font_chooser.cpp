#include "win/options/font_chooser.h"

#include "win/common/faces.h"
#include "win/common/handles.h"
#include "win/options/font_chooser_ids.h"

namespace zor::win {

FontChooser::FontChooser(DialogServices& services, ProfileStore& store)
    : ModelDialog(IDD_FONT_CHOOSER), services_(services), store_(store) {}

bool FontChooser::OnInit() {
  {
    WaitCursor hourglass;
    model_ = FontChooserModel(ChoosableFaces(SystemFaceNames()));
    HWND list = Item(IDC_FACE_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& face : model_.Rows()) {
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  }
  ShowModel();
  CentreOnScreen();
  return true;
}

void FontChooser::Confirm() {
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

void FontChooser::ShowModel() { EnableItem(IDOK, model_.OkEnabled()); }

bool FontChooser::ToModel(int id, int code) {
  if (id != IDC_FACE_LIST) return false;
  if (code == LBN_SELCHANGE) model_.Click(static_cast<int>(SendMessageW(Item(IDC_FACE_LIST), LB_GETCURSEL, 0, 0)));
  return true;
}

std::optional<std::wstring> RunFontChooser(DialogServices& services, HWND owner, ProfileStore& store) {
  FontChooser chooser(services, store);
  services.RunDialog(chooser, owner);
  return chooser.Chosen();
}

}  // namespace zor::win
