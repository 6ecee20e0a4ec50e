#include "core/data/settings.h"

#include <gtest/gtest.h>

#include "core/data/file_system.h"

namespace zor {
namespace {

TEST(ParseProfileInt, ReadsLikeTheProfileApiAndClampsTo16Bits) {
  struct Case {
    std::optional<std::wstring_view> value;
    std::int16_t expected;
  };
  const Case cases[] = {
      {std::nullopt, 7},  // missing: the default
      {L"", 7},           // empty: the default
      {L"0", 0},
      {L"-1", -1},
      {L"  12", 12},
      {L"+3", 3},
      {L"42abc", 42},
      {L"abc", 0},
      {L"-", 0},
      {L"32767", 32767},
      {L"32768", 32767},  // clamped, not wrapped to -32768
      {L"70000", 32767},
      {L"-32768", -32768},
      {L"-99999999999999999999999", -32768},
      {L"99999999999999999999999999999999", 32767},
      {L"１２", 0},  // full-width digits are no digits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseProfileInt(c.value, 7), c.expected) << (c.value ? std::string(c.value->begin(), c.value->end()).size() : 0);
  }
}

TEST(Settings, DefaultsWhenNothingIsStored) {
  MemoryProfileStore store;
  const auto folder = PathFromText(L"prog") / "";
  const Settings s = LoadSettings(store, folder);
  EXPECT_EQ(s.registrationFile, PathText(PathFromText(L"prog") / "zorante.zrd"));
  EXPECT_EQ(s.typeFace, kDefaultFace);
  EXPECT_EQ(s.boldType, -1);
  EXPECT_EQ(s.decorationStyle, 0);
  EXPECT_EQ(s.formalKanji, 0);
  EXPECT_EQ(s.dateYearStyle, 0);
  EXPECT_EQ(s.backgroundMode, 0);
  EXPECT_EQ(s.intervalMode, 0);
  EXPECT_EQ(s.backgroundFolder, L"prog");
  EXPECT_EQ(s.intervalFolder, L"prog");
  EXPECT_EQ(s.backgroundSingleFile, L"");
  EXPECT_EQ(s.importLimit, -1);
}

TEST(Settings, StoredValuesAndTheFontRule) {
  MemoryProfileStore store;
  ASSERT_TRUE(WriteSetting(store, L"UseFontBold", std::int16_t{0}).ok());
  ASSERT_TRUE(WriteSetting(store, L"ImportLimit", std::int16_t{0}).ok());
  ASSERT_TRUE(WriteSetting(store, L"UseFont", L"  ＭＳ ゴシック  ").ok());
  ASSERT_TRUE(WriteSetting(store, L"DecoFont", L"99999").ok());
  ASSERT_TRUE(WriteSetting(store, L"LoadFileName", L"").ok());
  Settings s = LoadSettings(store, "p/");
  EXPECT_EQ(s.boldType, 0);
  EXPECT_EQ(s.importLimit, 0);
  EXPECT_EQ(s.typeFace, L"ＭＳ ゴシック");
  EXPECT_EQ(s.decorationStyle, 32767);
  EXPECT_EQ(s.registrationFile, L"") << "an empty value is a value";
  // Cut to 128 characters, then trimmed.
  ASSERT_TRUE(WriteSetting(store, L"UseFont", std::wstring(127, L'字') + L"  x").ok());
  EXPECT_EQ(LoadSettings(store, "p/").typeFace, std::wstring(127, L'字'));
  store.failWrites = true;
  EXPECT_EQ(WriteSetting(store, L"KanS", std::int16_t{-1}).error(), FileError::kWrite);
}

}  // namespace
}  // namespace zor
