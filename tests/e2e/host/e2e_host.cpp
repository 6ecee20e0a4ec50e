// Helper program of the end-to-end tests.
//   e2e_host host W H OUT [LIFE_MS]  a window like the screen-saver host's
//       preview area: writes its handle to OUT, then every 100 ms the child
//       windows it holds to OUT.children; closes itself after LIFE_MS.
//   e2e_host spi-get                  prints 1 or 0: screen-saver activation
//   e2e_host spi-set 0|1              switches it
//   e2e_host monitors                 prints each monitor's rectangle
//   e2e_host cursor X Y               puts the pointer there (Wine then knows
//       where it is, not only the X server)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring g_out;
DWORD g_life = 0;
ULONGLONG g_start = 0;

BOOL CALLBACK ListChild(HWND child, LPARAM data) {
  auto* text = reinterpret_cast<std::string*>(data);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  wchar_t title[128] = L"";
  GetWindowTextW(child, title, 128);
  char line[512];
  std::snprintf(line, sizeof line, "%ld %ld %ld %ld %d %ls\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                IsWindowVisible(child) ? 1 : 0, title);
  *text += line;
  return TRUE;
}

void WriteFileText(const std::wstring& path, const std::string& text) {
  const std::wstring tmp = path + L".tmp";
  FILE* f = _wfopen(tmp.c_str(), L"wb");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER: {
      std::string text;
      EnumChildWindows(hwnd, ListChild, reinterpret_cast<LPARAM>(&text));
      WriteFileText(g_out + L".children", text);
      if (g_life && GetTickCount64() - g_start >= g_life) DestroyWindow(hwnd);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

int Host(int w, int h, const std::wstring& out) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"E2EHost";
  wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 128));  // shows where no child draws
  RegisterClassW(&wc);
  RECT r{0, 0, w, h};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowW(L"E2EHost", L"E2E Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  g_out = out;
  g_start = GetTickCount64();
  WriteFileText(out, std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd))) + "\n");
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"host" && argc >= 5) {
    if (argc >= 6) g_life = static_cast<DWORD>(_wtoi(argv[5]));
    return Host(_wtoi(argv[2]), _wtoi(argv[3]), argv[4]);
  }
  if (mode == L"spi-get") {
    BOOL active = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    std::printf("%d\n", active ? 1 : 0);
    return 0;
  }
  if (mode == L"spi-set" && argc >= 3) {
    return SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(_wtoi(argv[2])), nullptr, SPIF_SENDCHANGE)
               ? 0
               : 1;
  }
  if (mode == L"monitors") {
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT r, LPARAM) -> BOOL {
          std::printf("%ld %ld %ld %ld\n", r->left, r->top, r->right, r->bottom);
          return TRUE;
        },
        0);
    return 0;
  }
  if (mode == L"cursor" && argc >= 4) return SetCursorPos(_wtoi(argv[2]), _wtoi(argv[3])) ? 0 : 1;
  std::fprintf(stderr, "usage: e2e_host host W H OUT [LIFE_MS] | spi-get | spi-set 0|1\n");
  return 2;
}
