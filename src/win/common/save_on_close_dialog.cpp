#include "win/common/save_on_close_dialog.h"

namespace zor::win {

void SaveOnCloseDialog::SaveOnce(HWND reportOwner) {
  if (saved_) return;
  saved_ = true;
  SetOutcome(Save());
  if (!Outcome().ok()) services_.Warn(reportOwner, Outcome().message());
}

void SaveOnCloseDialog::SaveAndEnd(int code) {
  SaveOnce(hwnd());
  End(code);
}

void SaveOnCloseDialog::Confirm() { SaveAndEnd(IDOK); }

bool SaveOnCloseDialog::OnCommand(int id, int code, HWND control) {
  if (id != IDCANCEL) return ModelDialog::OnCommand(id, code, control);
  SaveAndEnd(IDCANCEL);
  return true;
}

void SaveOnCloseDialog::OnClose() {
  // Destroyed without a command (its owner went first): still saved, the
  // failure told without an owner that is going away.
  SaveOnce(nullptr);
}

}  // namespace zor::win
