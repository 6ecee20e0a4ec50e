#include "core/text/kanji.h"

#include <array>
#include <cstdio>

namespace zor {

namespace {

constexpr std::array<const wchar_t*, 10> kPlainDigits = {L"○", L"一", L"二", L"三", L"四",
                                                         L"五", L"六", L"七", L"八", L"九"};
constexpr std::array<const wchar_t*, 10> kFormalDigits = {L"零", L"壱", L"弐", L"参", L"四",
                                                          L"伍", L"六", L"七", L"八", L"九"};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Character at 1-based position pos, or 0 past the end.
wchar_t At(std::wstring_view s, std::size_t pos) { return pos >= 1 && pos <= s.size() ? s[pos - 1] : L'\0'; }

const wchar_t* TensUnit(bool formal) { return formal ? L"拾" : L"十"; }

// Month, day, hour or minute from its tens and units digit.
std::wstring TwoDigits(wchar_t tens, wchar_t units, bool formal, bool isTime) {
  std::wstring out;
  if (tens == L'1') {
    out += TensUnit(formal);
  } else if (tens != L'0') {
    const std::wstring d = KanjiDigit(tens, formal);
    if (!d.empty()) out += d + TensUnit(formal);
  }
  if (units != L'0') {
    out += KanjiDigit(units, formal);
  } else if (isTime && tens == L'0') {
    out += KanjiDigit(L'0', formal);  // a zero hour or minute still shows
  }
  return out;
}

int Number2(wchar_t a, wchar_t b) { return IsDigit(a) && IsDigit(b) ? (a - L'0') * 10 + (b - L'0') : -1; }

bool DigitsAt(std::wstring_view s, std::initializer_list<std::size_t> positions) {
  for (std::size_t p : positions) {
    if (!IsDigit(At(s, p))) return false;
  }
  return true;
}

bool SeparatorsAt(std::wstring_view s, std::initializer_list<std::size_t> positions) {
  for (std::size_t p : positions) {
    if (IsDigit(At(s, p))) return false;
  }
  return true;
}

}  // namespace

std::wstring KanjiDigit(wchar_t digit, bool formal) {
  if (!IsDigit(digit)) return {};
  return (formal ? kFormalDigits : kPlainDigits)[static_cast<std::size_t>(digit - L'0')];
}

std::wstring KanjiDate(bool formal, bool unitYear, std::wstring_view date) {
  std::wstring today;
  if (date.empty()) {
    today = DateText(LocalNow());
    date = today;
  }
  std::wstring out = L"西暦";
  for (std::size_t k = 1; k <= 4; ++k) {
    const wchar_t d = At(date, k);
    if (unitYear) {
      if (d == L'0' || !IsDigit(d)) continue;
      if (!(d == L'1' && k <= 3)) out += KanjiDigit(d, formal);
      if (k == 1) out += L"千";
      if (k == 2) out += L"百";
      if (k == 3) out += TensUnit(formal);
    } else {
      out += d == L'0' ? std::wstring(L"○") : KanjiDigit(d, formal);
    }
  }
  out += L"年";
  out += TwoDigits(At(date, 6), At(date, 7), formal, false) + L"月";
  out += TwoDigits(At(date, 9), At(date, 10), formal, false) + L"日";
  return out;
}

std::wstring KanjiTime(bool formal, bool /*style*/, std::wstring_view time) {
  std::wstring now;
  if (time.empty()) {
    now = TimeText(LocalNow());
    time = now;
  }
  wchar_t h1 = At(time, 1);
  wchar_t h2 = At(time, 2);
  std::wstring out;
  const int h = Number2(h1, h2);
  if (h >= 12) {
    out += L"午後";
    const int h12 = h - 12;
    // A 24-hour clock gives 00 to 11 here; a larger value keeps its two digits.
    h1 = static_cast<wchar_t>(L'0' + (h12 / 10) % 10);
    h2 = static_cast<wchar_t>(L'0' + h12 % 10);
  } else {
    out += L"午前";
  }
  out += TwoDigits(h1, h2, formal, true) + L"時";
  out += TwoDigits(At(time, 4), At(time, 5), formal, true) + L"分";
  return out;
}

std::wstring DateText(const std::tm& t) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%04d/%02d/%02d", (t.tm_year + 1900) % 10000, (t.tm_mon + 1) % 100, t.tm_mday % 100);
  return buf;
}

std::wstring TimeText(const std::tm& t) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%02d:%02d:%02d", t.tm_hour % 100, t.tm_min % 100, t.tm_sec % 100);
  return buf;
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
#ifdef _WIN32
  localtime_s(&t, &now);
#else
  localtime_r(&now, &t);
#endif
  return t;
}

bool IsValidDateText(std::wstring_view date) {
  if (date.size() != 10 || !DigitsAt(date, {1, 2, 3, 4, 6, 7, 9, 10}) || !SeparatorsAt(date, {5, 8})) return false;
  const int year = Number2(date[0], date[1]) * 100 + Number2(date[2], date[3]);
  const int month = Number2(date[5], date[6]);
  const int day = Number2(date[8], date[9]);
  if (month < 1 || month > 12 || day < 1) return false;
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
  return day <= last;
}

bool IsValidTimeText(std::wstring_view time) {
  if (time.size() != 8 || !DigitsAt(time, {1, 2, 4, 5, 7, 8}) || !SeparatorsAt(time, {3, 6})) return false;
  return Number2(time[0], time[1]) <= 23 && Number2(time[3], time[4]) <= 59 && Number2(time[6], time[7]) <= 59;
}

}  // namespace zor
