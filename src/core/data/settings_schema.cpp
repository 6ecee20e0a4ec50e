#include "core/data/settings_schema.h"

#include <algorithm>

#include "core/text/cp932.h"
#include "core/text/measures.h"

namespace zor {

namespace {

using K = SettingKey;
using S = Settings;

constexpr SettingSpec Number(K id, std::wstring_view name, std::int16_t S::*field, std::int16_t fallback,
                             std::int16_t choices = 0) {
  return {.id = id,
          .name = name,
          .kind = SettingKind::kNumber,
          .number = field,
          .text = nullptr,
          .numberDefault = fallback,
          .textDefault = TextDefault::kFixed,
          .fixedText = {},
          .choices = choices,
          .keepChars = 0,
          .trimmed = false,
          .rule = StoreRule::kNumber};
}

constexpr SettingSpec Text(K id, std::wstring_view name, std::wstring S::*field, TextDefault from,
                           std::wstring_view fixed, StoreRule rule, std::size_t keepChars = 0, bool trimmed = false) {
  return {.id = id,
          .name = name,
          .kind = SettingKind::kText,
          .number = nullptr,
          .text = field,
          .numberDefault = 0,
          .textDefault = from,
          .fixedText = fixed,
          .choices = 0,
          .keepChars = keepChars,
          .trimmed = trimmed,
          .rule = rule};
}

constexpr std::size_t kUseFontKeepChars = 128;

// clang-format off
constexpr SettingSpec kSchema[] = {
    Text  (K::kLoadFileName, L"LoadFileName", &S::registrationFile, TextDefault::kInProgramFolder, L"zorante.zrd", StoreRule::kPath),
    Text  (K::kUseFont,      L"UseFont",      &S::typeFace,      TextDefault::kFixed, kDefaultFace, StoreRule::kFace,
           kUseFontKeepChars, true),
    Number(K::kUseFontBold,  L"UseFontBold",  &S::boldType,  -1),
    Number(K::kDecoFont,     L"DecoFont",     &S::decorationStyle,     0, kDecorationChoices),
    Number(K::kKanS,         L"KanS",         &S::formalKanji,         0),
    Number(K::kSeireki,      L"Seireki",      &S::dateYearStyle,      0, kYearStyleChoices),
    Number(K::kBwByFn,       L"BWbyFN",       &S::schemeByFileName,       0),
    Number(K::kBgBmp,        L"BgBMP",        &S::backgroundMode,        0, kPlacementChoices),
    Text  (K::kBgBmpDir,     L"BgBMPDir",     &S::backgroundFolder,     TextDefault::kProgramFolder, {}, StoreRule::kPath),
    Text  (K::kBgBmpBmp,     L"BgBMPBMP",     &S::backgroundSingleFile,     TextDefault::kFixed, {}, StoreRule::kPath),
    Number(K::kBgBmpStr,     L"BgBMPStr",     &S::backgroundStretch,     0, kStretchChoices),
    Number(K::kBgBmpDorB,    L"BgBMPDorB",    &S::backgroundFromFile,    0),
    Number(K::kItBmp,        L"ItBMP",        &S::intervalMode,        0, kIntervalChoices),
    Text  (K::kItBmpDir,     L"ItBMPDir",     &S::intervalFolder,     TextDefault::kProgramFolder, {}, StoreRule::kPath),
    Number(K::kItBmpStr,     L"ItBMPStr",     &S::intervalStretch,     0, kStretchChoices),
    Number(K::kImportLimit,  L"ImportLimit",  &S::importLimit,  -1),
};
// clang-format on

constexpr bool InKeyOrder() {
  for (std::size_t i = 0; i < std::size(kSchema); ++i) {
    if (static_cast<std::size_t>(kSchema[i].id) != i) return false;
  }
  return true;
}
static_assert(InKeyOrder(), "the rows follow SettingKey");

Status Refused(const SettingSpec& spec) {
  return Status::Fail(FileError::kRefused, std::wstring(spec.name) + L" の値は設定ファイルに保存できません。");
}

Status WrongKind(const SettingSpec& spec) {
  return Status::Fail(FileError::kRefused, std::wstring(spec.name) + L" には別の種類の値を保存します。");
}

// True when the value may be written to the key under its rule.
bool Storable(const SettingSpec& spec, const Settings& values) {
  switch (spec.rule) {
    case StoreRule::kNumber:
      return true;
    case StoreRule::kPath:
      return StorablePath(values.*spec.text) == PathStorability::kStorable;
    case StoreRule::kFace:
      return StorableFaceName(values.*spec.text);
  }
  return false;
}

}  // namespace

std::span<const SettingSpec> SettingsSchema() noexcept { return kSchema; }

const SettingSpec& SpecOf(SettingKey key) noexcept { return kSchema[static_cast<std::size_t>(key)]; }

std::int16_t NearestChoice(int value, std::int16_t choices) noexcept {
  return static_cast<std::int16_t>(std::clamp(value, 0, std::max(choices - 1, 0)));
}

std::int16_t NearestChoice(SettingKey key, int value) noexcept {
  const std::int16_t choices = SpecOf(key).choices;
  if (choices == 0) return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
  return NearestChoice(value, choices);
}

PathStorability StorablePath(std::wstring_view path) {
  if (!FitsCp932(path)) return PathStorability::kOutsideCp932;
  if (ToCp932(path).size() > kSettingsValueMaxBytes) return PathStorability::kTooLong;
  return PathStorability::kStorable;
}

bool StorableFaceName(std::wstring_view face) {
  // Code page 932 holds no character beyond the BMP, so past this check the
  // length counts UTF-16 units whatever the width of wchar_t.
  if (face.empty() || !FitsCp932(face) || face.size() > kFaceNameMaxChars) return false;
  if (Trim(face) != face) return false;
  return std::none_of(face.begin(), face.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; });
}

