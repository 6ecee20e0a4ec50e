// File primitives of the native build (POSIX).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

#include "core/data/file_system_platform.h"

namespace zor::platform {

std::FILE* CreateNewFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "wb");
  if (f == nullptr) ::close(fd);
  return f;
}

std::FILE* OpenFileForReading(const std::filesystem::path& path) { return std::fopen(path.c_str(), "rb"); }

bool FlushToDisk(std::FILE* f) { return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0; }

bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  // The new directory entry reaches the disk with the folder's own sync.
  std::filesystem::path folder = to.parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);  // best effort: the rename itself has happened
    ::close(dir);
  }
  return true;
}

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec) / "zortool";
  return p;
}

}  // namespace zor::platform
