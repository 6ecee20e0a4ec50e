// Plain-text import and export: one message per line, CR LF. Import reads
// CP932, UTF-8, UTF-16, EUC-JP and ISO-2022-JP (text_import_reader.h, by the rules of
// import_lines.h, told in the words of import_report.h); export writes
// CP932 or UTF-8.
#pragma once

#include <filesystem>

#include "core/data/import_lines.h"
#include "core/data/import_report.h"
#include "core/data/status.h"
#include "core/data/text_import_reader.h"

namespace zor {

inline constexpr int kImportLimitedLines = 100;

// The suggested export name: the registration file's folder and base name with ".txt".
[[nodiscard]] std::filesystem::path ExportNameFor(const std::filesystem::path& registration);

// Where an import of the text file goes: its folder and base name with
// ".zrd", or the first free "無題n.zrd" there when that name is taken.
[[nodiscard]] Result<std::filesystem::path> ImportTargetFor(const std::filesystem::path& text);

enum class ExportEncoding { kCp932, kUtf8 };

// Writes every message of the registration file, trimmed, one per line,
// CR LF; UTF-8 begins with a byte-order mark.
[[nodiscard]] Status Export(const std::filesystem::path& text, const std::filesystem::path& registration,
                            ExportEncoding encoding = ExportEncoding::kCp932);

struct ImportOutcome {
  std::filesystem::path registration;
  ImportReport report;
};

// Registers the lines of a text file in a new registration file
// (ImportTargetFor), at most 500, at most 100 when limited. Nothing is
// created when the text file cannot be read, when no encoding reads it
// cleanly (guessed), or when no line of it can be registered.
[[nodiscard]] Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100,
                                           EncodingChoice choice = EncodingChoice::kAuto);

// The same into a given registration file, which the import replaces whole.
[[nodiscard]] Result<ImportReport> ImportInto(const std::filesystem::path& registration,
                                              const std::filesystem::path& text, bool limitTo100,
                                              EncodingChoice choice = EncodingChoice::kAuto);

}  // namespace zor
