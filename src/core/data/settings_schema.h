// The schema of "ZORANTE.ini": one row per key, saying which field of
// Settings it fills, its kind, its default, the choices a dialog offers for
// it and what a value must be for the file to give it back unchanged. The
// loader, the dialogs' saves and the storability checks all read this table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/data/settings.h"
#include "core/data/status.h"

namespace zor {

// Every key, in the order of the file's table (and of reading).
enum class SettingKey : std::uint8_t {
  kLoadFileName,
  kUseFont,
  kUseFontBold,
  kDecoFont,
  kKanS,
  kSeireki,
  kBwByFn,
  kBgBmp,
  kBgBmpDir,
  kBgBmpBmp,
  kBgBmpStr,
  kBgBmpDorB,
  kItBmp,
  kItBmpDir,
  kItBmpStr,
  kImportLimit,
};

enum class SettingKind : std::uint8_t { kNumber, kText };

// Where a text key's default comes from.
enum class TextDefault : std::uint8_t {
  kFixed,            // SettingSpec::fixedText
  kProgramFolder,    // the program folder, no trailing separator except at a root
  kInProgramFolder,  // the program folder + SettingSpec::fixedText
};

// What a value must be for the file to give it back unchanged.
enum class StoreRule : std::uint8_t {
  kNumber,  // any 16-bit value
  kPath,    // StorablePath
  kFace,    // StorableFaceName
};

struct SettingSpec {
  SettingKey id;
  std::wstring_view name;  // the key in the file
  SettingKind kind;
  std::int16_t Settings::*number;  // set for numbers
  std::wstring Settings::*text;    // set for texts
  std::int16_t numberDefault;
  TextDefault textDefault;
  std::wstring_view fixedText;
  // The choices 0..choices-1 its dialog offers; 0 for a key without them.
  std::int16_t choices;
  // A text is cut to this many characters after reading (0: kept whole),
  // then trimmed of blanks when trimmed is set.
  std::size_t keepChars;
  bool trimmed;
  StoreRule rule;
};

// The rows, one per key, in the order of SettingKey.
[[nodiscard]] std::span<const SettingSpec> SettingsSchema() noexcept;
[[nodiscard]] const SettingSpec& SpecOf(SettingKey key) noexcept;

// A number a dialog shows for a stored value or a clicked index: the nearest
// of 0..choices-1.
[[nodiscard]] std::int16_t NearestChoice(int value, std::int16_t choices) noexcept;
// The same with the key's choices; a key without choices keeps any 16-bit value.
[[nodiscard]] std::int16_t NearestChoice(SettingKey key, int value) noexcept;

// Why a path cannot be stored, if it cannot: the file holds CP932 text, and
// gives back at most kSettingsValueMaxBytes bytes of a value.
enum class PathStorability : std::uint8_t { kStorable, kOutsideCp932, kTooLong };
[[nodiscard]] PathStorability StorablePath(std::wstring_view path);

// The longest face name a font can bear (its name field of 32 less the NUL).
inline constexpr std::size_t kFaceNameMaxChars = 31;
// A face "UseFont" gives back unchanged and a font can bear: 1..31
// characters, no blanks at its ends (the reader trims them), no control
// characters, every character in code page 932.
[[nodiscard]] bool StorableFaceName(std::wstring_view face);

struct SavedSettings {
  Status status;            // the first failure; ok when every key was written
  std::size_t written = 0;  // how many keys were written
};

// Writes the keys from values, in the order given. Each key written is
// copied into kept; a value its rule refuses is not written (a failure).
// Later keys are still tried after a failure.
[[nodiscard]] SavedSettings SaveSettings(ProfileStore& store, std::span<const SettingKey> keys, const Settings& values,
                                         Settings& kept);
[[nodiscard]] SavedSettings SaveSettings(ProfileStore& store, std::initializer_list<SettingKey> keys,
                                         const Settings& values, Settings& kept);
// One key with its value; a value of the wrong kind is refused.
[[nodiscard]] Status SaveSetting(ProfileStore& store, SettingKey key, std::int16_t value);
[[nodiscard]] Status SaveSetting(ProfileStore& store, SettingKey key, std::wstring_view value);

// The key's value as stored, when the file has the key.
[[nodiscard]] std::optional<std::wstring> StoredText(const ProfileStore& store, SettingKey key);

}  // namespace zor
