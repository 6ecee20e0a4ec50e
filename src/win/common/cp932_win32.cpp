// CP932 primitives on the Win32 code page functions.
#include <windows.h>

#include <climits>

#include "core/text/cp932_platform.h"

namespace zor::detail {

namespace {
constexpr UINT kCodePage = 932;
}

bool Cp932DecodeStrict(std::string_view bytes, std::wstring& out) {
  out.clear();
  if (bytes.empty()) return true;
  if (bytes.size() > INT_MAX) return false;
  const int inLen = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), inLen, nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), inLen, out.data(), n) != n) {
    out.clear();
    return false;
  }
  return true;
}

bool Cp932EncodeStrict(std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (text.size() > INT_MAX / 2) return false;
  const int inLen = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), inLen, nullptr, 0, nullptr,
                                    &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.resize(static_cast<std::size_t>(n));
  usedDefault = FALSE;
  if (WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), inLen, out.data(), n, nullptr,
                          &usedDefault) != n ||
      usedDefault) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace zor::detail
