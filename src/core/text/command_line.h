// Reading the screen-saver host's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zor {

// The preview parent's window handle: the longest suffix of the trimmed
// command line that reads as a number (leading blanks allowed), rounded to a
// 32-bit integer. 0 when no suffix is a number or the number does not fit in
// 32 bits.
[[nodiscard]] std::int32_t ParseParentHandle(std::wstring_view commandLine);

// The value of a text that reads as a decimal number: blanks around, an
// optional sign, digits with an optional fraction, an optional exponent.
[[nodiscard]] std::optional<double> ReadNumber(std::wstring_view text);

}  // namespace zor
