// File primitives on Win32: wide paths, exclusive creation, write-through replace.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "core/data/file_system_platform.h"

namespace zor::platform {

std::FILE* CreateNewFile(const std::filesystem::path& path) {
  const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* f = ::_fdopen(fd, "wb");
  if (f == nullptr) ::_close(fd);
  return f;
}

namespace {

// Another program's replacement of a file holds it for a moment: the file
// being moved into place stays open with delete access until MoveFileEx
// returns, and a file that someone is reading cannot be replaced (Windows
// and Wine both refuse). Such conflicts last a few milliseconds, so a call
// that meets one is tried again for up to half a second.
constexpr int kConflictTries = 50;
constexpr DWORD kConflictPauseMs = 10;

bool Conflict(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

template <class Attempt>
bool RetryConflicts(Attempt attempt) {
  for (int i = 1;; ++i) {
    if (attempt()) return true;
    if (i >= kConflictTries || !Conflict(GetLastError())) return false;
    Sleep(kConflictPauseMs);
  }
}

}  // namespace

std::FILE* OpenFileForReading(const std::filesystem::path& path) {
  // Readers share delete access too, so a replacement under way does not
  // keep them out (nor do they keep it out on Windows).
  HANDLE h = INVALID_HANDLE_VALUE;
  const bool opened = RetryConflicts([&] {
    h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h != INVALID_HANDLE_VALUE;
  });
  if (!opened) return nullptr;
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    return nullptr;
  }
  std::FILE* f = ::_fdopen(fd, "rb");
  if (f == nullptr) ::_close(fd);
  return f;
}

bool FlushToDisk(std::FILE* f) { return std::fflush(f) == 0 && ::_commit(::_fileno(f)) == 0; }

bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  // MOVEFILE_WRITE_THROUGH returns only after the move is on the disk; without
  // MOVEFILE_COPY_ALLOWED a move to another volume fails instead of copying.
  return RetryConflicts(
      [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; });
}

std::filesystem::path ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace zor::platform
