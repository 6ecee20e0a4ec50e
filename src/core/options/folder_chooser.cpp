#include "core/options/folder_chooser.h"

#include <utility>

#include "core/screen/background.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"

namespace zor {

namespace {

constexpr std::size_t kStoredPathMaxBytes = 259;

}  // namespace

std::wstring UnstorablePathReason(std::wstring_view path) {
  if (!FitsCp932(path)) {
    return L"このパスには設定ファイルに保存できない文字が含まれています。\n別の場所を選択してください。\n" +
           std::wstring(path);
  }
  if (ToCp932(path).size() > kStoredPathMaxBytes) {
    return L"このパスは長すぎて設定ファイルに保存できません。\n別の場所を選択してください。\n" + std::wstring(path);
  }
  return {};
}

FolderChooserModel::FolderChooserModel(ChooserMode mode, const Settings& stored, std::wstring programFolder)
    : mode_(mode), sources_(PictureSources::From(stored)), programFolder_(std::move(programFolder)) {
  view_.checkVisible = mode_ == ChooserMode::kBackground;
  view_.checked = view_.checkVisible && sources_.bgFileChosen == -1;
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
  const std::wstring& stored = mode_ == ChooserMode::kInterval ? sources_.itDir : sources_.bgDir;
  if (!stored.empty() && folderExists(stored)) return stored;
  return programFolder_;
}

std::optional<std::size_t> FolderChooserModel::StoredFileRow(const std::wstring& folder,
                                                             const std::vector<std::wstring>& names) const {
  if (mode_ != ChooserMode::kBackground || sources_.bgFileChosen != -1) return std::nullopt;
  const std::wstring wanted = Trim(sources_.bgFile);
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

  PictureSources next = sources_;
  struct Write {
    std::wstring_view key;
    std::wstring text;
    std::int16_t number;
    std::function<void(PictureSources&)> apply;
  };
  std::vector<Write> writes;
  if (mode_ == ChooserMode::kInterval) {
    writes.push_back({L"ItBMPDir", folder, 0, [&](PictureSources& s) { s.itDir = folder; }});
  } else {
    const std::int16_t chosen = file ? -1 : 0;
    writes.push_back({L"BgBMPDorB", {}, chosen, [chosen](PictureSources& s) { s.bgFileChosen = chosen; }});
    if (file) writes.push_back({L"BgBMPBMP", path, 0, [&](PictureSources& s) { s.bgFile = path; }});
    writes.push_back({L"BgBMPDir", folder, 0, [&](PictureSources& s) { s.bgDir = folder; }});
  }
  Status first;
  bool any = false;
  for (const Write& w : writes) {
    Status s = w.key == L"BgBMPDorB" ? WriteSetting(store, w.key, w.number) : WriteSetting(store, w.key, w.text);
    if (s.ok()) {
      w.apply(next);
      any = true;
    } else if (first.ok()) {
      first = std::move(s);
    }
  }
  if (any) {
    sources_ = next;
    written_ = next;
  }
  if (!first.ok()) return {false, first.message()};
  return {true, {}};
}

}  // namespace zor
