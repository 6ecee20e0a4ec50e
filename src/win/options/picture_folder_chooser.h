// The picture folder chooser: a drive list, a folder list and a file
// list of pictures; in background mode a folder or (with "ﾌｧｲﾙで指定") one
// file, in interval mode a folder. OK writes the choice; Cancel nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/data/settings.h"
#include "core/options/folder_chooser.h"
#include "win/common/dialog.h"
#include "win/common/dialog_services.h"
#include "win/options/picture_viewer.h"

namespace zor::win {

class PictureFolderChooser final : public ModelDialog {
 public:
  // Reads the settings from store and writes there on OK; the viewer and
  // messages go through services.
  PictureFolderChooser(DialogServices& services, ProfileStore& store, const std::filesystem::path& programFolder,
                       ChooserMode mode);

  [[nodiscard]] const FolderChooserModel& Model() const noexcept { return model_; }
  // The sources as OK wrote them; nullopt when nothing was written.
  [[nodiscard]] const std::optional<PictureSources>& Written() const noexcept { return model_.Written(); }
  // The folder the folder list shows, and the file list's names.
  [[nodiscard]] const std::wstring& Folder() const noexcept { return folder_; }
  [[nodiscard]] const std::vector<std::wstring>& Files() const noexcept { return files_; }
  // The preview of the selected file (tests).
  [[nodiscard]] const FittedPicture& Preview() const noexcept { return preview_; }

 protected:
  bool OnInit() override;
  void ShowModel() override;
  bool ToModel(int id, int code) override;
  // Writes the choice and ends, or warns and stays open.
  void Confirm() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  void FillDrives();
  // Moves the folder and file lists to folder; false (lists unchanged) and
  // the system's error code when it cannot be read.
  [[nodiscard]] bool MoveTo(const std::wstring& folder, DWORD& error);
  void ListFiles();
  void DriveChanged();
  void FolderOpened(int row);
  void FileClicked();
  void ShowPreview();
  void ShowViewer();

  DialogServices& services_;
  ProfileStore& store_;
  FolderChooserModel model_;
  std::vector<std::wstring> drives_;      // "C:\" and so on, as the drive list shows them
  std::vector<std::wstring> subfolders_;  // rows of the folder list after ".."
  bool hasParent_ = false;
  std::wstring folder_;
  std::vector<std::wstring> files_;
  FittedPicture preview_;
};

// The picture folder chooser of mode over owner, read from store and
// written there on OK; the sources OK wrote, nothing when cancelled.
[[nodiscard]] std::optional<PictureSources> RunPictureFolderChooser(DialogServices& services, HWND owner,
                                                                    ProfileStore& store,
                                                                    const std::filesystem::path& programFolder,
                                                                    ChooserMode mode);

}  // namespace zor::win
