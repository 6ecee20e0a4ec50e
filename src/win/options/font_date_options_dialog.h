// The font and date options dialog: type face (chosen in FontChooser, which
// writes it at once), weight, decoration, year style and numerals. The four
// settings besides the face are written however the dialog closes.
#pragma once

#include "core/data/settings.h"
#include "core/options/font_date_options.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"
#include "win/common/save_on_close_dialog.h"

namespace zor::win {

class FontDateOptionsDialog final : public SaveOnCloseDialog {
 public:
  // Reads the settings from store and writes there; FontChooser runs through
  // services, and a failed write is reported through them.
  FontDateOptionsDialog(DialogServices& services, ProfileStore& store);

  [[nodiscard]] const FontDateOptionsModel& Model() const noexcept { return model_; }
  // The values in use once the dialog has closed: each one written, or the
  // old one where its write failed.
  [[nodiscard]] const FontDateSettings& Stored() const noexcept { return model_.Stored(); }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  Status Save() override;

 private:
  void ShowSample(const FontDateView& view);
  void ChooseFace();

  ProfileStore& store_;
  FontDateOptionsModel model_;
  FontDateView shown_;
  UniqueFont sampleFont_;
  bool sampleMade_ = false;
};

// The font and date options over owner, read from and written to store;
// the values in use once it has closed (a failed write is reported in it).
FontDateSettings RunFontDateOptions(DialogServices& services, HWND owner, ProfileStore& store);

}  // namespace zor::win
