#include "win/options/import_option_dialog.h"

#include "core/data/settings_schema.h"
#include "win/options/import_option_dialog_ids.h"

namespace zor::win {

ImportOptionDialog::ImportOptionDialog(DialogServices& services, ProfileStore& store, std::int16_t importLimit)
    : SaveOnCloseDialog(IDD_IMPORT_OPTION, services), store_(store), importLimit_(importLimit) {}

bool ImportOptionDialog::OnInit() {
  ShowModel();
  tooltips_.Add(hwnd(), Item(IDC_IMPORT_LIMIT), L"インポートで登録される行数を100行までとする");
  CentreOnScreen();
  return true;
}

void ImportOptionDialog::ShowModel() { SetChecked(IDC_IMPORT_LIMIT, importLimit_ != 0); }

Status ImportOptionDialog::Save() {
  const std::int16_t value = Checked(IDC_IMPORT_LIMIT) ? -1 : 0;
  Status written = SaveSetting(store_, SettingKey::kImportLimit, value);
  if (written.ok()) importLimit_ = value;
  return written;
}

void ImportOptionDialog::OnClose() {
  SaveOnCloseDialog::OnClose();
  tooltips_.Destroy();
}

std::int16_t RunImportOption(DialogServices& services, HWND owner, ProfileStore& store, std::int16_t importLimit) {
  ImportOptionDialog option(services, store, importLimit);
  services.RunDialog(option, owner);
  return option.ImportLimit();
}

}  // namespace zor::win
