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
enum class TextEncoding { kCp932, kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be, kEucJp, kIso2022Jp };

// Lines the import did not register, by reason.
struct SkippedLines {
  int blank = 0;       // empty or blanks only
  int tooLong = 0;     // the length rule refuses it
  int unstorable = 0;  // a character CP932 cannot hold
  int overLimit = 0;   // acceptable, but the file had its 500 (or 100) lines already
  int malformed = 0;   // bytes that are no character in the encoding read
  int control = 0;     // a control character (NUL, ESC, a CR inside the line...); TAB is not one
  int jisX0212 = 0;    // a JIS X 0212 character, which CP932 does not hold
  [[nodiscard]] int Total() const { return blank + tooLong + unstorable + overLimit + malformed + control + jisX0212; }
  friend bool operator==(const SkippedLines&, const SkippedLines&) = default;
};

struct ImportedLines {
  std::vector<std::wstring> texts;  // accepted lines, trimmed
  SkippedLines skipped;
  TextEncoding encoding = TextEncoding::kCp932;
  int tabs = 0;             // accepted lines whose TABs became blanks
  bool unreadable = false;  // no encoding reads the bytes cleanly: nothing is to be registered
};

// Splits CP932 bytes into lines (CR LF or a lone LF ends a line), trims
// blanks and keeps the lines the length rule accepts, at most maxLines of
// them; the acceptable lines after those are counted as over the limit.
// A line holding bytes that are not valid CP932, or a control character (a
// CR anywhere but before its LF or at the very end of the bytes included),
// is skipped whole; a TAB becomes a blank. Bytes from a converter to CP932
// (markers) may hold the marks of unicode_to_cp932.h, which skip the line
// for their own reasons; raw CP932 bytes hold none. The bytes
// come in pieces of any size (a piece may end inside a character or between
// CR and LF), and a line is never held beyond what could still make an
// acceptable message, so memory stays small whatever the input.
class ImportLineSplitter {
 public:
  explicit ImportLineSplitter(int maxLines, bool markers = false) : maxLines_(maxLines), markers_(markers) {}
  // Takes the next piece; once full(), its acceptable lines are only counted.
  void Feed(std::span<const char> bytes);
  [[nodiscard]] bool full() const { return static_cast<int>(result_.texts.size()) >= maxLines_; }
  // Ends the last line (one without a line end) and gives the lines.
  [[nodiscard]] ImportedLines Finish();

 private:
  void Append(std::string_view piece);
  void EndLine();

  int maxLines_;
  bool markers_;
  ImportedLines result_;
  std::string line_;               // the line's bytes so far, from its first non-blank
  std::size_t pendingBlanks_ = 0;  // blanks after line_, kept only if more text follows
  bool overlong_ = false;          // too long to be a message, whatever follows
  bool crHeld_ = false;            // the last byte was a CR, which ends the line if an LF follows
  bool strayCr_ = false;           // a CR not followed by the LF: the line is skipped
  bool control_ = false;           // another control character
  bool malformed_ = false;         // a marker of each kind
  bool unstorable_ = false;
  bool jisX0212_ = false;
  bool tab_ = false;               // a TAB became a blank
  bool any_ = false;               // the line has begun
};

enum class Cp932LineVerdict { kAcceptable, kTooLong, kUnstorable };
// What decoding a trimmed, non-empty line of CP932 bytes and the length
// rule would say of it, from the bytes alone.
[[nodiscard]] Cp932LineVerdict JudgeCp932Line(std::string_view line);

// The lines of bytes held in memory (CP932).
[[nodiscard]] ImportedLines SplitImportLines(std::span<const char> bytes, int maxLines);

}  // namespace zor
