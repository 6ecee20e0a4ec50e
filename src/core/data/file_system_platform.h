// What each platform supplies to file_system.cpp: replace_iconv.cpp natively,
// src/win/common/replace_win32.cpp on Windows.
#pragma once

#include <cstdio>
#include <filesystem>

namespace zor::platform {

// A new file for binary writing; nullptr when it exists already or cannot be made.
[[nodiscard]] std::FILE* CreateNewFile(const std::filesystem::path& path);

[[nodiscard]] std::FILE* OpenFileForReading(const std::filesystem::path& path);

// Flushes the stream and the system's buffers to the disk.
[[nodiscard]] bool FlushToDisk(std::FILE* f);

// Moves from onto to in one step, replacing to; the data reaches the disk before success is returned.
[[nodiscard]] bool ReplaceFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

[[nodiscard]] std::filesystem::path ExecutablePath();

}  // namespace zor::platform
