#include "core/text/paths.h"

namespace zor {

std::wstring FileTitleOf(std::wstring_view path) {
  const std::size_t at = path.find_last_of(L"\\:");
  if (at == std::wstring_view::npos) return std::wstring(kNoFileTitle);
  return std::wstring(path.substr(at + 1));
}

std::wstring FolderOf(std::wstring_view path) {
  const std::size_t at = path.find_last_of(L"\\:");
  if (at == std::wstring_view::npos) return {};
  return std::wstring(path.substr(0, at + 1));
}

}  // namespace zor
