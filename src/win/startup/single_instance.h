// One running copy of the program: a named mutex, held until the process ends.
#pragma once

#include <windows.h>

namespace zor::win {

struct InstanceClaim {
  HANDLE mutex = nullptr;    // held until the process ends; null when it could not be made
  bool anotherRuns = false;  // the name was still taken when the wait ended
};

// Takes the mutex of that name. While another process holds it, looks again
// every few milliseconds for at most waitMs, so a copy that is just ending
// does not keep this one from starting.
[[nodiscard]] InstanceClaim ClaimSingleInstance(const wchar_t* name, DWORD waitMs);

}  // namespace zor::win
