#include "core/text/font_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zor {
namespace {

struct Record {
  std::uint16_t platform, encoding, language, nameId;
  std::u16string text;
};

void Put16(std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// A "name" table as fonts store it: header, records, then the UTF-16BE strings.
std::vector<std::uint8_t> NameTable(const std::vector<Record>& records) {
  std::vector<std::uint8_t> strings;
  std::vector<std::uint8_t> table;
  Put16(table, 0);
  Put16(table, records.size());
  Put16(table, 6 + 12 * records.size());
  for (const Record& r : records) {
    Put16(table, r.platform);
    Put16(table, r.encoding);
    Put16(table, r.language);
    Put16(table, r.nameId);
    Put16(table, r.text.size() * 2);
    Put16(table, strings.size());
    for (char16_t c : r.text) Put16(strings, c);
  }
  table.insert(table.end(), strings.begin(), strings.end());
  return table;
}

const std::vector<Record> kMincho = {
    {1, 0, 0, 1, u"Mac name"},              // Macintosh platform: not read
    {3, 1, 0x0409, 1, u"IPAMincho"},
    {3, 1, 0x0409, 4, u"IPAMincho Regular"},  // full name, not a family name
    {3, 1, 0x0411, 1, u"IPA明朝"},
    {3, 1, 0x0411, 1, u"IPA明朝"},           // the same name again: once
    {0, 3, 0, 16, u"IPA Typographic"},
    {3, 2, 0x0411, 1, u"legacy"},           // a legacy encoding: not UTF-16
};

TEST(FontNames, FamilyNamesInEveryLanguageOnce) {
  EXPECT_EQ(FontFamilyNames(NameTable(kMincho)),
            (std::vector<std::wstring>{L"IPAMincho", L"IPA明朝", L"IPA Typographic"}));
}

TEST(FontNames, TruncatedTablesGiveTheNamesReadBeforeTheCut) {
  const std::vector<std::uint8_t> whole = NameTable(kMincho);
  const std::vector<std::wstring> all = FontFamilyNames(whole);
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    const std::vector<std::wstring> names = FontFamilyNames(cut);
    ASSERT_LE(names.size(), all.size()) << n;
    for (const std::wstring& name : names) {
      EXPECT_NE(std::find(all.begin(), all.end(), name), all.end()) << "cut at " << n;
    }
  }
}

TEST(FontNames, RecordsOutsideTheTableAndEmptyOrOddStringsAreSkipped) {
  std::vector<std::uint8_t> table = NameTable({{3, 1, 0x409, 1, u"Kept"}, {3, 1, 0x409, 1, u"Far"}});
  // The second record's offset far beyond the end; a count larger than the records.
  table[6 + 12 + 10] = 0xFF;
  table[3] = 200;
  EXPECT_EQ(FontFamilyNames(table), std::vector<std::wstring>{L"Kept"});

  std::vector<std::uint8_t> odd = NameTable({{3, 1, 0x409, 1, u"AB"}});
  odd[6 + 9] = 3;  // three bytes: the odd one dropped
  EXPECT_EQ(FontFamilyNames(odd), std::vector<std::wstring>{L"A"});
  EXPECT_TRUE(FontFamilyNames(NameTable({{3, 1, 0x409, 1, u""}, {3, 1, 0x409, 1, std::u16string(u"a\0b", 3)}}))
                  .empty());
}

TEST(FontNames, GarbageNeverReadsOutsideTheBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> bytes(random() % 300);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    if (bytes.size() > 4) bytes[2] = 0;  // a modest count, so records are tried
    for (const std::wstring& name : FontFamilyNames(bytes)) EXPECT_FALSE(name.empty());
  }
}

TEST(FontNames, FaceNamesCompareWithoutTheCaseOfAsciiLetters) {
  EXPECT_TRUE(SameFaceName(L"ipamincho", L"IPAMincho"));
  EXPECT_TRUE(SameFaceName(L"IPA明朝", L"ipa明朝"));
  EXPECT_FALSE(SameFaceName(L"ＩＰＡ明朝", L"ｉｐａ明朝"));
  EXPECT_FALSE(SameFaceName(L"IPA明朝", L"IPA明朝 "));
}

}  // namespace
}  // namespace zor
