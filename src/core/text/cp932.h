// Code page 932 (Shift_JIS as Windows defines it): the encoding of every text
// the program keeps in files. One interface, two implementations chosen at
// link time: the Win32 code page functions on Windows, iconv natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zor {

// Text to CP932 bytes. A character CP932 cannot hold becomes one '?'
// (no best-fit substitutes), so every code point gives one or two bytes.
[[nodiscard]] std::string ToCp932(std::wstring_view text);

// CP932 bytes to text. A byte that does not start a valid character (a lone
// lead byte, a lead byte before an invalid trail byte, an unassigned pair, or
// one of the undefined single bytes 0x80, 0xA0, 0xFD-0xFF) becomes U+FFFD and
// decoding goes on with the next byte.
[[nodiscard]] std::wstring FromCp932(std::string_view bytes);

// True when every character of the text has a CP932 form ('?' itself included).
[[nodiscard]] bool FitsCp932(std::wstring_view text);

// The characters of the text that have no CP932 form, each once, in the
// order of their first appearance.
[[nodiscard]] std::wstring CharactersOutsideCp932(std::wstring_view text);

// Appends the CP932 form of one code point; false (nothing appended) when it has none.
bool AppendCp932(std::string& out, char32_t cp);

// First byte of a double-byte character.
[[nodiscard]] constexpr bool IsCp932LeadByte(unsigned char b) noexcept {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

[[nodiscard]] constexpr bool IsCp932TrailByte(unsigned char b) noexcept {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// True when the lead and trail byte make a character CP932 assigns.
[[nodiscard]] bool Cp932PairAssigned(unsigned char lead, unsigned char trail);

// Byte length of the CP932 form.
[[nodiscard]] std::size_t Cp932Length(std::wstring_view text);

}  // namespace zor
