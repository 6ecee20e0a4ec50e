#include "win/common/system.h"

#include <vector>

namespace zor::win {

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return L".\\";
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      const std::size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
    }
    if (buffer.size() > 32768) return L".\\";
    buffer.resize(buffer.size() * 2);
  }
}

bool FileExists(std::wstring_view path) {
  if (path.empty()) return false;
  const std::wstring p(path);
  const DWORD attributes = GetFileAttributesW(p.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

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
