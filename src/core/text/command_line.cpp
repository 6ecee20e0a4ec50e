#include "core/text/command_line.h"

#include <cmath>
#include <string>

#include "core/text/measures.h"
#include "core/text/numbers.h"

namespace zor {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Appends the run of digits at text[i] to ascii and moves i past it; the count.
std::size_t TakeDigits(std::wstring_view text, std::size_t& i, std::string& ascii) {
  const std::size_t n = DigitCount(text.substr(i));
  for (std::size_t k = 0; k < n; ++k) ascii += static_cast<char>(text[i + k]);
  i += n;
  return n;
}
}  // namespace

std::optional<double> ReadNumber(std::wstring_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  std::string ascii;  // the number in the C locale's form
  if (i < n && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
  std::size_t digits = TakeDigits(text, i, ascii);
  if (i < n && text[i] == L'.') {
    ascii += '.';
    ++i;
    digits += TakeDigits(text, i, ascii);
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < n && (text[j] == L'+' || text[j] == L'-')) exponent += static_cast<char>(text[j++]);
    if (TakeDigits(text, j, exponent) == 0) return std::nullopt;
    ascii += exponent;
    i = j;
  }
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n) return std::nullopt;
  return std::strtod(ascii.c_str(), nullptr);
}

std::int32_t ParseParentHandle(std::wstring_view commandLine) {
  const std::wstring line = Trim(commandLine);
  for (std::size_t start = 0; start < line.size(); ++start) {
    const std::optional<double> value = ReadNumber(std::wstring_view(line).substr(start));
    if (!value) continue;
    // Round half to even, as the conversion to a 32-bit integer does.
    const double rounded = std::nearbyint(*value);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) return 0;
    return static_cast<std::int32_t>(rounded);
  }
  return 0;
}

}  // namespace zor
