#include "core/data/settings_schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "core/data/file_system.h"
#include "core/text/unicode.h"
#include "picky_store.h"

namespace zor {
namespace {

std::string Narrow(std::wstring_view key) { return ToUtf8(key); }

// Remembers the keys read, in order.
class ReadLog final : public ProfileStore {
 public:
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    EXPECT_EQ(section, kSettingsSection);
    keys.emplace_back(key);
    return std::nullopt;
  }
  Status Write(std::wstring_view, std::wstring_view, std::wstring_view) override { return Status::Ok(); }
  mutable std::vector<std::wstring> keys;
};

using zor::testing::PickyStore;

// A value of the key's kind that is no default and passes its rule.
void SetOther(const SettingSpec& spec, Settings& s) {
  if (spec.kind == SettingKind::kNumber) {
    s.*spec.number = static_cast<std::int16_t>(spec.numberDefault == 2 ? 1 : 2);
  } else {
    s.*spec.text = spec.rule == StoreRule::kFace ? L"IPA明朝" : L"D:\\別の\\" + std::wstring(spec.name);
  }
}

const std::filesystem::path kFolder = PathFromText(L"prog") / "";

TEST(SettingsSchema, EveryKeyOnceWithOneFieldOfItsKind) {
  const auto schema = SettingsSchema();
  ASSERT_EQ(schema.size(), static_cast<std::size_t>(SettingKey::kImportLimit) + 1);
  std::set<std::wstring_view> names;
  // Pointers to members have no order: kept in lists.
  std::vector<std::int16_t Settings::*> numbers;
  std::vector<std::wstring Settings::*> texts;
  for (std::size_t i = 0; i < schema.size(); ++i) {
    const SettingSpec& spec = schema[i];
    SCOPED_TRACE(Narrow(spec.name));
    EXPECT_EQ(&SpecOf(spec.id), &spec);
    EXPECT_EQ(static_cast<std::size_t>(spec.id), i);
    EXPECT_TRUE(names.insert(spec.name).second) << "a key twice";
    EXPECT_FALSE(spec.name.empty());
    if (spec.kind == SettingKind::kNumber) {
      EXPECT_NE(spec.number, nullptr);
      EXPECT_EQ(spec.text, nullptr);
      EXPECT_EQ(spec.rule, StoreRule::kNumber);
      EXPECT_EQ(std::find(numbers.begin(), numbers.end(), spec.number), numbers.end()) << "a field twice";
      numbers.push_back(spec.number);
      EXPECT_GE(spec.choices, 0);
    } else {
      EXPECT_NE(spec.text, nullptr);
      EXPECT_EQ(spec.number, nullptr);
      EXPECT_NE(spec.rule, StoreRule::kNumber);
      EXPECT_EQ(std::find(texts.begin(), texts.end(), spec.text), texts.end()) << "a field twice";
      texts.push_back(spec.text);
      EXPECT_EQ(spec.choices, 0);
    }
  }
  // Settings has sixteen fields (a structured binding must name each one),
  // and each is one key's.
  [[maybe_unused]] const auto& [f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16] = Settings{};
  EXPECT_EQ(numbers.size() + texts.size(), 16u);
}

TEST(SettingsSchema, LoadingReadsEveryKeyOnceInTheTablesOrder) {
  ReadLog log;
  (void)LoadSettings(log, kFolder);
  std::vector<std::wstring> expected;
  for (const SettingSpec& spec : SettingsSchema()) expected.emplace_back(spec.name);
  EXPECT_EQ(log.keys, expected);
}

TEST(SettingsSchema, DefaultsAreDefaultSettings) {
  const Settings d = DefaultSettings(kFolder);
  const Settings plain;
  for (const SettingSpec& spec : SettingsSchema()) {
    SCOPED_TRACE(Narrow(spec.name));
    if (spec.kind == SettingKind::kNumber) {
      EXPECT_EQ(d.*spec.number, spec.numberDefault);
      EXPECT_EQ(plain.*spec.number, spec.numberDefault) << "Settings{} agrees";
      continue;
    }
    switch (spec.textDefault) {
      case TextDefault::kFixed:
        EXPECT_EQ(d.*spec.text, spec.fixedText);
        EXPECT_EQ(plain.*spec.text, spec.fixedText) << "Settings{} agrees";
        break;
      case TextDefault::kProgramFolder:
        EXPECT_EQ(d.*spec.text, L"prog");
        break;
      case TextDefault::kInProgramFolder:
        EXPECT_EQ(d.*spec.text, PathText(PathFromText(L"prog") / PathFromText(spec.fixedText)));
        break;
    }
  }
  EXPECT_EQ(SpecOf(SettingKey::kUseFont).fixedText, kDefaultFace);
  EXPECT_EQ(LoadSettings(MemoryProfileStore(), kFolder), d) << "nothing stored: the defaults";
}

TEST(SettingsSchema, EachKeySavedAloneLoadsBackAloneAndIsKept) {
  const Settings defaults = DefaultSettings(kFolder);
  for (const SettingSpec& spec : SettingsSchema()) {
    SCOPED_TRACE(Narrow(spec.name));
    MemoryProfileStore store;
    Settings values = defaults;
    for (const SettingSpec& other : SettingsSchema()) SetOther(other, values);
    Settings kept = defaults;
    const SavedSettings saved = SaveSettings(store, {spec.id}, values, kept);
    ASSERT_TRUE(saved.status.ok());
    EXPECT_EQ(saved.written, 1u);
    Settings expected = defaults;
    SetOther(spec, expected);
    EXPECT_EQ(kept, expected) << "only the key written is kept";
    EXPECT_EQ(LoadSettings(store, kFolder), expected);
  }
}

TEST(SettingsSchema, SaveSettingNamesAKeyOfItsKind) {
  MemoryProfileStore store;
  ASSERT_TRUE(SaveSetting(store, SettingKey::kImportLimit, std::int16_t{0}).ok());
  ASSERT_TRUE(SaveSetting(store, SettingKey::kBgBmpDir, L"C:\\画像").ok());
  EXPECT_EQ(store.Read(kSettingsSection, L"ImportLimit"), L"0");
  EXPECT_EQ(StoredText(store, SettingKey::kBgBmpDir), L"C:\\画像");
  EXPECT_EQ(StoredText(store, SettingKey::kItBmpDir), std::nullopt);
  EXPECT_EQ(SaveSetting(store, SettingKey::kKanS, L"-1").error(), FileError::kRefused);
  EXPECT_EQ(SaveSetting(store, SettingKey::kUseFont, std::int16_t{1}).error(), FileError::kRefused);
  EXPECT_FALSE(StoredText(store, SettingKey::kKanS).has_value());
  EXPECT_FALSE(StoredText(store, SettingKey::kUseFont).has_value());
}

TEST(SettingsSchema, AFailedKeyIsToldAndTheLaterOnesAreStillWritten) {
  PickyStore store({L"BgBMP", L"BgBMPStr"});
  Settings values;
  values.backgroundMode = 3;
  values.intervalMode = 2;
  values.backgroundStretch = 1;
  values.schemeByFileName = -1;
  Settings kept;
  const SavedSettings saved = SaveSettings(
      store, {SettingKey::kBgBmp, SettingKey::kItBmp, SettingKey::kBgBmpStr, SettingKey::kBwByFn}, values, kept);
  EXPECT_EQ(saved.status.message(), L"no BgBMP");
  EXPECT_EQ(saved.written, 2u);
  EXPECT_EQ(kept.backgroundMode, 0);
  EXPECT_EQ(kept.intervalMode, 2);
  EXPECT_EQ(kept.backgroundStretch, 0);
  EXPECT_EQ(kept.schemeByFileName, -1);
  EXPECT_EQ(store.Read(kSettingsSection, L"BWbyFN"), L"-1");
}

TEST(SettingsSchema, ChoicesAreClampedToTheNearestAtTheirLimits) {
  const std::pair<SettingKey, std::int16_t> ranged[] = {
      {SettingKey::kDecoFont, 4}, {SettingKey::kSeireki, 2},  {SettingKey::kBgBmp, 5},
      {SettingKey::kItBmp, 3},    {SettingKey::kBgBmpStr, 4}, {SettingKey::kItBmpStr, 4},
  };
  for (const auto& [key, choices] : ranged) {
    SCOPED_TRACE(Narrow(SpecOf(key).name));
    EXPECT_EQ(SpecOf(key).choices, choices);
    const std::int16_t last = static_cast<std::int16_t>(choices - 1);
    EXPECT_EQ(NearestChoice(key, INT_MIN), 0);
    EXPECT_EQ(NearestChoice(key, -1), 0);
    EXPECT_EQ(NearestChoice(key, 0), 0);
    EXPECT_EQ(NearestChoice(key, last), last);
    EXPECT_EQ(NearestChoice(key, choices), last);
    EXPECT_EQ(NearestChoice(key, INT_MAX), last);
  }
  int withChoices = 0;
  for (const SettingSpec& spec : SettingsSchema()) {
    if (spec.choices != 0) {
      ++withChoices;
      EXPECT_GE(spec.numberDefault, 0) << "the default is a choice";
      EXPECT_LT(spec.numberDefault, spec.choices);
      continue;
    }
    if (spec.kind != SettingKind::kNumber) continue;
    EXPECT_EQ(NearestChoice(spec.id, -1), -1) << "flags keep their value";
    EXPECT_EQ(NearestChoice(spec.id, 70000), 32767);
  }
  EXPECT_EQ(withChoices, static_cast<int>(std::size(ranged)));
}

TEST(SettingsSchema, LoadingKeepsOutOfRangeChoicesForTheirReaders) {
  MemoryProfileStore store;
  ASSERT_TRUE(WriteSetting(store, L"BgBMP", std::int16_t{7}).ok());
  ASSERT_TRUE(WriteSetting(store, L"BgBMPStr", std::int16_t{-2}).ok());
  const Settings s = LoadSettings(store, kFolder);
  EXPECT_EQ(s.backgroundMode, 7) << "the saver places such a background at random";
  EXPECT_EQ(s.backgroundStretch, -2) << "the saver shows such a picture at its own size";
}

TEST(SettingsSchema, APathIsStoredUpToTheLongestValueTheFileGivesBack) {
  const std::size_t max = kSettingsValueMaxBytes;
  EXPECT_EQ(StorablePath(L""), PathStorability::kStorable);
  EXPECT_EQ(StorablePath(std::wstring(max, L'x')), PathStorability::kStorable);
  EXPECT_EQ(StorablePath(std::wstring(max + 1, L'x')), PathStorability::kTooLong);
  // Kanji take two bytes each: 1 + 2 × 32767 = 65535.
  EXPECT_EQ(StorablePath(L"x" + std::wstring((max - 1) / 2, L'字')), PathStorability::kStorable);
  EXPECT_EQ(StorablePath(L"xx" + std::wstring((max - 1) / 2, L'字')), PathStorability::kTooLong);
  EXPECT_EQ(StorablePath(L"C:\\" + std::wstring(130, L'字')), PathStorability::kStorable) << "259 bytes is no limit";
  EXPECT_EQ(StorablePath(L"C:\\\u20ac"), PathStorability::kOutsideCp932);
  EXPECT_EQ(StorablePath(L"C:\\한국어\\" + std::wstring(max, L'x')), PathStorability::kOutsideCp932)
      << "the characters are told first";

  // The rule guards every path key when it is saved.
  for (const SettingKey key :
       {SettingKey::kLoadFileName, SettingKey::kBgBmpDir, SettingKey::kBgBmpBmp, SettingKey::kItBmpDir}) {
    MemoryProfileStore store;
    EXPECT_EQ(SaveSetting(store, key, L"C:\\\u20ac").error(), FileError::kRefused) << Narrow(SpecOf(key).name);
    EXPECT_FALSE(StoredText(store, key).has_value());
  }
}

TEST(SettingsSchema, AFaceIsStoredWhenTheFileGivesItBackAndAFontCanBearIt) {
  const std::pair<std::wstring, bool> cases[] = {
      {L"ＭＳ 明朝", true},
      {std::wstring(kFaceNameMaxChars, L'字'), true},
      {std::wstring(kFaceNameMaxChars + 1, L'字'), false},
      {L"", false},
      {L" Lead", false},
      {L"Tail ", false},
      {L"Tab\tX", false},
      {L"\x7F", false},
      {L"微软雅黑", false},
      {L"\U0001F600", false},
  };
  for (const auto& [face, storable] : cases) {
    EXPECT_EQ(StorableFaceName(face), storable) << ToUtf8(face);
    MemoryProfileStore store;
    EXPECT_EQ(SaveSetting(store, SettingKey::kUseFont, face).ok(), storable) << ToUtf8(face);
  }
  EXPECT_EQ(kFaceNameMaxChars, 31u) << "a font's name field of 32 less its NUL";
}

}  // namespace
}  // namespace zor
