// Helper program of the end-to-end tests.
//   e2e_host host W H OUT [LIFE_MS]  a window like the screen-saver host's
//       preview area: writes its handle to OUT, then every 100 ms the child
//       windows it holds to OUT.children; closes itself after LIFE_MS.
//   e2e_host spi-get                  prints 1 or 0: screen-saver activation
//   e2e_host spi-set 0|1              switches it
//   e2e_host monitors                 prints each monitor's rectangle
//   e2e_host cursor X Y               puts the pointer there (Wine then knows
//       where it is, not only the X server)
//   e2e_host codepage                 "ACP OEMCP LOCALE" of the system
// Windows and controls found as UI automation finds them, by caption and
// class (screen pixels; a window is a visible top-level window):
//   e2e_host windows                  every visible top-level window:
//       LEFT TOP RIGHT BOTTOM CLASS<tab>CAPTION
//   e2e_host window CAPTION           LEFT TOP RIGHT BOTTOM of the window
//   e2e_host dpi                      the system's DPI (Wine's LogPixels)
//   e2e_host wait CAPTION [MS]        waits until the window shows (exit 1 after MS)
//   e2e_host gone CAPTION [MS]        waits until no such window shows
//   e2e_host control CAPTION CLASS TEXT [N]   the control of that class and
//       text (the N-th such, from 0; TEXT "#K" is the K-th of the class,
//       ">LABEL" the first of the class after the control reading LABEL,
//       "=ID" the one with that control id):
//       LEFT TOP RIGHT BOTTOM CENTRE_X CENTRE_Y ENABLED VISIBLE CHECKED
//       (CHECKED is BM_GETCHECK for buttons, -1 for others)
//   e2e_host text CAPTION CLASS TEXT [N]      the control's text
//   e2e_host list CAPTION             the window's list box: "count N",
//       "selected S", "itemheight H", "top T", "client L T R B" (the list's
//       client area on the screen), then one "ROW<tab>TEXT" line per row,
//       the text without its trailing blanks
//   e2e_host focus                    the control with the keyboard focus in
//       the foreground window: ID<tab>CLASS
//   e2e_host controls [CAPTION]       once the windows have settled, the front
//       window (or CAPTION's): "window CLASS<tab>CAPTION<tab>L T R B", "focus
//       ID<tab>CLASS", then each visible enabled control as
//       "L T R B<tab>CLASS<tab>ID<tab>CHECKED<tab>TEXT" (line breaks as " / ")
//   e2e_host answering CAPTION [MS]   the window handles a message within MS
// With E2E_PROGRAM set, only windows of programs whose path holds that text
// (any letter case) are seen. Text goes out as UTF-8. Exit codes: 0 found,
// 1 not found, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

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

// --- Finding windows and controls -------------------------------------------

