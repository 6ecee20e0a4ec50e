// Characters that other systems write where code page 932 holds a character
// under another code point: the same bytes decoded by another table (the
// wave dash, the minus sign, the em dash, the cent and pound signs...).
#pragma once

#include <string>
#include <string_view>

namespace zor {

// The code point CP932 holds for a look-alike, or cp itself.
[[nodiscard]] char32_t Cp932LookAlike(char32_t cp) noexcept;

// The text with every look-alike replaced; each stays one UTF-16 unit, so
// positions in the text are kept.
[[nodiscard]] std::wstring ReplaceLookAlikes(std::wstring_view text);

}  // namespace zor
