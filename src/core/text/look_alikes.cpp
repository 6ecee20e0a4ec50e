#include "core/text/look_alikes.h"

namespace zor {

char32_t Cp932LookAlike(char32_t cp) noexcept {
  switch (cp) {
    case U'\u301C': return U'\uFF5E';  // wave dash → full-width tilde
    case U'\u2016': return U'\u2225';  // double vertical line → parallel to
    case U'\u2212': return U'\uFF0D';  // minus sign → full-width hyphen-minus
    case U'\u00A2': return U'\uFFE0';  // cent sign
    case U'\u00A3': return U'\uFFE1';  // pound sign
    case U'\u00AC': return U'\uFFE2';  // not sign
    case U'\u2014': return U'\u2015';  // em dash → horizontal bar
    case U'\u00A6': return U'\uFFE4';  // broken bar
    default: return cp;
  }
}

std::wstring ReplaceLookAlikes(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = static_cast<wchar_t>(Cp932LookAlike(static_cast<char32_t>(c)));
  return out;
}

}  // namespace zor
