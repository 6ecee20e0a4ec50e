#include "win/common/diagnostics.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace zor::win {

namespace {

using QuerySystemInformation = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// Handles of a process (of every process with none given) in the system-wide
// handle list. Wine 8 answers 0 to GetProcessHandleCount but lists the wine
// server's handles here.
long CountSystemHandles(const DWORD* processId) {
  static const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status < 0) return -1;
    const auto* info = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    const std::size_t room = (buffer.size() - offsetof(SYSTEM_HANDLE_INFORMATION, Handle)) / sizeof(SYSTEM_HANDLE_ENTRY);
    const std::size_t n = std::min<std::size_t>(info->Count, room);
    long count = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (!processId || info->Handle[i].OwnerPid == *processId) ++count;
    }
    return count;
  }
  return -1;
}

struct WindowTally {
  DWORD processId;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowTally*>(data)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM data) {
  auto* tally = reinterpret_cast<WindowTally*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != tally->processId) return TRUE;
  ++tally->count;
  EnumChildWindows(w, CountChild, data);
  return TRUE;
}

}  // namespace

GdiTableCounts ReadOwnGdiTable() {
  // The PEB's GdiSharedHandleTable (offset 0xF8 on x64): 65536 entries of 24
  // bytes, an entry's type at byte 14 (0 when free) and its owner's process
  // id in the low 16 bits at byte 8. Wine keeps its real GDI handle table
  // there, which GetGuiResources (a stub in Wine 8) does not report.
  GdiTableCounts c;
  using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0 ||
      !basic.PebBaseAddress) {
    return c;
  }
  const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
  const unsigned char* table = nullptr;
  std::memcpy(&table, peb + 0xF8, sizeof table);
  if (!table) return c;
  const auto self = static_cast<USHORT>(GetCurrentProcessId() & 0xFFFF);
  c.total = 0;
  for (std::size_t i = 0; i < 0x10000; ++i) {
    const unsigned char* e = table + i * 24;
    const unsigned char type = e[14] & 0x1F;
    if (type == 0) continue;
    USHORT owner = 0;
    std::memcpy(&owner, e + 8, sizeof owner);
    if (owner != 0 && owner != self) continue;
    ++c.total;
    ++c.byType[type];
    switch (type) {
      case 0x01: ++c.dcs; break;
      case 0x05:  // a bitmap on Windows
      case 0x09:  // a bitmap in Wine's table
        ++c.bitmaps;
        break;
      case 0x0A: ++c.fonts; break;
      case 0x10: ++c.brushesAndPens; break;
      default: break;
    }
  }
  return c;
}

ProcessFigures ReadProcessFigures(HANDLE process, DWORD processId) {
  ProcessFigures f;
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
    f.workingSet = pmc.WorkingSetSize;
    f.peakWorkingSet = pmc.PeakWorkingSetSize;
    f.privateBytes = pmc.PrivateUsage;
    f.memoryRead = true;
  }
  f.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  f.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  f.gdiPeak = GetGuiResources(process, GR_GDIOBJECTS_PEAK);
  f.userPeak = GetGuiResources(process, GR_USEROBJECTS_PEAK);
  f.handlesRead = GetProcessHandleCount(process, &f.handles) != 0;
  if (HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0); snap != INVALID_HANDLE_VALUE) {
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te)) {
      if (te.th32OwnerProcessID == processId) ++f.threads;
    }
    CloseHandle(snap);
  }
  f.systemHandles = CountSystemHandles(&processId);
  WindowTally tally{processId, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
  f.windows = tally.count;
  return f;
}

long SystemHandleTotal() { return CountSystemHandles(nullptr); }

std::array<std::int32_t, kOwnedKinds> OwnedCounts() noexcept {
  std::array<std::int32_t, kOwnedKinds> counts{};
  for (int k = 0; k < kOwnedKinds; ++k) counts[static_cast<std::size_t>(k)] = OwnedLive(static_cast<Owned>(k));
  return counts;
}

std::string FiguresCsvHeader(bool withOwned) {
  std::string h = "ws_kb,peak_ws_kb,private_kb,gdi,user,gdi_peak,user_peak,handles,threads,sys_handles,windows";
  if (withOwned) {
    h += ",gdi_table,gdi_table_dcs,gdi_table_bitmaps,gdi_table_fonts,gdi_table_brushes_pens";
    h += ",own_fonts,own_bitmaps,own_brushes,own_memdcs,own_windcs,own_kernel,own_windows,own_other";
  }
  return h;
}

