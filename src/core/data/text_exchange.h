// Plain-text import and export: one message per line, CR LF. Import reads
// CP932, UTF-8 and UTF-16; export writes CP932 or UTF-8.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/status.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

inline constexpr int kImportLimitedLines = 100;

// Reads more bytes into buffer; returns the count, 0 at the end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// The encoding a text file was read in.
enum class TextEncoding { kCp932, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be };
// How the import chooses it: kAuto by the byte-order mark, else UTF-8 for a
// file that is wholly UTF-8 with a byte beyond ASCII, else CP932. A forced
// choice skips a mark of its own kind; UTF-16 without a mark is little-endian.
enum class EncodingChoice { kAuto, kCp932, kUtf8, kUtf16 };

// "Shift_JIS", "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE".
[[nodiscard]] std::wstring_view EncodingName(TextEncoding encoding);

// Lines the import did not register, by reason.
struct SkippedLines {
  int blank = 0;       // empty or blanks only
  int tooLong = 0;     // the length rule refuses it
  int unstorable = 0;  // a character CP932 cannot hold, bytes of no character, or a CR inside the line
  int overLimit = 0;   // acceptable, but the file had its 500 (or 100) lines already
  [[nodiscard]] int Total() const { return blank + tooLong + unstorable + overLimit; }
  friend bool operator==(const SkippedLines&, const SkippedLines&) = default;
};

struct ImportedLines {
  std::vector<std::wstring> texts;  // accepted lines, trimmed
  SkippedLines skipped;
  TextEncoding encoding = TextEncoding::kCp932;
};

// Splits CP932 bytes into lines (CR LF or a lone LF ends a line), trims
// blanks and keeps the lines the length rule accepts, at most maxLines of
// them; the acceptable lines after those are counted as over the limit.
// A line holding bytes that are not valid CP932, or a CR anywhere but before
// its LF (or at the very end of the bytes), is skipped whole. The bytes
// come in pieces of any size (a piece may end inside a character or between
// CR and LF), and a line is never held beyond what could still make an
// acceptable message, so memory stays small whatever the input.
class ImportLineSplitter {
 public:
  explicit ImportLineSplitter(int maxLines) : maxLines_(maxLines) {}
  // Takes the next piece; once full(), its acceptable lines are only counted.
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

// The lines of a text file's bytes in any encoding the import reads: the
// encoding chosen at the first bytes (the mark) or, when guessed, at the
// end; each line is made CP932 (look-alikes replaced) before the rules of
// ImportLineSplitter apply. Memory stays a few lines whatever the input.
class TextImportReader {
 public:
  TextImportReader(int maxLines, EncodingChoice choice);
  void Feed(std::span<const char> bytes);
  [[nodiscard]] ImportedLines Finish();

 private:
  void Begin(std::span<const char> head);
  void FeedAfterMark(std::span<const char> bytes);
  void FeedGuessing(std::span<const char> bytes);
  void Transcode(Cp932Transcoder& transcoder, std::span<const char> bytes, ImportLineSplitter& splitter);

  // A guess of UTF-8, begun at the first byte beyond ASCII (the lines
  // before are the same in both readings) and given up at a malformed one.
  struct Utf8Reading {
    Cp932Transcoder transcoder{UnicodeForm::kUtf8, Cp932Transcoder::OnMalformed::kStop};
    ImportLineSplitter splitter;
  };

  EncodingChoice choice_;
  TextEncoding encoding_ = TextEncoding::kCp932;
  std::string head_;  // the first bytes, until the mark is known
  bool begun_ = false;
  bool guessing_ = false;
  bool beyondAscii_ = false;
  ImportLineSplitter splitter_;                // the lines as read in encoding_
  std::optional<Cp932Transcoder> transcoder_;  // a Unicode encoding known from the start
  std::optional<Utf8Reading> utf8_;
  std::string converted_;
};

enum class Cp932LineVerdict { kAcceptable, kTooLong, kUnstorable };
// What decoding a trimmed, non-empty line of CP932 bytes and the length
// rule would say of it, from the bytes alone.
[[nodiscard]] Cp932LineVerdict JudgeCp932Line(std::string_view line);

// The lines of bytes held in memory (CP932).
[[nodiscard]] ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines);

// The lines of a byte stream, read in pieces until its end.
[[nodiscard]] ImportedLines ReadImportLines(const ByteSource& source, int maxLines,
                                            EncodingChoice choice = EncodingChoice::kAuto);

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

// What an import did.
struct ImportReport {
  int registered = 0;
  int limit = 500;  // the most lines the import registers
  SkippedLines skipped;
  TextEncoding encoding = TextEncoding::kCp932;
};

// The report for the user, one fact a line; empty when there is nothing to
// say beyond the count (every line registered from CP932; blank lines do not count).
[[nodiscard]] std::wstring ImportReportText(const ImportReport& report);

// The report on one line (zortool's stderr).
[[nodiscard]] std::wstring ImportReportLine(const ImportReport& report);

struct ImportOutcome {
  std::filesystem::path registration;
  ImportReport report;
};

// Registers the lines of a text file in a new registration file
// (ImportTargetFor), at most 500, at most 100 when limited. Nothing is
// created when the text file cannot be read.
[[nodiscard]] Result<ImportOutcome> Import(const std::filesystem::path& text, bool limitTo100,
                                           EncodingChoice choice = EncodingChoice::kAuto);

// The same into a given registration file, which the import replaces whole.
[[nodiscard]] Result<ImportReport> ImportInto(const std::filesystem::path& registration,
                                              const std::filesystem::path& text, bool limitTo100,
                                              EncodingChoice choice = EncodingChoice::kAuto);

}  // namespace zor
