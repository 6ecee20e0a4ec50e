// The message list editor: the settings mode's main dialog. It binds the
// controls to the list editor model and shows its state; every edit is
// written to the registration file at once.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data/settings.h"
#include "core/settings_dialog/list_editor.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/common/handles.h"

namespace zor::win {

class ConfigForm final : public Dialog {
 public:
  // programFolder holds "ZORANTE.ini"; every blocking call goes through services.
  ConfigForm(DialogServices& services, std::filesystem::path programFolder);
  ~ConfigForm() override;

  [[nodiscard]] const ListEditor& Editor() const noexcept { return editor_; }
  // The thumbnails drawn for the selected row (tests look at them).
  [[nodiscard]] HBITMAP Thumbnail(int index) const noexcept;
  // Draws pending thumbnails now instead of after the selection settles.
  void FlushThumbnails();

  // What the thumbnail click and the drag do, for tests that cannot press a mouse.
  void ThumbnailClicked(int index, bool rightButton);
  void DragRows(int fromRow, int toRow);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnClose() override;

 private:
  void LoadStep();
  void OpenRegistrationFile(bool atLoad);
  void NewRegistrationFile();
  void RenameRegistrationFile();
  void ImportText();
  void ExportText();
  // False (after saying so) for a path the settings file cannot hold.
  [[nodiscard]] bool StorablePath(const std::wstring& path);
  void CommonDialogError(DWORD error);
  void DisplayOptions();
  void FontOptions();
  void ImageOptions();
  void ImportOption();
  void WriteLoadFileName(const std::wstring& path);
  void Apply();
  void FillList();
  void SelectionChanged();
  void Report(const Status& status);

  void Add();
  void Correct();
  void Delete();
  void Format();
  void Move(MoveKind kind);

  void MakeTooltips();
  void ScheduleThumbnails();
  void DrawThumbnails();
  void DrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnDragList(const DRAGLISTINFO& info);
  void EndInsertMark();

  static LRESULT CALLBACK ThumbnailProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self) noexcept;

  DialogServices& services_;
  std::filesystem::path programFolder_;
  Settings settings_;
  ListEditor editor_;
  std::vector<std::wstring> listed_;  // rows as the list box shows them
  int dragStartRow_ = -1;
  int dragOver_ = -1;
  HWND tooltip_ = nullptr;
  HCURSOR dragCursor_ = nullptr;
  std::array<UniqueBitmap, 6> thumbnails_;
  bool thumbnailsPending_ = false;
};

// The settings mode: the list editor until it is closed, with the system's dialogs.
int RunSettingsDialog();

}  // namespace zor::win
