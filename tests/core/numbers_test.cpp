#include "core/text/numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace zor {
namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

TEST(ParseDecimal, TheWholeTextOrNothing) {
  const struct {
    std::wstring_view text;
    std::optional<long long> value;
  } cases[] = {
      {L"0", 0},
      {L"42", 42},
      {L"+42", 42},
      {L"-42", -42},
      {L"007", 7},
      {L"9223372036854775807", kMax},
      {L"-9223372036854775808", kMin},
      {L"9223372036854775808", kMax},  // held at the limit, for a range check to refuse
      {L"-99999999999999999999999", kMin},
      {L"", std::nullopt},
      {L"-", std::nullopt},
      {L"+-5", std::nullopt},
      {L" 5", std::nullopt},
      {L"5 ", std::nullopt},
      {L"5x", std::nullopt},
      {L"1.0", std::nullopt},
      {L"1e3", std::nullopt},
      {L"0x10", std::nullopt},
      {L"\uFF15", std::nullopt},  // a full-width digit
      {L"\u0665", std::nullopt},  // an Arabic-Indic digit
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << std::wstring(c.text);
  EXPECT_EQ(ParseDecimal(std::wstring(100000, L'9')), kMax);
}

TEST(ParseDecimal, WithinARange) {
  EXPECT_EQ(ParseDecimal(L"1", 1, 500), 1);
  EXPECT_EQ(ParseDecimal(L"500", 1, 500), 500);
  EXPECT_EQ(ParseDecimal(L"0", 1, 500), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"501", 1, 500), std::nullopt);
  EXPECT_EQ(ParseDecimal(L"18446744073709551617", 0, kMax - 1), std::nullopt) << "no wrap-around past the limit";
}

TEST(ReadLeadingInteger, TakesTheSignAndDigitsAtTheStart) {
  const auto r = ReadLeadingInteger(L"-12abc");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->value, -12);
  EXPECT_EQ(r->length, 3u);
  EXPECT_FALSE(ReadLeadingInteger(L"abc"));
  EXPECT_FALSE(ReadLeadingInteger(L"+"));
  EXPECT_FALSE(ReadLeadingInteger(L" 1")) << "blanks are the caller's";
  EXPECT_EQ(DigitCount(L"123.5"), 3u);
  EXPECT_EQ(DigitCount(L""), 0u);
}

}  // namespace
}  // namespace zor
