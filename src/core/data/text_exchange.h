// Plain-text import and export: one message per line, CP932, CR LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/data/status.h"

namespace zor {

inline constexpr int kImportLimitedLines = 100;

// Reads more bytes into buffer; returns the count, 0 at the end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

struct ImportedLines {
  std::vector<std::wstring> texts;  // accepted lines, trimmed
  int skipped = 0;                  // blank, too long, or not valid CP932
  bool readFailed = false;
};

// Splits the bytes into lines (CR LF or a lone LF ends a line), trims blanks,
// keeps the lines the length rule accepts and stops after maxLines of them.
// A line holding bytes that are not valid CP932 is skipped whole. A line is
// never held in memory beyond what could still make an acceptable message,
// so memory stays small whatever the input.
[[nodiscard]] ImportedLines ReadImportLines(const ByteSource& source, int maxLines);

// The suggested export name: the registration file's folder and base name with ".txt".
[[nodiscard]] std::filesystem::path ExportNameFor(const std::filesystem::path& registration);

// Where an import of the text file goes: its folder and base name with
// ".zrd", or the first free "無題n.zrd" there when that name is taken.
[[nodiscard]] Result<std::filesystem::path> ImportTargetFor(const std::filesystem::path& text);

// Writes every message of the registration file, trimmed, one per line.
[[nodiscard]] Status Export(const std::filesystem::path& text, const std::filesystem::path& registration);

struct ImportOutcome {
  std::filesystem::path registration;
  int imported = 0;
};

// Registers the lines of a text file in a new registration file
// (ImportTargetFor), at most 500, at most 100 when limited. Nothing is
// created when the text file cannot be read.
[[nodiscard]] Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100);

// The same into a given registration file, which the import replaces whole.
[[nodiscard]] Result<int> ImportInto(const std::filesystem::path& registration, const std::filesystem::path& text,
                                     bool limitTo100);

}  // namespace zor
