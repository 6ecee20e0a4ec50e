// A model dialog whose settings are written however it closes: OK, Esc, the
// close box (which arrives as IDCANCEL), or destroyed with its owner. They
// are written once; a failure is told through the dialog services.
#pragma once

#include "core/data/status.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"

namespace zor::win {

class SaveOnCloseDialog : public ModelDialog {
 protected:
  SaveOnCloseDialog(int templateId, DialogServices& services) noexcept : ModelDialog(templateId), services_(services) {}

  // Writes the dialog's settings; the first failure.
  [[nodiscard]] virtual Status Save() = 0;

  void Confirm() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnClose() override;

  [[nodiscard]] DialogServices& Services() const noexcept { return services_; }

 private:
  // The failure is told over reportOwner.
  void SaveOnce(HWND reportOwner);
  void SaveAndEnd(int code);

  DialogServices& services_;
  bool saved_ = false;
};

}  // namespace zor::win