// The C runtime's %ls writes only what the "C" locale knows: text goes out
// converted by hand.
void PrintUtf8(const std::wstring& text) {
  if (text.empty()) return;
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// A control's text as its own window procedure gives it (an edit box keeps
// its text apart from the caption the window manager knows); a hung window
// gives "".
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::vector<wchar_t> buffer(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, 2000, &got)) {
    return {};
  }
  return std::wstring(buffer.data(), std::min<std::size_t>(got, length));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = L"";
  GetClassNameW(hwnd, name, 256);
  return name;
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// Programs that share the Wine prefix share its window list, whatever X
// display they draw on: with E2E_PROGRAM set (part of a program's path,
// e.g. the test's folder), only that program's windows count.
bool OfTheProgram(HWND hwnd) {
  static const std::wstring want = [] {
    wchar_t value[1024] = L"";
    return Lower(GetEnvironmentVariableW(L"E2E_PROGRAM", value, 1024) < 1024 ? value : L"");
  }();
  if (want.empty()) return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  wchar_t path[1024] = L"";
  DWORD size = 1024;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
  CloseHandle(process);
  return named && Lower(path).find(want) != std::wstring::npos;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        if (IsWindowVisible(hwnd) && OfTheProgram(hwnd)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// The first visible top-level window with exactly this caption (the front
// one when there are several, e.g. a message box over a window of the same name).
HWND FindTopLevel(const std::wstring& caption) {
  for (HWND hwnd : TopLevelWindows()) {
    wchar_t title[512] = L"";
    GetWindowTextW(hwnd, title, 512);
    if (caption == title) return hwnd;
  }
  return nullptr;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// The control of a class with a text, the index-th of the matches. Text
// "#K" takes the K-th control of the class whatever its text; ">LABEL" the
// first one after the control that reads LABEL (the control a label names,
// as screen readers pair them).
// A control's text as the user reads it: an access key "(&X)" dropped
// (tests name controls by their words).
std::wstring ShownText(std::wstring text) {
  for (std::size_t at = text.find(L"(&"); at != std::wstring::npos; at = text.find(L"(&", at)) {
    if (at + 3 < text.size() && text[at + 3] == L')') {
      text.erase(at, 4);
    } else {
      ++at;
    }
  }
  return text;
}

// True when a control's text names it: its words with or without the access key.
bool Named(HWND hwnd, const std::wstring& text) {
  const std::wstring own = TextOf(hwnd);
  return own == text || ShownText(own) == text;
}

HWND FindControl(HWND parent, const std::wstring& cls, const std::wstring& text, int index) {
  int byClass = -1;
  if (text.size() > 1 && text[0] == L'#') byClass = _wtoi(text.c_str() + 1);
  // "=N": the control with id N, whatever its caption (Wine words the
  // buttons of its own boxes in the locale's language).
  const bool byId = text.size() > 1 && text[0] == L'=';
  const bool afterLabel = text.size() > 1 && text[0] == L'>';
  bool labelSeen = false;
  int seen = 0;
  for (HWND hwnd : Descendants(parent)) {
    if (afterLabel && !labelSeen) {
      labelSeen = Named(hwnd, text.substr(1));
      continue;
    }
    if (!SameNoCase(ClassOf(hwnd), cls)) continue;
    if (afterLabel) return hwnd;
    if (byId) {
      if (GetDlgCtrlID(hwnd) == _wtoi(text.c_str() + 1) && seen++ == index) return hwnd;
      continue;
    }
    if (byClass >= 0) {
      if (seen++ == byClass) return hwnd;
      continue;
    }
    if (Named(hwnd, text) && seen++ == index) return hwnd;
  }
  return nullptr;
}

int PrintWindows() {
  for (HWND hwnd : TopLevelWindows()) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    wchar_t title[512] = L"";
    GetWindowTextW(hwnd, title, 512);
    std::printf("%ld %ld %ld %ld ", r.left, r.top, r.right, r.bottom);
    PrintUtf8(ClassOf(hwnd) + L"\t" + title + L"\n");
  }
  return 0;
}

int PrintWindow(const std::wstring& caption) {
  HWND hwnd = FindTopLevel(caption);
  if (!hwnd) return 1;
  RECT r{};
  GetWindowRect(hwnd, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

int Wait(const std::wstring& caption, DWORD ms, bool untilGone) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if ((FindTopLevel(caption) != nullptr) != untilGone) return 0;
    if (GetTickCount64() >= end) return 1;
    Sleep(50);
  }
}

int PrintControl(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  int checked = -1;
  if (SameNoCase(ClassOf(control), L"Button")) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    checked = static_cast<int>(state);
  }
  std::printf("%ld %ld %ld %ld %ld %ld %d %d %d\n", r.left, r.top, r.right, r.bottom, (r.left + r.right) / 2,
              (r.top + r.bottom) / 2, IsWindowEnabled(control) ? 1 : 0, IsWindowVisible(control) ? 1 : 0, checked);
  return 0;
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

int PrintList(HWND parent) {
  HWND list = FindControl(parent, L"ListBox", L"#0", 0);
  if (!list) return 1;
  const int count = static_cast<int>(Ask(list, LB_GETCOUNT));
  RECT r{};
  GetClientRect(list, &r);
  MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  std::printf("count %d\nselected %d\nitemheight %d\ntop %d\nclient %ld %ld %ld %ld\n", count,
              static_cast<int>(Ask(list, LB_GETCURSEL)), static_cast<int>(Ask(list, LB_GETITEMHEIGHT)),
              static_cast<int>(Ask(list, LB_GETTOPINDEX)), r.left, r.top, r.right, r.bottom);
  for (int i = 0; i < count; ++i) {
    const auto length = Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
    std::wstring row;
    if (length > 0) {
      std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
      Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()));
      row = buffer.data();
    }
    row.erase(row.find_last_not_of(L' ') + 1);
    std::printf("%d\t", i);
    PrintUtf8(row + L"\n");
  }
  return 0;
}

// The front window of the program: the first visible top-level window that
// is not a tooltip.
HWND FrontWindow() {
  for (HWND hwnd : TopLevelWindows()) {
    if (ClassOf(hwnd) != L"tooltips_class32") return hwnd;
  }
  return nullptr;
}

HWND FocusedControl() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

// What an action changes: the front window, the windows shown, the focus
// and the controls usable.
std::wstring Signature(HWND front) {
  std::wstring s = std::to_wstring(reinterpret_cast<ULONG_PTR>(front)) + L" " +
                   std::to_wstring(TopLevelWindows().size()) + L" " +
                   std::to_wstring(reinterpret_cast<ULONG_PTR>(FocusedControl()));
  if (front) {
    for (HWND c : Descendants(front)) s += IsWindowVisible(c) && IsWindowEnabled(c) ? L"1" : L"0";
  }
  return s;
}

