#include "win/startup/single_instance.h"

namespace zor::win {

namespace {
constexpr DWORD kPollMs = 50;
}  // namespace

InstanceClaim ClaimSingleInstance(const wchar_t* name, DWORD waitMs) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  for (;;) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    // A mutex that cannot be made at all does not keep the program from running.
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) return {mutex, false};
    // This handle alone would keep the other process's mutex alive.
    CloseHandle(mutex);
    if (GetTickCount64() >= deadline) return {nullptr, true};
    Sleep(kPollMs);
  }
}

}  // namespace zor::win
