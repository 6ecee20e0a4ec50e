// The settings file "ZORANTE.ini", section "ZORANTE": keys, defaults and the
// reading rules, behind a small store interface (the file itself, see
// settings_file.h; a map in tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/default_face.h"
#include "core/data/status.h"

namespace zor {

inline constexpr std::wstring_view kSettingsFileName = L"ZORANTE.ini";
inline constexpr std::wstring_view kSettingsSection = L"ZORANTE";

// The longest value, in CP932 bytes, the settings file gives back whole: the
// Windows store reads with a buffer of at most this many bytes and its NUL.
inline constexpr std::size_t kSettingsValueMaxBytes = 65535;

// The choices the option dialogs offer for the numbered settings, 0..n-1,
// named where the program reads them.
// Decoration: none, pseudo extra-bold, outline, shadow.
enum : std::int16_t { kDecorationNone, kDecorationExtraBold, kDecorationOutline, kDecorationShadow, kDecorationChoices };
// Year styles 0 digit by digit, 1 with unit characters.
inline constexpr std::int16_t kYearStyleChoices = 2;
// Background placement: none, centre, corner, tile, random.
enum : std::int16_t { kPlaceNone, kPlaceCentre, kPlaceCorner, kPlaceTile, kPlaceRandom, kPlacementChoices };
// Interval pictures: none, in order, shuffled.
enum : std::int16_t { kIntervalNone, kIntervalInOrder, kIntervalShuffled, kIntervalChoices };
// Scaling 0 none, 1 whole picture visible, 2 screen filled, 3 stretched.
inline constexpr std::int16_t kStretchChoices = 4;

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value of a key of the section; nullopt when the key or the file is missing.
  [[nodiscard]] virtual std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const = 0;
  [[nodiscard]] virtual Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
};

class MemoryProfileStore final : public ProfileStore {
 public:
  [[nodiscard]] std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override;
  [[nodiscard]] Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;
  // Tests make writes fail.
  bool failWrites = false;

 private:
  std::map<std::wstring, std::wstring, std::less<>> values_;
};

// A numeric value as the Windows profile functions read it: blanks skipped, an optional
// sign and decimal digits up to the first other character; no digits give 0.
// A missing or empty value gives the default. The program keeps every number
// in 16 bits, so a value outside -32768..32767 is clamped to the nearer end
// (70000 reads as 32767) rather than wrapped into an unrelated value.
[[nodiscard]] std::int16_t ParseProfileInt(std::optional<std::wstring_view> value, std::int16_t fallback);

struct Settings {
  std::wstring registrationFile;  // the registration file in use
  std::wstring typeFace{kDefaultFace};
  std::int16_t boldType = -1;
  std::int16_t decorationStyle = 0;
  std::int16_t formalKanji = 0;
  std::int16_t dateYearStyle = 0;
  std::int16_t schemeByFileName = 0;
  std::int16_t backgroundMode = 0;
  std::wstring backgroundFolder;
  std::wstring backgroundSingleFile;
  std::int16_t backgroundStretch = 0;
  std::int16_t backgroundFromFile = 0;
  std::int16_t intervalMode = 0;
  std::wstring intervalFolder;
  std::int16_t intervalStretch = 0;
  std::int16_t importLimit = -1;  // non-zero: an import registers at most 100 lines

  bool operator==(const Settings&) const = default;
};

// The defaults, whose paths lie in the program folder (the schema's defaults).
[[nodiscard]] Settings DefaultSettings(const std::filesystem::path& programFolder);

// Reads every key of the schema in its order; a missing key keeps its
// default. "UseFont" is cut to 128 characters and trimmed of blanks. Numbers
// out of their choices are kept as read: each reader decides what they mean.
[[nodiscard]] Settings LoadSettings(const ProfileStore& store, const std::filesystem::path& programFolder);

// One raw write of any key and text, no rule checked: for tests and for
// values the schema does not know. Dialogs save through SaveSettings.
[[nodiscard]] Status WriteSetting(ProfileStore& store, std::wstring_view key, std::int16_t value);
[[nodiscard]] Status WriteSetting(ProfileStore& store, std::wstring_view key, std::wstring_view value);

// Where the settings file lives: the program folder + "ZORANTE.ini".
[[nodiscard]] std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder);

}  // namespace zor
