// The import's line rules: CP932 bytes split into lines, each trimmed and
// kept or skipped by the length rule, with the reasons of the skipped ones.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zor {

// The encoding a text file was read in.
enum class TextEncoding { kCp932, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be };

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

enum class Cp932LineVerdict { kAcceptable, kTooLong, kUnstorable };
// What decoding a trimmed, non-empty line of CP932 bytes and the length
// rule would say of it, from the bytes alone.
[[nodiscard]] Cp932LineVerdict JudgeCp932Line(std::string_view line);

// The lines of bytes held in memory (CP932).
[[nodiscard]] ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines);

}  // namespace zor
