// The import's streaming reader: a text file's bytes in CP932, UTF-8 or
// UTF-16, the encoding told by a mark or guessed, made CP932 line by line.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/data/import_lines.h"
#include "core/text/unicode_to_cp932.h"

namespace zor {

// Reads more bytes into buffer; returns the count, 0 at the end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// How the import chooses the encoding: kAuto by the byte-order mark, else
// UTF-8 for a file that is wholly UTF-8 with a byte beyond ASCII, else CP932.
// A forced choice skips a mark of its own kind; UTF-16 without a mark is
// little-endian.
enum class EncodingChoice { kAuto, kCp932, kUtf8, kUtf16 };

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

// The lines of a byte stream, read in pieces until its end.
[[nodiscard]] ImportedLines ReadImportLines(const ByteSource& source, int maxLines,
                                            EncodingChoice choice = EncodingChoice::kAuto);

}  // namespace zor
