// Measures of message texts: half-width test, length rule, shortened titles
// and paths, and the fold of long plain messages. Byte counts are counts of
// the CP932 form; character counts are UTF-16 units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// True when some character's CP932 code is a single byte from 32 to 255
// (ASCII letters, digits, blanks, half-width katakana; a character CP932
// cannot hold counts as its substitute "?"). Control characters do not count.
[[nodiscard]] bool ContainsHalfWidth(std::wstring_view text);

// The message length rule: non-empty; at most 32 characters when wholly
// full-width, at most 96 CP932 bytes otherwise. Blanks count.
[[nodiscard]] bool AcceptableMessage(std::wstring_view text);

inline constexpr std::size_t kMaxFullWidthChars = 32;
inline constexpr std::size_t kMaxHalfWidthBytes = 96;

// The text itself when its CP932 form has at most 2 × n bytes; otherwise its
// first 2 × n bytes (one fewer when the cut would split a double-byte
// character) followed by "...".
[[nodiscard]] std::wstring ShortenTitle(std::wstring_view text, int n);

// Bytes of a plain message that go to its first line, or -1 for one line.
[[nodiscard]] std::int16_t GetFoldPos(std::wstring_view text);

// A long path as a short lower-case caption: head "\" ... "\" tail.
[[nodiscard]] std::wstring ShortenPath(std::wstring_view path);

// Lower case of ASCII, full-width Latin, Greek and Cyrillic letters: the
// letters CP932 holds in both cases.
[[nodiscard]] std::wstring LowerCase(std::wstring_view text);

// Blanks at both ends removed (half-width spaces only, as the form toolkit trims).
[[nodiscard]] std::wstring Trim(std::wstring_view text);

}  // namespace zor
