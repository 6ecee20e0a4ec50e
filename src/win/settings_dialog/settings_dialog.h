// The message list editor: the settings mode's main dialog. It binds the
// controls to the list editor model and shows its state; every edit is
// written to the registration file at once. The file commands' rules are in
// core/settings_dialog/registration_file_commands.h, the list and the
// thumbnails are views of their own.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "core/data/settings.h"
#include "core/data/settings_file.h"
#include "core/settings_dialog/list_editor.h"
#include "core/settings_dialog/registration_file_commands.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/tooltips.h"
#include "win/settings_dialog/file_command_dialogs.h"
#include "win/settings_dialog/message_drag_list.h"
#include "win/settings_dialog/thumbnail_strip.h"

namespace zor::win {

class SettingsDialog final : public Dialog {
 public:
  // programFolder holds "ZORANTE.ini"; every blocking call goes through services.
  SettingsDialog(DialogServices& services, std::filesystem::path programFolder);

  [[nodiscard]] const ListEditor& Editor() const noexcept { return editor_; }
  // The thumbnails drawn for the selected row (tests look at them).
  [[nodiscard]] HBITMAP Thumbnail(int index) const noexcept { return strip_.Thumbnail(index); }
  [[nodiscard]] HWND TooltipWindow() const noexcept { return tips_.hwnd(); }
  // Draws pending thumbnails now instead of after the selection settles.
  void FlushThumbnails() { strip_.Flush(); }

  // What the thumbnail click and the drag do, for tests that cannot press a mouse.
  void ThumbnailClicked(int index, bool rightButton);
  void DragRows(int fromRow, int toRow);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnClose() override;
  // The list's keys and the accelerators.
  bool PreTranslate(MSG& msg) override;

 private:
  // The settings file records the file a command left in use.
  void Record(const FileCommandResult& result);
  void WriteLoadFileName(const std::wstring& path);
  void DisplayOptions();
  void FontOptions();
  void ImageOptions();
  void ImportOption();
  void ShowModel();
  void Report(const Status& status);
  void MakeTooltips();

  void Add();
  void Correct();
  void Delete();
  void Format();
  void Move(MoveKind kind);
  void StepHistory(bool forward);

  DialogServices& services_;
  std::filesystem::path programFolder_;
  SettingsFileStore store_;  // the program folder's settings file
  Settings settings_;
  ListEditor editor_;
  FileCommandDialogs fileDialogs_;
  RegistrationFileCommands commands_;
  MessageDragList list_;
  ThumbnailStrip strip_;
  Tooltips tips_;
  HACCEL keys_ = nullptr;  // from the resources: never destroyed
};

// The settings mode: the list editor until it is closed, with the system's dialogs.
int RunSettingsDialog();

}  // namespace zor::win
