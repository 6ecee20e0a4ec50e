// The import option dialog: whether a text import registers at most 100
// lines ("ImportLimit"). The setting is written however the dialog closes.
#pragma once

#include <cstdint>

#include "core/data/settings.h"
#include "win/common/dialog_services.h"
#include "win/common/save_on_close_dialog.h"
#include "win/common/tooltips.h"

namespace zor::win {

class ImportOptionDialog final : public SaveOnCloseDialog {
 public:
  // importLimit: the value in use (non-zero limits imports); the write goes
  // to store and a failed one is reported through services.
  ImportOptionDialog(DialogServices& services, ProfileStore& store, std::int16_t importLimit);

  // The value in use once the dialog has closed: the one written (-1 or 0),
  // or the old one when the write failed.
  [[nodiscard]] std::int16_t ImportLimit() const noexcept { return importLimit_; }
  [[nodiscard]] HWND TooltipWindow() const noexcept { return tooltips_.hwnd(); }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  // The check box is read when the dialog closes.
  bool ToModel(int /*id*/, int /*code*/) override { return false; }
  Status Save() override;
  void OnClose() override;

 private:
  ProfileStore& store_;
  std::int16_t importLimit_;
  Tooltips tooltips_;
};

// The import option over owner, starting from importLimit and written to
// store; the value in use once it has closed (a failed write is reported in it).
[[nodiscard]] std::int16_t RunImportOption(DialogServices& services, HWND owner, ProfileStore& store,
                                           std::int16_t importLimit);

}  // namespace zor::win
