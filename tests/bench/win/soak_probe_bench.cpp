// Resource figures of a running program, for the soak run (scripts/soak):
//   win_soak_probe_bench.exe header         - the CSV header of the lines below.
//   win_soak_probe_bench.exe window CLASS   - one CSV line for the process of
//       the first top-level window of the class ("missing" when there is none).
//   win_soak_probe_bench.exe pid PID        - the same for a process id.
//   win_soak_probe_bench.exe system         - the whole system:
//       PROCESSES,HANDLES,WINDOWS,ATOMS (windows top-level and child, any
//       process; the string atoms of the global table, where window classes
//       and registered messages that outlive their program would show).
//   win_soak_probe_bench.exe check          - what this system answers for the
//       calls: figures of this process before and after it makes 200 fonts,
//       200 bitmaps, 20 windows and 200 events, and after it lets them go.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "win/common/diagnostics.h"

namespace {

using zor::win::FiguresCsvHeader;
using zor::win::FiguresCsvLine;
using zor::win::ReadProcessFigures;

int Report(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) {
    std::printf("missing\n");
    return 1;
  }
  const zor::win::ProcessFigures f = ReadProcessFigures(process, pid);
  CloseHandle(process);
  std::printf("%lu,%s\n", pid, FiguresCsvLine(f, nullptr).c_str());
  return 0;
}

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++*reinterpret_cast<long*>(data);
  return TRUE;
}

// EnumChildWindows reaches the children's children too.
BOOL CALLBACK CountTopLevel(HWND w, LPARAM data) {
  ++*reinterpret_cast<long*>(data);
  EnumChildWindows(w, CountChild, data);
  return TRUE;
}

// Every process's figures at once: what a run of many short programs must
// leave as it found it.
int ReportSystem() {
  long processes = 0;
  if (HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0); snap != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32FirstW(snap, &pe); more; more = Process32NextW(snap, &pe)) ++processes;
    CloseHandle(snap);
  }
  long windows = 0;
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  long atoms = 0;
  for (unsigned a = 0xC000; a <= 0xFFFF; ++a) {
    wchar_t name[256];
    if (GlobalGetAtomNameW(static_cast<ATOM>(a), name, 256)) ++atoms;
  }
  std::printf("%ld,%ld,%ld,%ld\n", processes, zor::win::SystemHandleTotal(), windows, atoms);
  return 0;
}

void Line(const char* label) {
  const auto owned = zor::win::OwnedCounts();
  const zor::win::GdiTableCounts table = zor::win::ReadOwnGdiTable();
  std::printf("%-9s %s\n", label,
              FiguresCsvLine(ReadProcessFigures(GetCurrentProcess(), GetCurrentProcessId()), &owned, &table).c_str());
  std::printf("          GDI table by type:");
  for (std::size_t t = 0; t < table.byType.size(); ++t) {
    if (table.byType[t]) std::printf(" %02zx:%ld", t, table.byType[t]);
  }
  std::printf("\n");
}

int Check() {
  std::printf("%-9s %s\n", "", FiguresCsvHeader(true).c_str());
  Line("start");
  {
    std::vector<zor::win::UniqueFont> fonts;
    std::vector<zor::win::UniqueBitmap> bitmaps;
    std::vector<zor::win::UniqueWindow> windows;
    std::vector<zor::win::UniqueKernelHandle> events;
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 200; ++i) {
      fonts.emplace_back(CreateFontW(-(10 + i), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
      bitmaps.emplace_back(CreateCompatibleBitmap(screen, 64, 64));
      events.emplace_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    }
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 20; ++i) {
      windows.emplace_back(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    }
    Line("holding");
  }
  Line("released");
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 2;
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"header") {
    std::printf("pid,%s\n", FiguresCsvHeader(false).c_str());
    return 0;
  }
  if (command == L"check") return Check();
  if (command == L"system") return ReportSystem();
  if (command == L"pid" && argc > 2) return Report(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  if (command == L"window" && argc > 2) {
    HWND w = FindWindowW(argv[2], nullptr);
    DWORD pid = 0;
    if (!w || !GetWindowThreadProcessId(w, &pid)) {
      std::printf("missing\n");
      return 1;
    }
    return Report(pid);
  }
  std::fprintf(stderr, "usage: win_soak_probe_bench.exe header | window CLASS | pid PID | system | check\n");
  return 2;
}
