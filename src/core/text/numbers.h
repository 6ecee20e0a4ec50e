// Decimal integers in text: one reader for the command line, the settings
// file and the tool's arguments. Only the ASCII digits 0-9 count.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zor {

// How many characters at the start of text are digits.
[[nodiscard]] std::size_t DigitCount(std::wstring_view text) noexcept;

// An optional sign ("+" or "-") and the digits after it, at the start of
// text: the value, held at the limits of long long when it lies beyond
// them, and the characters taken. Nullopt when no digit follows the sign.
struct LeadingInteger {
  long long value = 0;
  std::size_t length = 0;
};
[[nodiscard]] std::optional<LeadingInteger> ReadLeadingInteger(std::wstring_view text) noexcept;

// The whole text as a decimal integer: an optional sign and digits, nothing
// else (no blanks, no fraction). A number beyond long long is held at its
// limit, so a range check refuses it.
[[nodiscard]] std::optional<long long> ParseDecimal(std::wstring_view text) noexcept;
// The same, nullopt outside low..high.
[[nodiscard]] std::optional<long long> ParseDecimal(std::wstring_view text, long long low, long long high) noexcept;

}  // namespace zor
