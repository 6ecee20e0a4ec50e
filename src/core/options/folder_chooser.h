// The rules of the picture folder chooser: where its lists start, which file
// it selects at first, its caption and viewer button, and what its OK
// accepts and writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/settings.h"
#include "core/data/status.h"
#include "core/options/image_options.h"

namespace zor {

enum class ChooserMode : std::int16_t { kBackground = 0, kInterval = 1 };

inline constexpr std::wstring_view kChooseFileMessage = L"画像ファイルを選択してください。";
inline constexpr std::wstring_view kNoPicturesMessage =
    L"このフォルダには画像ファイルが存在しません。\nBMP/GIF/JPGファイルの格納されたフォルダを選択してください。";

// What the chooser shows besides its lists.
struct ChooserView {
  std::wstring caption;
  bool checkVisible = false;  // "ﾌｧｲﾙで指定"
  bool checked = false;
  bool viewerEnabled = false;
  std::wstring folder;                  // the file list's folder
  std::optional<std::wstring> selected;  // the file selected in it
  bool operator==(const ChooserView&) const = default;
};

// What OK gave: the chooser closes, or stays open with a warning.
struct ChooserOutcome {
  bool close = false;
  std::wstring warning;  // shown when not empty
};

// Why a path StorablePath refuses cannot be chosen (the message the folder
// chooser and the file commands show); empty when the path can be stored.
[[nodiscard]] std::wstring UnstorablePathReason(std::wstring_view path);

class FolderChooserModel {
 public:
  FolderChooserModel(ChooserMode mode, const Settings& stored, std::wstring programFolder);

  [[nodiscard]] const ChooserView& View() const { return view_; }
  [[nodiscard]] ChooserMode Mode() const { return mode_; }

  // The folder the lists start in: the stored folder of the mode when it
  // exists, else the program folder (also when none is stored).
  [[nodiscard]] std::wstring StartFolder(const std::function<bool(const std::wstring&)>& folderExists) const;
  // At the start, in background mode with a file chosen: the row of the
  // stored file among the names listed for folder (the full paths compared
  // exactly, blanks at the ends of the stored one trimmed).
  [[nodiscard]] std::optional<std::size_t> StoredFileRow(const std::wstring& folder,
                                                         const std::vector<std::wstring>& names) const;

  // "ﾌｧｲﾙで指定" ticked or cleared; clearing drops the selection.
  void SetChecked(bool checked);
  // The file list now shows folder with that many files, none selected.
  void FolderListed(std::wstring folder, std::size_t files);
  // A file of the list selected (nullopt: none).
  void SelectFile(std::optional<std::wstring> name);
  // The full path of the selected file; empty when none is.
  [[nodiscard]] std::wstring SelectedPath() const;

  // OK: checks the choice, writes it and says whether the chooser closes.
  [[nodiscard]] ChooserOutcome Confirm(ProfileStore& store);
  // The sources as written by the last OK that wrote anything.
  [[nodiscard]] const std::optional<PictureSources>& Written() const { return written_; }

 private:
  void Caption();

  ChooserMode mode_;
  PictureSources sources_;
  std::wstring programFolder_;
  std::size_t files_ = 0;
  ChooserView view_;
  std::optional<PictureSources> written_;
};

}  // namespace zor
