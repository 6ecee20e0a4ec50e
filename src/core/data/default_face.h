// The type face the program draws with when "UseFont" names none.
#pragma once

#include <string_view>

namespace zor {

inline constexpr std::wstring_view kDefaultFace = L"ＭＳ 明朝";

}  // namespace zor
