// Path texts as the program shows and splits them ("\" and ":" separate).
#pragma once

#include <string>
#include <string_view>

namespace zor {

inline constexpr std::wstring_view kNoFileTitle = L"(登録ファイルを新規作成してください)";

// The part after the last "\" or ":"; kNoFileTitle when the path has neither.
[[nodiscard]] std::wstring FileTitleOf(std::wstring_view path);

// The path up to and including its last "\" or ":"; "" when it has neither.
[[nodiscard]] std::wstring FolderOf(std::wstring_view path);

}  // namespace zor
