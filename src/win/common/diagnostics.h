// Resource figures of a process for long-run diagnostics: memory, the
// system's GDI/USER object and handle counts, threads, and the handles the
// owners of handles.h hold in this process.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "win/common/handles.h"

namespace zor::win {

struct ProcessFigures {
  // GetProcessMemoryInfo, in bytes.
  std::uint64_t workingSet = 0;
  std::uint64_t peakWorkingSet = 0;
  std::uint64_t privateBytes = 0;
  bool memoryRead = false;
  // GetGuiResources; the calls may be stubs that answer 0 (Wine 8 does).
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  DWORD gdiPeak = 0;
  DWORD userPeak = 0;
  // GetProcessHandleCount; false when the call failed.
  DWORD handles = 0;
  bool handlesRead = false;
  // Threads of the process in a tool-help snapshot; 0 when none was taken.
  DWORD threads = 0;
  // Handles of the process in the system's handle list
  // (NtQuerySystemInformation), -1 when the list cannot be read.
  long systemHandles = -1;
  // Windows of the process, top-level and child: the USER objects that matter here.
  long windows = 0;
};

// Live entries of this process's GDI handle table (the table the PEB points
// to), total and for the kinds the program makes; total -1 when there is no table.
struct GdiTableCounts {
  long total = -1;
  long dcs = 0;
  long bitmaps = 0;
  long fonts = 0;
  long brushesAndPens = 0;
  std::array<long, 32> byType{};  // entries by type number
};
[[nodiscard]] GdiTableCounts ReadOwnGdiTable();

// The figures of a process opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
[[nodiscard]] ProcessFigures ReadProcessFigures(HANDLE process, DWORD processId);

// Handles of every process in the system's handle list; -1 when it cannot be read.
[[nodiscard]] long SystemHandleTotal();

// This process's own counts of the handles its owners hold, by kind.
[[nodiscard]] std::array<std::int32_t, kOwnedKinds> OwnedCounts() noexcept;

// One CSV line: the header names and the values in the same order.
[[nodiscard]] std::string FiguresCsvHeader(bool withOwned);
// The saver's own log adds its GDI table and owner counts (withOwned).
[[nodiscard]] std::string FiguresCsvLine(const ProcessFigures& f, const std::array<std::int32_t, kOwnedKinds>* owned,
                                         const GdiTableCounts* table = nullptr);

// A log of this process's figures, one CSV line per Append, each line
// preceded by the seconds since the log was opened. The saver keeps one
// when the environment names a file (ZOR_SOAK_LOG); nothing is opened
// otherwise, so a normal run pays nothing.
class SoakLog {
 public:
  // The log the environment asks for, with its period in milliseconds
  // (ZOR_SOAK_SECONDS, 60 when unset or invalid); nullptr when ZOR_SOAK_LOG is unset.
  [[nodiscard]] static std::unique_ptr<SoakLog> FromEnvironment();
  SoakLog(std::filesystem::path file, UINT periodMs);

  [[nodiscard]] UINT PeriodMs() const noexcept { return periodMs_; }
  // Appends the current line with the caller's count of display ticks;
  // false when the file cannot be written.
  [[nodiscard]] bool Append(long ticks);

 private:
  std::filesystem::path file_;
  UINT periodMs_;
  ULONGLONG start_;
  bool headerWritten_ = false;
};

// The texts of the pages the saver shows, UTF-8, one line each, when the
// environment names a file (ZOR_SHOWN_LOG); nothing is opened otherwise.
class ShownLog {
 public:
  // nullptr when ZOR_SHOWN_LOG is unset.
  [[nodiscard]] static std::unique_ptr<ShownLog> FromEnvironment();
  explicit ShownLog(std::filesystem::path file) : file_(std::move(file)) {}
  // Appends one line; false when the file cannot be written.
  [[nodiscard]] bool Append(std::wstring_view text) const;

 private:
  std::filesystem::path file_;
};

// ZOR_CRASH_TEST=timer in the environment: the saver's display timer
// crashes on purpose, so the end-to-end tests can watch the crash guard.
[[nodiscard]] bool CrashTestInTimer();

}  // namespace zor::win
