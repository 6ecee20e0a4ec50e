#include "win/common/system.h"

namespace zor::win {

namespace {
void Show(HWND owner, std::wstring_view text, UINT icon) {
  const std::wstring t(text);
  MessageBoxW(owner, t.c_str(), kTitle, MB_OK | icon | (owner ? 0 : MB_TOPMOST));
}
}  // namespace

void ShowWarning(HWND owner, std::wstring_view text) { Show(owner, text, MB_ICONWARNING); }
void ShowError(HWND owner, std::wstring_view text) { Show(owner, text, MB_ICONERROR); }
void ShowInformation(HWND owner, std::wstring_view text) { Show(owner, text, MB_ICONINFORMATION); }

void SetScreenSaverActive(bool active) { SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, 0); }

std::wstring CommandArguments() {
  const wchar_t* p = GetCommandLineW();
  if (!p) return {};
  // The program's name: quoted, or up to the first blank.
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace zor::win
