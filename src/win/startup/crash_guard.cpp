#include "win/startup/crash_guard.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <exception>

#include "win/common/system.h"

namespace zor::win {

namespace {

std::array<wchar_t, 2048> g_log{};
std::uintptr_t g_imageStart = 0;
std::uintptr_t g_imageEnd = 0;
volatile LONG g_recorded = 0;
// The code a C++ termination (an exception that no one catches) is logged
// with: the status of an application's fatal exit.
constexpr DWORD kTerminated = 0x40000015;

// Codes no code of ours raises and handles on purpose: a bug.
bool IsFatal(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_NONCONTINUABLE_EXCEPTION:
      return true;
    default:
      return false;
  }
}

// Only this program's own code: system libraries handle some access
// violations themselves, and those must not end the saver.
bool InOwnImage(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  return at >= g_imageStart && at < g_imageEnd;
}

void RecordOnce(DWORD code, const void* address) {
  if (InterlockedExchange(&g_recorded, 1) != 0) return;
  RecordCrash(g_log[0] ? g_log.data() : nullptr, code, address);
}

LONG CALLBACK FirstLook(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* r = info->ExceptionRecord;
  if (!IsFatal(r->ExceptionCode) || !InOwnImage(r->ExceptionAddress)) return EXCEPTION_CONTINUE_SEARCH;
  RecordOnce(r->ExceptionCode, r->ExceptionAddress);
  TerminateProcess(GetCurrentProcess(), r->ExceptionCode);
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI LastLook(EXCEPTION_POINTERS* info) {
  RecordOnce(info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
  return EXCEPTION_EXECUTE_HANDLER;  // the process ends without the system's crash dialog
}

char* PutDecimal(char* p, unsigned value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return p + digits;
}

char* PutHex(char* p, std::uint64_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    p[i] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  }
  return p + digits;
}

char* PutText(char* p, const char* text) {
  while (*text) *p++ = *text++;
  return p;
}

}  // namespace

std::size_t FormatCrashLine(const SYSTEMTIME& time, DWORD code, const void* address, char* out,
                            std::size_t size) noexcept {
  char line[80];
  char* p = PutDecimal(line, time.wYear, 4);
  *p++ = '-';
  p = PutDecimal(p, time.wMonth, 2);
  *p++ = '-';
  p = PutDecimal(p, time.wDay, 2);
  *p++ = ' ';
  p = PutDecimal(p, time.wHour, 2);
  *p++ = ':';
  p = PutDecimal(p, time.wMinute, 2);
  *p++ = ':';
  p = PutDecimal(p, time.wSecond, 2);
  p = PutText(p, " exception 0x");
  p = PutHex(p, code, 8);
  p = PutText(p, " at 0x");
  p = PutHex(p, reinterpret_cast<std::uintptr_t>(address), 16);
  p = PutText(p, "\r\n");
  if (size == 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(p - line), size - 1);
  for (std::size_t i = 0; i < n; ++i) out[i] = line[i];
  out[n] = '\0';
  return n;
}

void RecordCrash(const wchar_t* log, DWORD code, const void* address) noexcept {
  SetScreenSaverActive(true);
  if (!log) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[96];
  const std::size_t n = FormatCrashLine(now, code, address, line, sizeof line);
  HANDLE f = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  (void)WriteFile(f, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(f);
}

void InstallSaverCrashGuard(const std::filesystem::path& log) {
  const std::wstring& text = log.native();
  g_log[0] = L'\0';
  if (text.size() < g_log.size()) std::wmemcpy(g_log.data(), text.c_str(), text.size() + 1);
  const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  g_imageStart = reinterpret_cast<std::uintptr_t>(base);
  g_imageEnd = g_imageStart + nt->OptionalHeader.SizeOfImage;
  AddVectoredExceptionHandler(1, FirstLook);
  SetUnhandledExceptionFilter(LastLook);
  // abort() raises no exception the filters would see.
  std::set_terminate([] {
    RecordOnce(kTerminated, nullptr);
    std::abort();
  });
}

}  // namespace zor::win
