// How the import tells a file's encoding when no mark does: the file is read
// in every encoding at once, each reading made CP932, and the readings are
// weighed as established detectors weigh them: sequences that are not
// well-formed, control characters where text has none (the NULs of UTF-16
// read as bytes), and how Japanese the characters are (kana and the common
// kanji rows against rare rows, half-width katakana and characters CP932
// does not hold).
#pragma once

#include <span>
#include <string_view>

#include "core/data/import_lines.h"

namespace zor {

// What one reading looks like, counted over its CP932 bytes (markers
// included when the reading is converted, raw CP932 bytes otherwise).
class ReadingCheck {
 public:
  explicit ReadingCheck(bool markers) : markers_(markers) {}
  void Feed(std::string_view cp932);
  void Finish();

  int lines = 0;        // lines with anything but blanks
  int badLines = 0;     // lines with bytes of no character or control characters
  int beyondAscii = 0;  // characters beyond ASCII
  int kana = 0;         // hiragana, katakana and Japanese punctuation (JIS X 0208 rows 1, 4 and 5)
  double weight = 0;    // how Japanese the characters beyond ASCII are, summed (0 to 1 each)
  // weight per character beyond ASCII; 1 for ASCII alone.
  [[nodiscard]] double Plausibility() const { return beyondAscii == 0 ? 1.0 : weight / beyondAscii; }

 private:
  void Character(unsigned char lead, unsigned char trail);
  void EndLine();

  bool markers_;
  int lead_ = -1;  // a lead byte waiting for its trail
  bool text_ = false;
  bool bad_ = false;
};

struct ReadingSummary {
  TextEncoding encoding = TextEncoding::kCp932;
  bool malformed = false;  // a sequence not well-formed before the end (one cut by the end does not count)
  bool shifted = false;    // ISO-2022-JP: a set beyond ASCII was designated
  ReadingCheck check{false};
};

struct EncodingVerdict {
  TextEncoding encoding = TextEncoding::kCp932;
  bool unreadable = false;
};

// The reading to use among a file's readings (in the order CP932, UTF-8,
// EUC-JP, ISO-2022-JP, UTF-16 LE, UTF-16 BE, as many as were made).
// Guessing, a file that no reading reads cleanly enough is unreadable;
// forced (the readings of one choice), the most plausible is taken.
[[nodiscard]] EncodingVerdict ChooseReading(std::span<const ReadingSummary> readings, bool guessing);

}  // namespace zor
