// The saver switches the system's screen-saver activation off while it runs;
// a saver that dies switches it back on through this guard, which also
// leaves one line (local time, exception code, address) in a crash log.
#pragma once

#include <windows.h>

#include <cstddef>
#include <filesystem>

namespace zor::win {

// The crash log's name, beside the settings file.
inline constexpr wchar_t kCrashLogName[] = L"zorante-crash.log";

// For the rest of the process: an unhandled-exception filter, a C++
// terminate handler, and a first look at every fatal exception raised in
// this program's own code, which ends the process at once. The first look also covers a crash in a window
// procedure, which the system would otherwise swallow (x64 Windows and Wine
// ignore exceptions that cross a user-mode callback).
void InstallSaverCrashGuard(const std::filesystem::path& log);

// What the guard does for a crash: the activation back on, then the line
// appended to log (no heap, so it still works when the heap is broken).
void RecordCrash(const wchar_t* log, DWORD code, const void* address) noexcept;

// "YYYY-MM-DD HH:MM:SS exception 0xXXXXXXXX at 0x<16 hex digits>\r\n" into
// out (NUL-terminated, cut to size); the length written.
std::size_t FormatCrashLine(const SYSTEMTIME& time, DWORD code, const void* address, char* out,
                            std::size_t size) noexcept;

}  // namespace zor::win
