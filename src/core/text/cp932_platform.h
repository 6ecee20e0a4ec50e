// The two primitives each platform supplies for the CP932 codec. Both are
// strict: they fail as a whole instead of substituting anything.
#pragma once

#include <string>
#include <string_view>

namespace zor::detail {

// Decodes well-formed CP932 bytes; false when any byte sequence is refused.
[[nodiscard]] bool Cp932DecodeStrict(std::string_view bytes, std::wstring& out);

// Encodes text; false when any character has no exact CP932 form.
[[nodiscard]] bool Cp932EncodeStrict(std::wstring_view text, std::string& out);

}  // namespace zor::detail
