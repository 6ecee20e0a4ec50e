// The display options dialog: interval, colour scheme, layout, order and
// emphasis of the registration file in use, written through the list editor
// on OK.
#pragma once

#include <string>

#include "core/data/default_face.h"
#include "core/data/status.h"
#include "core/settings_dialog/display_options.h"
#include "core/settings_dialog/list_editor.h"
#include "win/common/control_font.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"
#include "win/common/picture_choices.h"

namespace zor::win {

class DisplayOptionsDialog final : public ModelDialog {
 public:
  // Shows the options of the editor's file; caption replaces the design's.
  DisplayOptionsDialog(ListEditor& editor, std::wstring caption);

  [[nodiscard]] const DisplayOptionsModel& Model() const noexcept { return model_; }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  // Writes the options through the editor.
  void Confirm() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  void MakeChoices();
  void Scroll(int code, int position);
  void DrawItem(const DRAWITEMSTRUCT& item);
  void DrawSample(HDC dc, const RECT& r);

  ListEditor& editor_;
  std::wstring caption_;
  DisplayOptionsModel model_;
  DisplayOptions shown_;  // what the controls show, so only changes are repainted
  bool shownOnce_ = false;
  ControlFont sampleFont_{kDefaultFace};
  PictureChoices choices_;
};

// The display options of the editor's file, captioned with the file's name,
// run modally over owner; what its OK wrote (ok when nothing).
[[nodiscard]] Status RunDisplayOptions(DialogServices& services, HWND owner, ListEditor& editor);

}  // namespace zor::win
