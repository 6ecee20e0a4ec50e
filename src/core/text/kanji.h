// Dates and times written out in kanji numerals, as "\date" and "\time" show.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zor {

// One digit character in kanji: plain (一, 二 …, zero ○) or formal (壱, 弐,
// 参, 伍, zero 零). Anything but "0".."9" gives "".
[[nodiscard]] std::wstring KanjiDigit(wchar_t digit, bool formal);

// date: ten characters, year at 1-4, month at 6-7, day at 9-10 with one
// separator character between (1997/12/25); "" means today. Missing
// positions of a shorter text count as absent digits.
// unitYear: the year read as a number (千九百九十七) instead of digit by digit.
[[nodiscard]] std::wstring KanjiDate(bool formal, bool unitYear, std::wstring_view date);

// time: eight characters HH:MM:SS of the 24-hour clock; "" means now.
// style is the year style passed along by the sequencer; it changes nothing.
[[nodiscard]] std::wstring KanjiTime(bool formal, bool style, std::wstring_view time);

// "YYYY/MM/DD" and "HH:MM:SS" of a broken-down local time.
[[nodiscard]] std::wstring DateText(const std::tm& t);
[[nodiscard]] std::wstring TimeText(const std::tm& t);
[[nodiscard]] std::tm LocalNow();

// Strict readers for text typed by a user: the layouts above with real
// calendar values (month 1-12, a day the month has, 00:00:00-23:59:59).
// Any single non-digit character may separate the fields.
[[nodiscard]] bool IsValidDateText(std::wstring_view date);
[[nodiscard]] bool IsValidTimeText(std::wstring_view time);

}  // namespace zor
