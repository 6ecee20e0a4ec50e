// The type-face chooser: lists the faces that have a vertical ("@")
// variant and writes the one chosen with OK as "UseFont" at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/settings.h"
#include "core/options/font_date_options.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/faces.h"

namespace zor::win {

class FontChooser final : public ModelDialog {
 public:
  // The write goes to store; a failed one is reported through services and
  // the chooser stays open.
  FontChooser(DialogServices& services, ProfileStore& store);

  // The face written by OK; nothing when cancelled.
  [[nodiscard]] const std::optional<std::wstring>& Chosen() const noexcept { return chosen_; }
  [[nodiscard]] const FontChooserModel& Model() const noexcept { return model_; }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  // Writes the face chosen and ends, or tells why not and stays open.
  void Confirm() override;

 private:
  DialogServices& services_;
  ProfileStore& store_;
  FontChooserModel model_{{}};
  std::optional<std::wstring> chosen_;
};

// The type-face chooser over owner, writing the face chosen with OK to
// store at once; that face, nothing when cancelled.
[[nodiscard]] std::optional<std::wstring> RunFontChooser(DialogServices& services, HWND owner, ProfileStore& store);

}  // namespace zor::win
