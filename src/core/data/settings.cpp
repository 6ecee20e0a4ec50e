#include "core/data/settings.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/data/file_system.h"
#include "core/data/settings_schema.h"
#include "core/text/measures.h"
#include "core/text/numbers.h"

namespace zor {

namespace {

std::wstring Key(std::wstring_view section, std::wstring_view key) {
  return std::wstring(section) + L'\n' + std::wstring(key);
}

// The folder without its trailing separator, except at a root.
std::wstring FolderText(const std::filesystem::path& folder) {
  std::filesystem::path p = folder;
  if (p.has_relative_path() && !p.has_filename()) p = p.parent_path();
  return PathText(p);
}

}  // namespace

std::optional<std::wstring> MemoryProfileStore::Read(std::wstring_view section, std::wstring_view key) const {
  const auto it = values_.find(Key(section, key));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

Status MemoryProfileStore::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (failWrites) return Status::Fail(FileError::kWrite, L"ZORANTE.ini に書き込めませんでした。");
  values_[Key(section, key)] = std::wstring(value);
  return Status::Ok();
}

std::int16_t ParseProfileInt(std::optional<std::wstring_view> value, std::int16_t fallback) {
  if (!value || value->empty()) return fallback;
  // Blanks before the number are skipped, anything after it is ignored, and
  // a text without a number reads as 0.
  const std::wstring_view v = value->substr(std::min(value->find_first_not_of(L" \t"), value->size()));
  const std::optional<LeadingInteger> n = ReadLeadingInteger(v);
  const long long read = n ? n->value : 0;
  return static_cast<std::int16_t>(
      std::clamp<long long>(read, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

Settings DefaultSettings(const std::filesystem::path& programFolder) {
  Settings s;
  for (const SettingSpec& spec : SettingsSchema()) {
    if (spec.kind == SettingKind::kNumber) {
      s.*spec.number = spec.numberDefault;
      continue;
    }
    switch (spec.textDefault) {
      case TextDefault::kFixed:
        s.*spec.text = std::wstring(spec.fixedText);
        break;
      case TextDefault::kProgramFolder:
        s.*spec.text = FolderText(programFolder);
        break;
      case TextDefault::kInProgramFolder:
        s.*spec.text = PathText(programFolder / PathFromText(spec.fixedText));
        break;
    }
  }
  return s;
}

Settings LoadSettings(const ProfileStore& store, const std::filesystem::path& programFolder) {
  Settings s = DefaultSettings(programFolder);
  for (const SettingSpec& spec : SettingsSchema()) {
    std::optional<std::wstring> v = store.Read(kSettingsSection, spec.name);
    if (spec.kind == SettingKind::kNumber) {
      s.*spec.number = ParseProfileInt(v ? std::optional<std::wstring_view>(*v) : std::nullopt, s.*spec.number);
      continue;
    }
    std::wstring& field = s.*spec.text;
    if (v) field = std::move(*v);
    if (spec.keepChars != 0 && field.size() > spec.keepChars) field.resize(spec.keepChars);
    if (spec.trimmed) field = Trim(field);
  }
  return s;
}

Status WriteSetting(ProfileStore& store, std::wstring_view key, std::int16_t value) {
  return store.Write(kSettingsSection, key, std::to_wstring(value));
}

Status WriteSetting(ProfileStore& store, std::wstring_view key, std::wstring_view value) {
  return store.Write(kSettingsSection, key, value);
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder) {
  return programFolder / PathFromText(kSettingsFileName);
}

}  // namespace zor
