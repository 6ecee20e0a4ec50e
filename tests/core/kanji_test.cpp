#include "core/text/kanji.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

struct DateCase {
  const wchar_t* date;
  bool formal;
  bool unitYear;
  const wchar_t* expected;
};

// Every row of the date table, both year styles, plain and formal numerals.
const DateCase kDateCases[] = {
    {L"1997/12/25", false, true, L"西暦千九百九十七年十二月二十五日"},
    {L"1997/12/25", false, false, L"西暦一九九七年十二月二十五日"},
    {L"1997/12/25", true, true, L"西暦千九百九拾七年拾弐月弐拾伍日"},
    {L"1997/12/25", true, false, L"西暦壱九九七年拾弐月弐拾伍日"},
    {L"2000/01/01", false, true, L"西暦二千年一月一日"},
    {L"2000/01/01", false, false, L"西暦二○○○年一月一日"},
    {L"2000/01/01", true, false, L"西暦弐○○○年壱月壱日"},  // year zeros stay ○ when formal
    {L"2000/01/01", true, true, L"西暦弐千年壱月壱日"},
    {L"2010/10/10", false, true, L"西暦二千十年十月十日"},
    {L"2010/10/10", true, true, L"西暦弐千拾年拾月拾日"},
    {L"2001/11/20", false, true, L"西暦二千一年十一月二十日"},
    {L"1100/05/05", false, true, L"西暦千百年五月五日"},
    {L"1111/11/11", false, true, L"西暦千百十一年十一月十一日"},
    {L"2026-12-07", false, true, L"西暦二千二十六年十二月七日"},  // any separator
    {L"0000/00/00", false, true, L"西暦年月日"},
};

TEST(KanjiDate, TableRows) {
  for (const DateCase& c : kDateCases) {
    EXPECT_EQ(KanjiDate(c.formal, c.unitYear, c.date), c.expected)
        << "date " << testing::PrintToString(std::wstring(c.date)) << " formal " << c.formal << " unit " << c.unitYear;
  }
}

struct TimeCase {
  const wchar_t* time;
  bool formal;
  const wchar_t* expected;
};

const TimeCase kTimeCases[] = {
    {L"00:00:00", false, L"午前○時○分"}, {L"00:00:00", true, L"午前零時零分"},
    {L"12:00:00", false, L"午後○時○分"}, {L"09:05:00", false, L"午前九時五分"},
    {L"10:10:00", false, L"午前十時十分"}, {L"15:30:00", false, L"午後三時三十分"},
    {L"15:30:00", true, L"午後参時参拾分"}, {L"20:01:00", false, L"午後八時一分"},
    {L"23:59:59", false, L"午後十一時五十九分"}, {L"11:40:00", false, L"午前十一時四十分"},
    {L"21:00:00", true, L"午後九時零分"},
};

TEST(KanjiTime, TableRows) {
  for (const TimeCase& c : kTimeCases) {
    EXPECT_EQ(KanjiTime(c.formal, false, c.time), c.expected) << testing::PrintToString(std::wstring(c.time));
    EXPECT_EQ(KanjiTime(c.formal, true, c.time), c.expected) << "the style flag changes nothing";
  }
}

TEST(KanjiDigit, PlainFormalAndOthers) {
  const wchar_t* plain[] = {L"○", L"一", L"二", L"三", L"四", L"五", L"六", L"七", L"八", L"九"};
  const wchar_t* formal[] = {L"零", L"壱", L"弐", L"参", L"四", L"伍", L"六", L"七", L"八", L"九"};
  for (int d = 0; d < 10; ++d) {
    EXPECT_EQ(KanjiDigit(static_cast<wchar_t>(L'0' + d), false), plain[d]);
    EXPECT_EQ(KanjiDigit(static_cast<wchar_t>(L'0' + d), true), formal[d]);
  }
  EXPECT_EQ(KanjiDigit(L'a', false), L"");
  EXPECT_EQ(KanjiDigit(L'１', true), L"") << "full-width digits are not digits here";
}

TEST(KanjiDate, ShortOrEmptyInputNeverReadsPastTheEnd) {
  EXPECT_EQ(KanjiDate(false, true, L"1997"), L"西暦千九百九十七年月日");
  EXPECT_EQ(KanjiTime(false, false, L"1"), L"午前十時分") << "tens digit 1 alone: the tens unit";
  // "" means today: the result has the date's shape.
  const std::wstring today = KanjiDate(false, false, L"");
  EXPECT_EQ(today.substr(0, 2), L"西暦");
  EXPECT_EQ(today.back(), L'日');
  EXPECT_EQ(KanjiTime(false, false, L"").back(), L'分');
}

TEST(KanjiText, StrictReadersOfTypedDatesAndTimes) {
  EXPECT_TRUE(IsValidDateText(L"1997/12/25"));
  EXPECT_TRUE(IsValidDateText(L"2024.02.29"));
  EXPECT_FALSE(IsValidDateText(L"2023/02/29")) << "not a leap year";
  EXPECT_FALSE(IsValidDateText(L"1997/13/01"));
  EXPECT_FALSE(IsValidDateText(L"1997/00/01"));
  EXPECT_FALSE(IsValidDateText(L"1997/04/31"));
  EXPECT_FALSE(IsValidDateText(L"1997/1/25"));
  EXPECT_FALSE(IsValidDateText(L"1997/12/2x"));
  EXPECT_FALSE(IsValidDateText(L"1997112125")) << "separators must not be digits";
  EXPECT_FALSE(IsValidDateText(L""));
  EXPECT_TRUE(IsValidTimeText(L"23:59:59"));
  EXPECT_TRUE(IsValidTimeText(L"00:00:00"));
  EXPECT_FALSE(IsValidTimeText(L"24:00:00"));
  EXPECT_FALSE(IsValidTimeText(L"12:60:00"));
  EXPECT_FALSE(IsValidTimeText(L"12:00"));
  EXPECT_FALSE(IsValidTimeText(L"1a:00:00"));
}

TEST(KanjiText, DateAndTimeTextOfABrokenDownTime) {
  std::tm t{};
  t.tm_year = 97;
  t.tm_mon = 11;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 3;
  t.tm_sec = 9;
  EXPECT_EQ(DateText(t), L"1997/12/05");
  EXPECT_EQ(TimeText(t), L"07:03:09");
}

}  // namespace
}  // namespace zor
