// The line format dialog: emphasis marks, fold position and kind, random
// emphasis and a fixed layout of one message, written through the list
// editor on OK.
#pragma once

#include "core/data/registration_file.h"
#include "core/settings_dialog/line_format.h"
#include "core/settings_dialog/list_editor.h"
#include "win/common/control_font.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"
#include "win/common/picture_choices.h"
#include "win/common/tooltips.h"

namespace zor::win {

class LineFormatDialog final : public ModelDialog {
 public:
  // message: the selected row's record as read for the dialog.
  LineFormatDialog(ListEditor& editor, const Message& message);

  [[nodiscard]] const LineFormatModel& Model() const noexcept { return model_; }
  [[nodiscard]] HWND TooltipWindow() const noexcept { return tips_.hwnd(); }
  // The height of the characters' font, 0 before the first cell is drawn.
  [[nodiscard]] int CellFontHeight() const noexcept { return cellFont_.Height(); }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  // Writes the format through the editor.
  void Confirm() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnClose() override;

 private:
  void MakeChoices();
  void DrawItem(const DRAWITEMSTRUCT& item);

  ListEditor& editor_;
  LineFormatModel model_;
  LineFormatView shown_;
  ControlFont cellFont_{L"ＭＳ ゴシック"};
  Tooltips tips_;
  PictureChoices choices_;
};

// The line format dialog of message (the selected row's record), run
// modally over owner; what its OK wrote (ok when nothing).
[[nodiscard]] Status RunLineFormat(DialogServices& services, HWND owner, ListEditor& editor, const Message& message);

}  // namespace zor::win
