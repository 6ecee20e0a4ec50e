// The image options dialog: background placement and scaling, interval
// pictures and their scaling, the colour from the file name, and the two
// sources, changed in the folder chooser. The five settings of the dialog
// are written however it closes.
#pragma once

#include <filesystem>

#include "core/data/settings.h"
#include "core/options/folder_chooser.h"
#include "core/options/image_options.h"
#include "win/common/dialog_services.h"
#include "win/common/picture_choices.h"
#include "win/common/save_on_close_dialog.h"
#include "win/common/tooltips.h"

namespace zor::win {

class ImageOptionsDialog final : public SaveOnCloseDialog {
 public:
  // Reads the settings from store (paths defaulting to the program folder)
  // and writes there; the chooser runs through services, and a failed
  // write is reported through them.
  ImageOptionsDialog(DialogServices& services, ProfileStore& store, std::filesystem::path programFolder);

  [[nodiscard]] const ImageOptionsModel& Model() const noexcept { return model_; }
  // The settings in use once the dialog has closed.
  [[nodiscard]] const Settings& Stored() const noexcept { return model_.Stored(); }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  Status Save() override;
  void OnClose() override;

 private:
  void Choose(ChooserMode mode);

  ProfileStore& store_;
  std::filesystem::path programFolder_;
  ImageOptionsModel model_;
  ImageOptionsView shown_;
  bool shownOnce_ = false;
  Tooltips tips_;
  PictureChoices choices_;
};

// A scaling picture: a screen with a picture placed as the mode places it
// (0 own size, 1 whole picture visible, 2 screen filled, 3 stretched),
// framed in light red when it is the current mode, else in black.
void DrawStretchPicture(HDC dc, const RECT& r, int mode, bool current);

// The image options over owner, read from and written to store; the
// settings in use once it has closed (a failed write is reported in it).
Settings RunImageOptions(DialogServices& services, HWND owner, ProfileStore& store,
                         const std::filesystem::path& programFolder);

}  // namespace zor::win
