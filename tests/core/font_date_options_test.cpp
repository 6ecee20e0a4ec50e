#include "core/options/font_date_options.h"

#include <gtest/gtest.h>

#include <set>

namespace zor {
namespace {

FontDateSettings Stored(std::int16_t bold, std::int16_t deco, std::int16_t kanS, std::int16_t seireki) {
  return {L"IPAMincho", bold, deco, kanS, seireki};
}

FontDateView Shown(bool bold, std::int16_t deco, std::int16_t year, bool formal) {
  return {L"IPAMincho", bold, deco, year, formal};
}

std::vector<SettingValue> Closing(std::int16_t bold, std::int16_t deco, std::int16_t seireki, std::int16_t kanS) {
  return {{L"UseFontBold", bold}, {L"DecoFont", deco}, {L"Seireki", seireki}, {L"KanS", kanS}};
}

// Closing without a change writes what the dialog showed: valid values only.
TEST(FontDateOptionsModel, OpensOnTheNearestChoiceAndWritesItBack) {
  struct Case {
    const char* what;
    FontDateSettings stored;
    FontDateView shown;
    std::vector<SettingValue> writes;
  };
  const Case cases[] = {
      {"defaults", Stored(-1, 0, 0, 0), Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      {"all set", Stored(0, 3, -1, 1), Shown(false, 3, 1, true), Closing(0, 3, 1, -1)},
      {"each decoration", Stored(-1, 2, 0, 0), Shown(true, 2, 0, false), Closing(-1, 2, 0, 0)},
      {"decoration 4", Stored(-1, 4, 0, 0), Shown(true, 3, 0, false), Closing(-1, 3, 0, 0)},
      {"decoration max", Stored(-1, 32767, 0, 0), Shown(true, 3, 0, false), Closing(-1, 3, 0, 0)},
      {"decoration -1", Stored(-1, -1, 0, 0), Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      {"decoration min", Stored(-1, -32768, 0, 0), Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      {"year 2", Stored(-1, 0, 0, 2), Shown(true, 0, 1, false), Closing(-1, 0, 1, 0)},
      {"year -5", Stored(-1, 0, 0, -5), Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      // Check boxes store -1 or 0: another true value is ticked and stored as -1.
      {"bold 1", Stored(1, 0, 0, 0), Shown(true, 0, 0, false), Closing(-1, 0, 0, 0)},
      {"formal 7", Stored(-1, 0, 7, 0), Shown(true, 0, 0, true), Closing(-1, 0, 0, -1)},
  };
  for (const Case& c : cases) {
    FontDateOptionsModel m(c.stored);
    EXPECT_EQ(m.View(), c.shown) << c.what;
    EXPECT_EQ(m.Writes(), c.writes) << c.what;
    MemoryProfileStore store;
    ASSERT_TRUE(m.Save(store).ok());
    const Settings back = LoadSettings(store, {});
    EXPECT_EQ(FontDateOptionsModel(FontDateSettings::From(back)).Writes(), c.writes) << c.what << ": read back";
  }
}

// A hand-edited file: whatever the text, the dialog shows a choice and writes it.
TEST(FontDateOptionsModel, GarbageInTheFileIsWrittenBackValid) {
  struct Case {
    const wchar_t *deco, *seireki, *bold, *kanS;
    std::vector<SettingValue> writes;
  };
  const Case cases[] = {
      {L"abc", L"", L"yes", L"  -1", Closing(0, 0, 0, -1)},
      {L"9", L"99999999999", L"-1x", L"0", Closing(-1, 3, 1, 0)},
      {L"-70000", L"-", L"0", L"1", Closing(0, 0, 0, -1)},
      {L" 2 ", L"1;", L"", L"", Closing(-1, 2, 1, 0)},
  };
  for (const Case& c : cases) {
    MemoryProfileStore store;
    ASSERT_TRUE(store.Write(kSettingsSection, L"DecoFont", c.deco).ok());
    ASSERT_TRUE(store.Write(kSettingsSection, L"Seireki", c.seireki).ok());
    ASSERT_TRUE(store.Write(kSettingsSection, L"UseFontBold", c.bold).ok());
    ASSERT_TRUE(store.Write(kSettingsSection, L"KanS", c.kanS).ok());
    FontDateOptionsModel m(FontDateSettings::From(LoadSettings(store, {})));
    ASSERT_TRUE(m.Save(store).ok());
    for (const SettingValue& w : c.writes) {
      EXPECT_EQ(store.Read(kSettingsSection, w.key), std::to_wstring(w.value)) << c.deco << " " << c.seireki;
    }
  }
}

TEST(FontDateOptionsModel, ChangesAreWrittenInOrderAndHeldInMemory) {
  FontDateOptionsModel m(Stored(-1, 0, 0, 0));
  m.SetBold(false);
  m.SelectDecoration(2);
  m.SelectYearStyle(1);
  m.SetFormalNumerals(true);
  EXPECT_EQ(m.Writes(), Closing(0, 2, 1, -1));
  EXPECT_EQ(m.Stored(), Stored(-1, 0, 0, 0)) << "nothing is held before the write";
  MemoryProfileStore store;
  ASSERT_TRUE(m.Save(store).ok());
  EXPECT_EQ(m.Stored(), Stored(0, 2, -1, 1));
  m.SelectDecoration(9);
  m.SelectYearStyle(-3);
  EXPECT_EQ(m.View().decoration, 3);
  EXPECT_EQ(m.View().yearStyle, 0);
}

// The face is the chooser's to write: shown and held, never among the closing writes.
TEST(FontDateOptionsModel, AChosenFaceIsShownAndHeldButNotWrittenOnClosing) {
  FontDateOptionsModel m(Stored(-1, 1, 0, 0));
  m.FaceWritten(L"IPAGothic");
  EXPECT_EQ(m.View().face, L"IPAGothic");
  EXPECT_EQ(m.Stored().useFont, L"IPAGothic");
  MemoryProfileStore store;
  ASSERT_TRUE(m.Save(store).ok());
  EXPECT_FALSE(store.Read(kSettingsSection, L"UseFont").has_value());
}

// Fails the writes of some keys only.
class PickyStore final : public ProfileStore {
 public:
  explicit PickyStore(std::set<std::wstring> failing) : failing_(std::move(failing)) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return inner_.Read(section, key);
  }
  Status Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
    if (failing_.contains(std::wstring(key))) return Status::Fail(FileError::kWrite, L"no " + std::wstring(key));
    return inner_.Write(section, key, value);
  }

 private:
  std::set<std::wstring> failing_;
  MemoryProfileStore inner_;
};

TEST(FontDateOptionsModel, AFailedWriteKeepsTheOldValueAndTheOthersAreStillWritten) {
  FontDateOptionsModel m(Stored(-1, 0, 0, 0));
  m.SetBold(false);
  m.SelectDecoration(3);
  m.SelectYearStyle(1);
  m.SetFormalNumerals(true);
  PickyStore store({L"UseFontBold", L"Seireki"});
  const Status s = m.Save(store);
  EXPECT_FALSE(s.ok());
  EXPECT_EQ(s.message(), L"no UseFontBold") << "the first failure is told";
  EXPECT_EQ(m.Stored(), Stored(-1, 3, -1, 0));
  EXPECT_EQ(store.Read(kSettingsSection, L"DecoFont"), L"3");
  EXPECT_EQ(store.Read(kSettingsSection, L"KanS"), L"-1");
  EXPECT_EQ(store.Read(kSettingsSection, L"Seireki"), std::nullopt);
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
      {"128 characters kept, 129 left out",
       {L"@" + std::wstring(128, L'a'), std::wstring(128, L'a'), L"@" + std::wstring(129, L'b'),
        std::wstring(129, L'b')},
       {std::wstring(128, L'a')}},
      {"names differ by case", {L"@Face", L"face", L"@face", L"Face"}, {L"Face", L"face"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChoosableFaces(c.system), c.rows) << c.what;
}

TEST(FontChooserModel, OkOnlyAfterAClickOnARow) {
  FontChooserModel m({L"IPAGothic", L"IPAMincho"});
  EXPECT_FALSE(m.OkEnabled());
  for (int notARow : {-1, 2, 1000}) {
    m.Click(notARow);
    EXPECT_FALSE(m.OkEnabled()) << notARow;
  }
  m.Click(1);
  EXPECT_TRUE(m.OkEnabled());
  EXPECT_EQ(m.ClickedRow(), 1);
  m.Click(-1);
  EXPECT_EQ(m.ClickedRow(), 1) << "a click beside the rows keeps the choice";
  FontChooserModel empty({});
  empty.Click(0);
  EXPECT_FALSE(empty.OkEnabled());
}

TEST(FontChooserModel, OkWritesTheClickedFace) {
  FontChooserModel m({L"IPAGothic", L"ＭＳ 明朝"});
  MemoryProfileStore store;
  const Result<std::wstring> early = m.Confirm(store);
  EXPECT_FALSE(early.ok());
  EXPECT_FALSE(store.Read(kSettingsSection, L"UseFont").has_value()) << "nothing written before a click";

  m.Click(1);
  const Result<std::wstring> chosen = m.Confirm(store);
  ASSERT_TRUE(chosen.ok());
  EXPECT_EQ(chosen.value(), L"ＭＳ 明朝");
  EXPECT_EQ(LoadSettings(store, {}).useFont, L"ＭＳ 明朝");

  store.failWrites = true;
  m.Click(0);
  EXPECT_FALSE(m.Confirm(store).ok());
  EXPECT_EQ(LoadSettings(store, {}).useFont, L"ＭＳ 明朝") << "a failed write leaves the old face";
}

}  // namespace
}  // namespace zor