std::string FiguresCsvLine(const ProcessFigures& f, const std::array<std::int32_t, kOwnedKinds>* owned,
                           const GdiTableCounts* table) {
  char buf[256];
  const auto kb = [&](std::uint64_t bytes) { return f.memoryRead ? static_cast<long long>(bytes / 1024) : -1LL; };
  std::snprintf(buf, sizeof buf, "%lld,%lld,%lld,%lu,%lu,%lu,%lu,%ld,%lu", kb(f.workingSet), kb(f.peakWorkingSet),
                kb(f.privateBytes), f.gdiObjects, f.userObjects, f.gdiPeak, f.userPeak,
                f.handlesRead ? static_cast<long>(f.handles) : -1L, f.threads);
  std::string line = buf;
  std::snprintf(buf, sizeof buf, ",%ld,%ld", f.systemHandles, f.windows);
  line.append(buf);
  if (owned) {
    const GdiTableCounts none;
    const GdiTableCounts& t = table ? *table : none;
    std::snprintf(buf, sizeof buf, ",%ld,%ld,%ld,%ld,%ld", t.total, t.dcs, t.bitmaps, t.fonts, t.brushesAndPens);
    line.append(buf);
    for (const std::int32_t n : *owned) {
      std::snprintf(buf, sizeof buf, ",%ld", static_cast<long>(n));
      line.append(buf);
    }
  }
  return line;
}

std::unique_ptr<SoakLog> SoakLog::FromEnvironment() {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"ZOR_SOAK_LOG", path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return nullptr;
  UINT seconds = 60;
  wchar_t value[16];
  const DWORD m = GetEnvironmentVariableW(L"ZOR_SOAK_SECONDS", value, static_cast<DWORD>(std::size(value)));
  if (m > 0 && m < std::size(value)) {
    const unsigned long v = std::wcstoul(value, nullptr, 10);
    if (v >= 1 && v <= 86400) seconds = static_cast<UINT>(v);
  }
  return std::make_unique<SoakLog>(std::filesystem::path(path), seconds * 1000);
}

SoakLog::SoakLog(std::filesystem::path file, UINT periodMs)
    : file_(std::move(file)), periodMs_(periodMs), start_(GetTickCount64()) {}

bool SoakLog::Append(long ticks) {
  // Opened for each line: nothing stays open between samples, and a line is
  // on disk even when the process is ended from outside.
  const std::array<std::int32_t, kOwnedKinds> owned = OwnedCounts();
  const ProcessFigures f = ReadProcessFigures(GetCurrentProcess(), GetCurrentProcessId());
  const GdiTableCounts table = ReadOwnGdiTable();
  FILE* out = _wfopen(file_.c_str(), L"ab");
  if (!out) return false;
  bool ok = true;
  if (!headerWritten_) {
    ok = std::fprintf(out, "seconds,ticks,%s\n", FiguresCsvHeader(true).c_str()) > 0;
    headerWritten_ = true;
  }
  const double seconds = static_cast<double>(GetTickCount64() - start_) / 1000.0;
  ok = std::fprintf(out, "%.1f,%ld,%s\n", seconds, ticks, FiguresCsvLine(f, &owned, &table).c_str()) > 0 && ok;
  return std::fclose(out) == 0 && ok;
}

std::unique_ptr<ShownLog> ShownLog::FromEnvironment() {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"ZOR_SHOWN_LOG", path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return nullptr;
  return std::make_unique<ShownLog>(std::filesystem::path(path));
}

bool ShownLog::Append(std::wstring_view text) const {
  std::string line;
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    line.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, line.data(), static_cast<int>(line.size()), nullptr, nullptr);
  }
  line += '\n';
  // Opened for each line, as the soak log is: a line is on disk however the process ends.
  FILE* out = _wfopen(file_.c_str(), L"ab");
  if (!out) return false;
  const bool ok = std::fwrite(line.data(), 1, line.size(), out) == line.size();
  return std::fclose(out) == 0 && ok;
}

bool CrashTestInTimer() {
  wchar_t value[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"ZOR_CRASH_TEST", value, static_cast<DWORD>(std::size(value)));
  return n > 0 && n < std::size(value) && std::wstring_view(value, n) == L"timer";
}

}  // namespace zor::win
