#include "core/options/font_date_options.h"

#include <gtest/gtest.h>

#include <set>

#include "picky_store.h"

namespace zor {
namespace {

std::vector<SettingValue> Closing(std::int16_t bold, std::int16_t deco, std::int16_t dateYearStyle,
                                  std::int16_t formalKanji) {
  return {{L"UseFontBold", bold}, {L"DecoFont", deco}, {L"Seireki", dateYearStyle}, {L"KanS", formalKanji}};
}

FontDateView Shown(bool bold, std::int16_t deco, std::int16_t year, bool formal) {
  return {L"ＭＳ 明朝", bold, deco, year, formal};
}

// Whatever a hand-edited file holds, the dialog shows a choice (the nearest)
// and closing without a change writes that choice back.
TEST(FontDateOptionsModel, OpensOnTheNearestChoiceAndWritesItBack) {
  struct Case {
    const wchar_t *bold, *deco, *dateYearStyle, *formalKanji;
    FontDateView shown;
    std::vector<SettingValue> writes;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, nullptr, Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      {L"0", L"3", L"1", L"-1", Shown(false, 3, 1, true), Closing(0, 3, 1, -1)},
      {L"-1", L"4", L"2", L"0", Shown(true, 3, 1, false), Closing(-1, 3, 1, 0)},
      {L"1", L"-1", L"-5", L"7", Shown(true, 0, 0, true), Closing(-1, 0, 0, -1)},
      {L"yes", L"abc", L"", L"  -1", Shown(false, 0, 0, true), Closing(0, 0, 0, -1)},
      {L"-1x", L"99999999999", L"-", L"0", Shown(true, 3, 0, false), Closing(-1, 3, 0, 0)},
      {L"", L"-70000", L"1;", L"", Shown(true, 0, 1, false), Closing(-1, 0, 1, 0)},
  };
  for (const Case& c : cases) {
    MemoryProfileStore store;
    const std::pair<const wchar_t*, const wchar_t*> keys[] = {
        {L"UseFontBold", c.bold}, {L"DecoFont", c.deco}, {L"Seireki", c.dateYearStyle}, {L"KanS", c.formalKanji}};
    for (const auto& [key, value] : keys) {
      if (value) {
        ASSERT_TRUE(store.Write(kSettingsSection, key, value).ok());
      }
    }
    FontDateOptionsModel m(FontDateSettings::From(LoadSettings(store, {})));
    EXPECT_EQ(m.View(), c.shown) << c.deco << " " << c.dateYearStyle;
    EXPECT_EQ(m.Writes(), c.writes) << c.deco << " " << c.dateYearStyle;
    ASSERT_TRUE(m.Save(store).ok());
    for (const SettingValue& w : c.writes) EXPECT_EQ(store.Read(kSettingsSection, w.key), std::to_wstring(w.value));
  }
}

using zor::testing::PickyStore;

TEST(FontDateOptionsModel, AFailedWriteKeepsTheOldValueAndTheOthersAreStillWritten) {
  FontDateOptionsModel m({L"IPAMincho", -1, 0, 0, 0});
  m.SetBold(false);
  m.SelectDecoration(3);
  m.SelectYearStyle(1);
  m.SetFormalNumerals(true);
  EXPECT_EQ(m.Writes(), Closing(0, 3, 1, -1));
  PickyStore store({L"UseFontBold", L"Seireki"});
  const Status s = m.Save(store);
  EXPECT_EQ(s.message(), L"no UseFontBold") << "the first failure is told";
  EXPECT_EQ(m.Stored(), (FontDateSettings{L"IPAMincho", -1, 3, -1, 0}));
  EXPECT_EQ(store.Read(kSettingsSection, L"KanS"), L"-1");
}

TEST(ChoosableFaces, EachFaceWithAVerticalVariantOnceInTheSystemsOrder) {
  struct Case {
    const char* what;
    std::vector<std::wstring> system;
    std::vector<std::wstring> rows;
  };
  const Case cases[] = {
      {"none", {}, {}},
      {"pairs, order of the @ names",
       {L"ＭＳ 明朝", L"Arial", L"@ＭＳ 明朝", L"IPAGothic", L"@IPAGothic", L"@IPAMincho", L"IPAMincho"},
       {L"ＭＳ 明朝", L"IPAGothic", L"IPAMincho"}},
      {"one name per character set", {L"@B", L"B", L"@A", L"A", L"@B", L"B", L"@A"}, {L"B", L"A"}},
      {"no vertical variant", {L"Arial", L"Tahoma", L"IPAMincho"}, {}},
      {"vertical variant alone", {L"@Lonely", L"Other"}, {}},
      {"a bare @", {L"@", L"", L"@ ", L" "}, {}},
      {"@@ is itself vertical", {L"@X", L"X", L"@@X"}, {L"X"}},
      {"names the file cannot hold",
       {L"@ Lead", L" Lead", L"@Tail ", L"Tail ", L"@Tab\tX", L"Tab\tX", L"@微软雅黑", L"微软雅黑", L"@맑은 고딕",
        L"맑은 고딕", L"@Ok", L"Ok"},
       {L"Ok"}},
      {"31 characters kept, 32 left out (no font bears a longer name)",
       {L"@" + std::wstring(kFaceNameMaxChars, L'a'), std::wstring(kFaceNameMaxChars, L'a'),
        L"@" + std::wstring(kFaceNameMaxChars + 1, L'b'), std::wstring(kFaceNameMaxChars + 1, L'b')},
       {std::wstring(kFaceNameMaxChars, L'a')}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChoosableFaces(c.system), c.rows) << c.what;
}

TEST(FontChooserModel, OkOnlyAfterAClickOnARowAndItWritesThatFace) {
  FontChooserModel m({L"IPAGothic", L"ＭＳ 明朝"});
  MemoryProfileStore store;
  for (int notARow : {-1, 2, 1000}) m.Click(notARow);
  EXPECT_FALSE(m.OkEnabled());
  EXPECT_FALSE(m.Confirm(store).ok());
  EXPECT_FALSE(store.Read(kSettingsSection, L"UseFont").has_value()) << "nothing written before a click";

  m.Click(1);
  m.Click(-1);
  EXPECT_EQ(m.ClickedRow(), 1) << "a click beside the rows keeps the choice";
  const Result<std::wstring> chosen = m.Confirm(store);
  ASSERT_TRUE(chosen.ok());
  EXPECT_EQ(chosen.value(), L"ＭＳ 明朝");
  EXPECT_EQ(LoadSettings(store, {}).typeFace, L"ＭＳ 明朝");

  store.failWrites = true;
  m.Click(0);
  EXPECT_FALSE(m.Confirm(store).ok());
  EXPECT_EQ(LoadSettings(store, {}).typeFace, L"ＭＳ 明朝") << "a failed write leaves the old face";
}

}  // namespace
}  // namespace zor
