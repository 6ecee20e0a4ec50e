// The message entry form: one message typed for an add or a correction,
// written through the list editor on OK.
#pragma once

#include "core/data/status.h"
#include "core/settings_dialog/list_editor.h"
#include "core/settings_dialog/message_entry.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"

namespace zor::win {

class MessageEntryDialog final : public ModelDialog {
 public:
  // editIndex: -1 adds a message, otherwise the row to correct.
  MessageEntryDialog(ListEditor& editor, int editIndex);

 protected:
  bool OnInit() override;
  // The length and the reason under the text, and OK.
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  // Writes the message through the editor, when it can be registered.
  void Confirm() override;

 private:
  // The typed text into the model; look-alikes it replaced are shown replaced.
  void TakeText();

  ListEditor& editor_;
  MessageEntry entry_;
  UniqueFont font_;
  bool showingModelText_ = false;
};

// The entry form of an add (editIndex -1) or of the correction of row
// editIndex, run modally over owner; what its OK wrote (ok when nothing).
[[nodiscard]] Status RunMessageEntry(DialogServices& services, HWND owner, ListEditor& editor, int editIndex);

}  // namespace zor::win
