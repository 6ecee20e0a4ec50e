#include "core/text/numbers.h"

#include <limits>

namespace zor {

std::size_t DigitCount(std::wstring_view text) noexcept {
  std::size_t n = 0;
  while (n < text.size() && text[n] >= L'0' && text[n] <= L'9') ++n;
  return n;
}

std::optional<LeadingInteger> ReadLeadingInteger(std::wstring_view text) noexcept {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == L'-';
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ++i;
  const std::size_t digits = DigitCount(text.substr(i));
  if (digits == 0) return std::nullopt;
  // Counted towards the sign's side, so that the lowest value fits too.
  constexpr long long kLow = std::numeric_limits<long long>::min();
  constexpr long long kHigh = std::numeric_limits<long long>::max();
  long long value = 0;
  for (std::size_t k = i; k < i + digits; ++k) {
    const int d = text[k] - L'0';
    if (negative) {
      value = value < (kLow + d) / 10 ? kLow : value * 10 - d;
    } else {
      value = value > (kHigh - d) / 10 ? kHigh : value * 10 + d;
    }
  }
  return LeadingInteger{value, i + digits};
}

std::optional<long long> ParseDecimal(std::wstring_view text) noexcept {
  const std::optional<LeadingInteger> n = ReadLeadingInteger(text);
  if (!n || n->length != text.size()) return std::nullopt;
  return n->value;
}

std::optional<long long> ParseDecimal(std::wstring_view text, long long low, long long high) noexcept {
  const std::optional<long long> n = ParseDecimal(text);
  if (!n || *n < low || *n > high) return std::nullopt;
  return n;
}

}  // namespace zor
