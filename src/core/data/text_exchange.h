// Plain-text import and export: one message per line, CP932, CR LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
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

// Splits bytes into lines (CR LF or a lone LF ends a line), trims blanks,
// keeps the lines the length rule accepts and stops after maxLines of them.
// A line holding bytes that are not valid CP932, or a CR anywhere but before
// its LF (or at the very end of the bytes), is skipped whole. The bytes
// come in pieces of any size (a piece may end inside a character or between
// CR and LF), and a line is never held beyond what could still make an
// acceptable message, so memory stays small whatever the input.
class ImportLineSplitter {
 public:
  explicit ImportLineSplitter(int maxLines) : maxLines_(maxLines) {}
  // Takes the next piece; further bytes change nothing once full().
  void Feed(std::span<const char> bytes);
  [[nodiscard]] bool full() const { return static_cast<int>(result_.texts.size()) >= maxLines_; }
  // Ends the last line (one without a line end) and gives the lines.
  [[nodiscard]] ImportedLines Finish();

 private:
  void Append(std::string_view piece);
  void EndLine();

  int maxLines_;
  ImportedLines result_;
  std::string line_;               // the line's bytes so far, from its first non-blank
  std::size_t pendingBlanks_ = 0;  // blanks after line_, kept only if more text follows
  bool overlong_ = false;          // too long to be a message, whatever follows
  bool crHeld_ = false;            // the last byte was a CR, which ends the line if an LF follows
  bool strayCr_ = false;           // a CR not followed by the LF: the line is skipped
  bool any_ = false;               // the line has begun
};

// The lines of bytes held in memory.
[[nodiscard]] ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines);

// The lines of a byte stream, read in pieces until its end or until maxLines
// are accepted.
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