SavedSettings SaveSettings(ProfileStore& store, std::span<const SettingKey> keys, const Settings& values,
                           Settings& kept) {
  SavedSettings saved;
  for (const SettingKey key : keys) {
    const SettingSpec& spec = SpecOf(key);
    Status s = !Storable(spec, values)             ? Refused(spec)
               : spec.kind == SettingKind::kNumber ? WriteSetting(store, spec.name, values.*spec.number)
                                                   : WriteSetting(store, spec.name, values.*spec.text);
    if (s.ok()) {
      if (spec.kind == SettingKind::kNumber) {
        kept.*spec.number = values.*spec.number;
      } else {
        kept.*spec.text = values.*spec.text;
      }
      ++saved.written;
    } else if (saved.status.ok()) {
      saved.status = std::move(s);
    }
  }
  return saved;
}

SavedSettings SaveSettings(ProfileStore& store, std::initializer_list<SettingKey> keys, const Settings& values,
                           Settings& kept) {
  return SaveSettings(store, std::span<const SettingKey>(keys.begin(), keys.size()), values, kept);
}

Status SaveSetting(ProfileStore& store, SettingKey key, std::int16_t value) {
  const SettingSpec& spec = SpecOf(key);
  if (spec.kind != SettingKind::kNumber) return WrongKind(spec);
  Settings values;
  values.*spec.number = value;
  return SaveSettings(store, {key}, values, values).status;
}

Status SaveSetting(ProfileStore& store, SettingKey key, std::wstring_view value) {
  const SettingSpec& spec = SpecOf(key);
  if (spec.kind != SettingKind::kText) return WrongKind(spec);
  Settings values;
  values.*spec.text = std::wstring(value);
  return SaveSettings(store, {key}, values, values).status;
}

std::optional<std::wstring> StoredText(const ProfileStore& store, SettingKey key) {
  return store.Read(kSettingsSection, SpecOf(key).name);
}

}  // namespace zor
