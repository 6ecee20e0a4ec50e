#pragma once

#include <string_view>

namespace zor {
inline constexpr std::wstring_view kVersion = L"1.07";
}
