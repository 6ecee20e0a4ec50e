// The import's streaming reader: a text file's bytes in CP932, UTF-8,
// UTF-16, EUC-JP or ISO-2022-JP, the encoding told by a mark or guessed,
// made CP932 line by line.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/data/import_lines.h"

namespace zor {

// Reads more bytes into buffer; returns the count, 0 at the end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// How the import chooses the encoding: kAuto by the byte-order mark, else by
// reading the file in every encoding (text_import_guess.h). A forced choice
// skips a mark of its own kind; kUtf16 takes the mark's byte order, or
// without one the more plausible of the two.
enum class EncodingChoice { kAuto, kCp932, kUtf8, kUtf16, kEucJp, kIso2022Jp, kUtf16Le, kUtf16Be };

// The forced choice that reads a file as the guess read it.
[[nodiscard]] EncodingChoice ChoiceReading(TextEncoding encoding);

// The lines of a text file's bytes in any encoding the import reads: the
// encoding chosen at the first bytes (the mark) or, when guessed, at the
// end; each line is made CP932 (look-alikes replaced) before the rules of
// ImportLineSplitter apply. Memory stays a few lines a reading whatever the
// input. With Lines::kNone only the encoding is found (the texts stay empty).
class TextImportReader {
 public:
  enum class Lines { kKept, kNone };
  TextImportReader(int maxLines, EncodingChoice choice, Lines lines = Lines::kKept);
  ~TextImportReader();
  TextImportReader(const TextImportReader&) = delete;
  TextImportReader& operator=(const TextImportReader&) = delete;

  void Feed(std::span<const char> bytes);
  [[nodiscard]] ImportedLines Finish();

 private:
  struct Reading;
  void Begin(std::span<const char> head);
  void Add(TextEncoding encoding);
  void FeedReadings(std::span<const char> bytes);

  int maxLines_;
  EncodingChoice choice_;
  bool keepLines_;
  std::string head_;  // the first bytes, until the mark is known
  bool begun_ = false;
  std::vector<std::unique_ptr<Reading>> readings_;
  std::string converted_;
};

// The lines of a byte stream, read in pieces until its end.
[[nodiscard]] ImportedLines ReadImportLines(const ByteSource& source, int maxLines,
                                            EncodingChoice choice = EncodingChoice::kAuto);

}  // namespace zor
