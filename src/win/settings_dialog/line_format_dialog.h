// The line format dialog: emphasis marks, fold position and kind, random
// emphasis and a fixed layout of one message, written through the list
// editor on OK.
#pragma once

#include "core/data/registration_file.h"
#include "core/settings_dialog/line_format.h"
#include "core/settings_dialog/list_editor.h"
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
  // What the write on OK gave (ok when nothing was written).
  [[nodiscard]] const Status& Outcome() const noexcept { return outcome_; }
  [[nodiscard]] HWND TooltipWindow() const noexcept { return tips_.hwnd(); }
  // The height of the characters' font, 0 before the first cell is drawn.
  [[nodiscard]] int CellFontHeight() const noexcept { return cellFontHeight_; }

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
  HFONT CellFont(int cellHeight);

  ListEditor& editor_;
  LineFormatModel model_;
  LineFormatView shown_;
  UniqueFont cellFont_;
  int cellFontHeight_ = 0;
  Tooltips tips_;
  PictureChoices choices_;
  Status outcome_;
};

// The line format dialog of message (the selected row's record), run
// modally over owner; what its OK wrote (ok when nothing).
[[nodiscard]] Status RunLineFormat(DialogServices& services, HWND owner, ListEditor& editor, const Message& message);

}  // namespace zor::win
