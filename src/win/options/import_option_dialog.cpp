#include "win/options/import_option_dialog.h"

#include "core/data/settings_schema.h"
#include "win/options/import_option_dialog_ids.h"

namespace zor::win {

ImportOptionDialog::ImportOptionDialog(DialogServices& services, ProfileStore& store, std::int16_t importLimit)
    : Dialog(IDD_IMPORT_OPTION), services_(services), store_(store), importLimit_(importLimit) {}

bool ImportOptionDialog::OnInit() {
  SetChecked(IDC_IMPORT_LIMIT, importLimit_ != 0);
  tooltips_.Add(hwnd(), Item(IDC_IMPORT_LIMIT), L"インポートで登録される行数を100行までとする");
  CentreOnScreen();
  return true;
}

void ImportOptionDialog::Save(HWND reportOwner) {
  if (saved_) return;
  saved_ = true;
  const std::int16_t value = Checked(IDC_IMPORT_LIMIT) ? -1 : 0;
  outcome_ = SaveSetting(store_, SettingKey::kImportLimit, value);
  if (outcome_.ok()) {
    importLimit_ = value;
  } else {
    services_.Warn(reportOwner, outcome_.message());
  }
}

bool ImportOptionDialog::OnCommand(int id, int code, HWND control) {
  // OK, Esc and the close box (which arrives as IDCANCEL) all save.
  if (id == IDOK || id == IDCANCEL) {
    Save(hwnd());
    End(id);
    return true;
  }
  return Dialog::OnCommand(id, code, control);
}

void ImportOptionDialog::OnClose() {
  // Destroyed without a command (its owner went first): still saved, the
  // failure reported without an owner that is going away.
  Save(nullptr);
  tooltips_.Destroy();
}

std::int16_t RunImportOption(DialogServices& services, HWND owner, ProfileStore& store, std::int16_t importLimit) {
  ImportOptionDialog option(services, store, importLimit);
  services.RunDialog(option, owner);
  return option.ImportLimit();
}

}  // namespace zor::win
