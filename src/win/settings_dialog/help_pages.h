// The help page of each dialog, which F1 opens.
#pragma once

#include <string_view>

namespace zor::win {

// The page ("page.html" or "page.html#part") of the dialog made from the
// template; the settings dialog's page for any other.
[[nodiscard]] std::wstring_view HelpPageOf(int templateId);

}  // namespace zor::win
