#include "core/options/font_date_options.h"

#include <unordered_set>

namespace zor {

namespace {

std::int16_t Flag(bool on) { return on ? std::int16_t{-1} : std::int16_t{0}; }

// The keys closing writes, in their order.
constexpr SettingKey kClosingKeys[] = {SettingKey::kUseFontBold, SettingKey::kDecoFont, SettingKey::kSeireki,
                                       SettingKey::kKanS};

Settings AsSettings(const FontDateSettings& values) {
  Settings s;
  values.CopyTo(s);
  return s;
}

}  // namespace

FontDateSettings FontDateSettings::From(const Settings& s) {
  return {s.typeFace, s.boldType, s.decorationStyle, s.formalKanji, s.dateYearStyle};
}

void FontDateSettings::CopyTo(Settings& s) const {
  s.typeFace = typeFace;
  s.boldType = boldType;
  s.decorationStyle = decorationStyle;
  s.formalKanji = formalKanji;
  s.dateYearStyle = dateYearStyle;
}

FontDateOptionsModel::FontDateOptionsModel(FontDateSettings stored) : stored_(std::move(stored)) {
  view_.face = stored_.typeFace;
  view_.bold = stored_.boldType != 0;
  view_.decoration = NearestChoice(SettingKey::kDecoFont, stored_.decorationStyle);
  view_.yearStyle = NearestChoice(SettingKey::kSeireki, stored_.dateYearStyle);
  view_.formalNumerals = stored_.formalKanji != 0;
}

void FontDateOptionsModel::SelectDecoration(int index) { view_.decoration = NearestChoice(SettingKey::kDecoFont, index); }

void FontDateOptionsModel::SelectYearStyle(int index) { view_.yearStyle = NearestChoice(SettingKey::kSeireki, index); }

void FontDateOptionsModel::FaceWritten(std::wstring face) {
  view_.face = face;
  stored_.typeFace = std::move(face);
}

FontDateSettings FontDateOptionsModel::Shown() const {
  FontDateSettings shown = stored_;
  shown.boldType = Flag(view_.bold);
  shown.decorationStyle = view_.decoration;
  shown.dateYearStyle = view_.yearStyle;
  shown.formalKanji = Flag(view_.formalNumerals);
  return shown;
}

std::vector<SettingValue> FontDateOptionsModel::Writes() const {
  const Settings shown = AsSettings(Shown());
  std::vector<SettingValue> writes;
  for (const SettingKey key : kClosingKeys) writes.push_back({SpecOf(key).name, shown.*SpecOf(key).number});
  return writes;
}

Status FontDateOptionsModel::Save(ProfileStore& store) {
  Settings kept = AsSettings(stored_);
  SavedSettings saved = SaveSettings(store, kClosingKeys, AsSettings(Shown()), kept);
  stored_ = FontDateSettings::From(kept);
  return std::move(saved.status);
}

std::vector<std::wstring> ChoosableFaces(const std::vector<std::wstring>& systemFaces) {
  const std::unordered_set<std::wstring_view> installed(systemFaces.begin(), systemFaces.end());
  std::unordered_set<std::wstring_view> listed;
  std::vector<std::wstring> rows;
  for (const std::wstring& name : systemFaces) {
    if (name.size() < 2 || name.front() != L'@') continue;
    const std::wstring_view face = std::wstring_view(name).substr(1);
    // "@@X" would make the vertical face "@X" a horizontal choice.
    if (face.front() == L'@' || !installed.contains(face) || !StorableFaceName(face)) continue;
    if (!listed.insert(face).second) continue;
    rows.emplace_back(face);
  }
  return rows;
}

void FontChooserModel::Click(int row) {
  if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) clicked_ = row;
}

Result<std::wstring> FontChooserModel::Confirm(ProfileStore& store) const {
  if (!clicked_) return Status::Fail(FileError::kRefused, L"フォントが選ばれていません。");
  const std::wstring& face = rows_[static_cast<std::size_t>(*clicked_)];
  Status s = SaveSetting(store, SettingKey::kUseFont, face);
  if (!s.ok()) return s;
  return face;
}

}  // namespace zor
