// The family names a TrueType/OpenType font gives in its "name" table, in
// every language it carries. A face stored under its Japanese name is then
// found on a system that lists the family under its English one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zor {

// The family (name id 1) and typographic family (id 16) names of the Unicode
// and Windows platforms, each once, in table order. A truncated or malformed
// table gives the names read before the fault, records pointing outside the
// table are skipped; nothing is read beyond the bytes given.
[[nodiscard]] std::vector<std::wstring> FontFamilyNames(std::span<const std::uint8_t> nameTable);

// True when the two face names are the same but for the letter case of ASCII
// letters (as the system compares face names).
[[nodiscard]] bool SameFaceName(std::wstring_view a, std::wstring_view b);

}  // namespace zor