std::wstring OneLine(std::wstring text) {
  for (std::size_t at = 0; (at = text.find_first_of(L"\r\n\t", at)) != std::wstring::npos;) {
    const std::size_t end = text.find_first_not_of(L"\r\n\t", at);
    text.replace(at, (end == std::wstring::npos ? text.size() : end) - at, L" / ");
    at += 3;
  }
  return text.size() > 80 ? text.substr(0, 80) : text;
}

// Waits (at most 3 s) until nothing has changed for 200 ms, then prints the window and its controls.
int PrintControls(const wchar_t* caption) {
  const ULONGLONG end = GetTickCount64() + 3000;
  HWND top = nullptr;
  std::wstring last;
  int same = 0;
  while (GetTickCount64() < end && same < 4) {
    top = caption ? FindTopLevel(caption) : FrontWindow();
    const std::wstring now = Signature(top);
    same = now == last ? same + 1 : 0;
    last = now;
    Sleep(50);
  }
  if (!top) return 1;
  RECT r{};
  GetWindowRect(top, &r);
  wchar_t title[512] = L"";
  GetWindowTextW(top, title, 512);
  PrintUtf8(L"window " + ClassOf(top) + L"\t" + OneLine(title) + L"\t");
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  HWND focus = FocusedControl();
  std::printf("focus %d\t", focus ? GetDlgCtrlID(focus) : 0);
  PrintUtf8((focus ? ClassOf(focus) : L"") + L"\n");
  for (HWND c : Descendants(top)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    GetWindowRect(c, &r);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    const std::wstring cls = ClassOf(c);
    const int checked = SameNoCase(cls, L"Button") ? static_cast<int>(Ask(c, BM_GETCHECK)) : -1;
    std::printf("%ld %ld %ld %ld\t", r.left, r.top, r.right, r.bottom);
    PrintUtf8(cls + L"\t" + std::to_wstring(GetDlgCtrlID(c)) + L"\t" + std::to_wstring(checked) + L"\t" +
              OneLine(TextOf(c)) + L"\n");
  }
  return 0;
}

// Exit 0 when the window handles a sent message within the time.
int Answering(const std::wstring& caption, DWORD ms) {
  HWND hwnd = FindTopLevel(caption);
  if (!hwnd) return 1;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) ? 0 : 1;
}

// Window and control commands: argv[2] is the window's caption.
int Find(const std::wstring& mode, int argc, wchar_t** argv) {
  if (mode == L"windows") return PrintWindows();
  if (mode == L"focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus) return 1;
    std::printf("%d\t", GetDlgCtrlID(info.hwndFocus));
    PrintUtf8(ClassOf(info.hwndFocus) + L"\n");
    return 0;
  }
  if (mode == L"controls") return PrintControls(argc > 2 ? argv[2] : nullptr);
  if (mode == L"dpi") {
    // Wine answers GetDpiForWindow for another process's window with 96
    // now and then, whatever the window was made at: the system's DPI is
    // asked instead.
    HDC screen = GetDC(nullptr);
    std::printf("%d\n", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return 0;
  }
  if (argc < 3) return 2;
  const std::wstring caption = argv[2];
  if (mode == L"wait" || mode == L"gone") {
    return Wait(caption, argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000, mode == L"gone");
  }
  if (mode == L"window") return PrintWindow(caption);
  if (mode == L"answering") return Answering(caption, argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000);
  HWND top = FindTopLevel(caption);
  if (mode == L"list") return top ? PrintList(top) : 1;
  if ((mode == L"control" || mode == L"text") && argc >= 5) {
    HWND control = top ? FindControl(top, argv[3], argv[4], argc > 5 ? _wtoi(argv[5]) : 0) : nullptr;
    if (!control) return 1;
    if (mode == L"control") return PrintControl(control);
    PrintUtf8(TextOf(control) + L"\n");
    return 0;
  }
  return 2;
}

// Screen pixels, whatever the DPI: a DPI-unaware process would be given
// coordinates scaled to 96 DPI.
void BePerMonitorAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (set) set(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  BePerMonitorAware();
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
  if (mode == L"codepage") {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = L"";
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    std::printf("%u %u ", GetACP(), GetOEMCP());
    PrintUtf8(std::wstring(locale) + L"\n");
    return 0;
  }
  const int rc = Find(mode, argc, argv);
  if (rc != 2) return rc;
  std::fprintf(stderr,
               "usage: e2e_host host W H OUT [LIFE_MS] | spi-get | spi-set 0|1 | monitors | cursor X Y | codepage | windows |\n"
               "       dpi | window CAPTION | wait|gone CAPTION [MS] | control|text CAPTION CLASS TEXT [N] | list CAPTION |\n"
               "       controls [CAPTION] | answering CAPTION [MS]\n");
  return 2;
}
