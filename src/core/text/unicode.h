// Code points, UTF-16 units and UTF-8, independent of the width of wchar_t.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

inline constexpr char32_t kReplacementChar = U'\uFFFD';

// Code points of a wide string (UTF-16 with 16-bit wchar_t, UTF-32 otherwise).
// An unpaired surrogate is passed through as its own code point.
[[nodiscard]] std::vector<char32_t> CodePoints(std::wstring_view text);
[[nodiscard]] std::wstring FromCodePoints(const std::vector<char32_t>& cps);
void AppendCodePoint(std::wstring& out, char32_t cp);

// Number of UTF-16 units the text takes (a character beyond U+FFFF counts 2).
[[nodiscard]] std::size_t Utf16Length(std::wstring_view text);

[[nodiscard]] std::string ToUtf8(std::wstring_view text);
// Invalid UTF-8 sequences become U+FFFD.
[[nodiscard]] std::wstring FromUtf8(std::string_view bytes);

}  // namespace zor
