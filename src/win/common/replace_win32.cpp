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

std::FILE* OpenFileForReading(const std::filesystem::path& path) { return ::_wfopen(path.c_str(), L"rb"); }

bool FlushToDisk(std::FILE* f) { return std::fflush(f) == 0 && ::_commit(::_fileno(f)) == 0; }

bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  // MOVEFILE_WRITE_THROUGH returns only after the move is on the disk; without
  // MOVEFILE_COPY_ALLOWED a move to another volume fails instead of copying.
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
