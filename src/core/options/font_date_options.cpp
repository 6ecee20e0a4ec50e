#include "core/options/font_date_options.h"

#include <algorithm>
#include <unordered_set>

#include "core/text/cp932.h"

namespace zor {

namespace {

constexpr std::size_t kFaceMaxChars = 128;  // what the settings reader keeps

std::int16_t Nearest(int index, std::int16_t choices) {
  return static_cast<std::int16_t>(std::clamp(index, 0, choices - 1));
}

std::int16_t Flag(bool on) { return on ? std::int16_t{-1} : std::int16_t{0}; }

// The keys closing writes, in their order.
struct Field {
  std::wstring_view key;
  std::int16_t FontDateSettings::*member;
};
constexpr Field kClosingFields[] = {
    {L"UseFontBold", &FontDateSettings::useFontBold},
    {L"DecoFont", &FontDateSettings::decoFont},
    {L"Seireki", &FontDateSettings::seireki},
    {L"KanS", &FontDateSettings::kanS},
};

// True when "UseFont" = name reads back as name.
bool Storable(std::wstring_view name) {
  if (name.empty() || name.size() > kFaceMaxChars) return false;
  if (name.front() == L' ' || name.back() == L' ') return false;
  if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; })) return false;
  return FitsCp932(name);
}

}  // namespace

FontDateSettings FontDateSettings::From(const Settings& s) {
  return {s.useFont, s.useFontBold, s.decoFont, s.kanS, s.seireki};
}

void FontDateSettings::CopyTo(Settings& s) const {
  s.useFont = useFont;
  s.useFontBold = useFontBold;
  s.decoFont = decoFont;
  s.kanS = kanS;
  s.seireki = seireki;
}

FontDateOptionsModel::FontDateOptionsModel(FontDateSettings stored) : stored_(std::move(stored)) {
  view_.face = stored_.useFont;
  view_.bold = stored_.useFontBold != 0;
  view_.decoration = Nearest(stored_.decoFont, kDecorationChoices);
  view_.yearStyle = Nearest(stored_.seireki, kYearStyleChoices);
  view_.formalNumerals = stored_.kanS != 0;
}

void FontDateOptionsModel::SelectDecoration(int index) { view_.decoration = Nearest(index, kDecorationChoices); }

void FontDateOptionsModel::SelectYearStyle(int index) { view_.yearStyle = Nearest(index, kYearStyleChoices); }

void FontDateOptionsModel::FaceWritten(std::wstring face) {
  view_.face = face;
  stored_.useFont = std::move(face);
}

FontDateSettings FontDateOptionsModel::Shown() const {
  FontDateSettings shown = stored_;
  shown.useFontBold = Flag(view_.bold);
  shown.decoFont = view_.decoration;
  shown.seireki = view_.yearStyle;
  shown.kanS = Flag(view_.formalNumerals);
  return shown;
}

std::vector<SettingValue> FontDateOptionsModel::Writes() const {
  const FontDateSettings shown = Shown();
  std::vector<SettingValue> writes;
  for (const Field& f : kClosingFields) writes.push_back({f.key, shown.*f.member});
  return writes;
}

Status FontDateOptionsModel::Save(ProfileStore& store) {
  const FontDateSettings shown = Shown();
  Status first;
  for (const Field& f : kClosingFields) {
    Status s = WriteSetting(store, f.key, shown.*f.member);
    if (s.ok()) {
      stored_.*f.member = shown.*f.member;
    } else if (first.ok()) {
      first = std::move(s);
    }
  }
  return first;
}

std::vector<std::wstring> ChoosableFaces(const std::vector<std::wstring>& systemFaces) {
  const std::unordered_set<std::wstring_view> installed(systemFaces.begin(), systemFaces.end());
  std::unordered_set<std::wstring_view> listed;
  std::vector<std::wstring> rows;
  for (const std::wstring& name : systemFaces) {
    if (name.size() < 2 || name.front() != L'@') continue;
    const std::wstring_view face = std::wstring_view(name).substr(1);
    // "@@X" would make the vertical face "@X" a horizontal choice.
    if (face.front() == L'@' || !installed.contains(face) || !Storable(face)) continue;
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
  Status s = WriteSetting(store, L"UseFont", face);
  if (!s.ok()) return s;
  return face;
}

}  // namespace zor
