// Files as the data layer uses them: paths from and to text, whole-file
// replacement through a temporary file in the target's folder, and the few
// primitives each platform supplies (see file_system_platform.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/data/status.h"

namespace zor {

// Paths are made from and shown as text through UTF-8, the same on every platform.
[[nodiscard]] std::filesystem::path PathFromText(std::wstring_view text);
[[nodiscard]] std::wstring PathText(const std::filesystem::path& path);
// A path as messages show it: its text in the platform's own separators (a
// "/" given on a Windows command line would otherwise stand beside the "\"
// that path's operator/ adds).
[[nodiscard]] std::wstring DisplayPath(const std::filesystem::path& path);

// False for an empty path; true when the path names an existing regular file.
[[nodiscard]] bool FileExists(const std::filesystem::path& path);
// True when anything of that name is there: a regular file, a folder or
// another entry (an error of the look-up gives false).
[[nodiscard]] bool SomethingExistsAt(const std::filesystem::path& path);

// The program's folder, ending in one separator.
[[nodiscard]] std::filesystem::path ProgramFolder();

struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[nodiscard]] FileHandle OpenForReading(const std::filesystem::path& path);

// Size of an open file; -1 when it cannot be told.
[[nodiscard]] std::int64_t FileSizeOf(std::FILE* f);

// Reads up to size bytes at offset; returns the count read (short at the end).
[[nodiscard]] std::size_t ReadAt(std::FILE* f, std::int64_t offset, void* buffer, std::size_t size);

// The steps of a replacement, named for fault injection in tests.
enum class ReplaceStep { kCreateTemporary, kWriteTemporary, kFlushTemporary, kReplace };

// Tests make a step fail by returning true for it; nullptr restores normal work.
using FaultHook = std::function<bool(ReplaceStep)>;
void SetFaultHookForTesting(FaultHook hook);

// Checked sequential writes to the temporary file.
class FileWriter {
 public:
  explicit FileWriter(std::FILE* f) : f_(f) {}
  [[nodiscard]] bool Write(std::string_view bytes);
  // Copies everything from offset on of another file; false on a read or write failure.
  [[nodiscard]] bool CopyFrom(std::FILE* source, std::int64_t offset);

 private:
  std::FILE* f_;
};

// Writes a new version of target: produce fills a temporary file made in the
// target's own folder, which is flushed to disk and then takes the target's
// place in one step. If any step fails the target is left as it was and the
// temporary file is removed.
[[nodiscard]] Status ReplaceFileContents(const std::filesystem::path& target,
                                         const std::function<bool(FileWriter&)>& produce);

// Renames a file, replacing an existing destination; the platform's rename.
[[nodiscard]] Status RenameFile(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace zor
