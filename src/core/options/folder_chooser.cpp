#include "core/options/folder_chooser.h"

#include <utility>

#include "core/screen/background.h"
#include "core/data/settings_schema.h"
#include "core/text/measures.h"

namespace zor {

std::wstring UnstorablePathReason(std::wstring_view path) {
  switch (StorablePath(path)) {
    case PathStorability::kStorable:
      break;
    case PathStorability::kOutsideCp932:
      return L"このパスには設定ファイルに保存できない文字が含まれています。\n別の場所を選択してください。\n" +
             std::wstring(path);
    case PathStorability::kTooLong:
      return L"このパスは長すぎて設定ファイルに保存できません。\n別の場所を選択してください。\n" + std::wstring(path);
  }
  return {};
}

FolderChooserModel::FolderChooserModel(ChooserMode mode, const Settings& stored, std::wstring programFolder)
    : mode_(mode), sources_(PictureSources::From(stored)), programFolder_(std::move(programFolder)) {
  view_.checkVisible = mode_ == ChooserMode::kBackground;
  view_.checked = view_.checkVisible && sources_.backgroundFromFile == -1;
  Caption();
}

void FolderChooserModel::Caption() {
  if (mode_ == ChooserMode::kInterval) {
    view_.caption = L"インターバル画像参照フォルダ";
  } else {
    view_.caption = view_.checked ? L"背景画像" : L"背景画像参照フォルダ";
  }
}

std::wstring FolderChooserModel::StartFolder(const std::function<bool(const std::wstring&)>& folderExists) const {
  const std::wstring& stored = mode_ == ChooserMode::kInterval ? sources_.intervalFolder : sources_.backgroundFolder;
  if (!stored.empty() && folderExists(stored)) return stored;
  return programFolder_;
}

std::optional<std::size_t> FolderChooserModel::StoredFileRow(const std::wstring& folder,
                                                             const std::vector<std::wstring>& names) const {
  if (mode_ != ChooserMode::kBackground || sources_.backgroundFromFile != -1) return std::nullopt;
  const std::wstring wanted = Trim(sources_.backgroundSingleFile);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (JoinFolderFile(folder, names[i]) == wanted) return i;
  }
  return std::nullopt;
}

void FolderChooserModel::SetChecked(bool checked) {
  if (!view_.checkVisible) return;
  view_.checked = checked;
  if (!checked) {
    view_.selected.reset();
    view_.viewerEnabled = false;
  }
  Caption();
}

void FolderChooserModel::FolderListed(std::wstring folder, std::size_t files) {
  view_.folder = std::move(folder);
  files_ = files;
  view_.selected.reset();
  view_.viewerEnabled = false;
}

void FolderChooserModel::SelectFile(std::optional<std::wstring> name) {
  view_.selected = std::move(name);
  view_.viewerEnabled = view_.selected.has_value();
}

std::wstring FolderChooserModel::SelectedPath() const {
  return view_.selected ? JoinFolderFile(view_.folder, *view_.selected) : std::wstring();
}

ChooserOutcome FolderChooserModel::Confirm(ProfileStore& store) {
  const bool file = mode_ == ChooserMode::kBackground && view_.checked;
  if (!file && files_ == 0) return {false, std::wstring(kNoPicturesMessage)};
  if (file && !view_.selected) return {false, std::wstring(kChooseFileMessage)};

  const std::wstring folder = Trim(view_.folder);
  const std::wstring path = Trim(SelectedPath());
  if (std::wstring why = UnstorablePathReason(file ? path : folder); !why.empty()) return {false, std::move(why)};

  Settings values;
  sources_.CopyTo(values);
  std::vector<SettingKey> keys;
  if (mode_ == ChooserMode::kInterval) {
    values.intervalFolder = folder;
    keys = {SettingKey::kItBmpDir};
  } else {
    values.backgroundFromFile = file ? std::int16_t{-1} : std::int16_t{0};
    values.backgroundSingleFile = path;
    values.backgroundFolder = folder;
    keys = {SettingKey::kBgBmpDorB};
    if (file) keys.push_back(SettingKey::kBgBmpBmp);
    keys.push_back(SettingKey::kBgBmpDir);
  }
  Settings kept;
  sources_.CopyTo(kept);
  const SavedSettings saved = SaveSettings(store, keys, values, kept);
  if (saved.written > 0) {
    sources_ = PictureSources::From(kept);
    written_ = sources_;
  }
  const Status& first = saved.status;
  if (!first.ok()) return {false, first.message()};
  return {true, {}};
}

}  // namespace zor
