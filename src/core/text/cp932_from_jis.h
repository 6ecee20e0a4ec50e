// EUC-JP and ISO-2022-JP byte streams turned into CP932 bytes for the text
// import. Both encode JIS X 0208 by row and cell, which Shift_JIS encodes
// by a fixed arithmetic: the converters compute the CP932 bytes and leave
// the characters to the CP932 codec (an unassigned pair is refused there).
#pragma once

#include <span>
#include <string>

#include "core/text/unicode_to_cp932.h"

namespace zor {

// The Shift_JIS bytes of JIS X 0208 row and cell (each 1..94).
void AppendShiftJisOfJis(std::string& out, int row, int cell);

enum class JisForm { kEucJp, kIso2022Jp };

// Appends the CP932 form of the next bytes; a sequence cut by the end of a
// piece is finished by the next. A malformed sequence (or an escape
// sequence this reader does not know) gives kMalformedByte, a JIS X 0212
// character kJisX0212Byte, and a character of the user-defined rows of
// EUC-JP kNoCp932Byte; control characters go through as they are.
class JisToCp932 {
 public:
  explicit JisToCp932(JisForm form) : form_(form) {}
  void Feed(std::span<const char> bytes, std::string& out);
  // A sequence left unfinished at the end is one kMalformedByte.
  void Finish(std::string& out);

  [[nodiscard]] bool malformed() const { return malformed_; }
  // ISO-2022-JP: an escape (or a shift) into a set beyond ASCII was seen.
  [[nodiscard]] bool shifted() const { return shifted_; }

 private:
  void FeedEuc(unsigned char b, std::string& out);
  void FeedIso(unsigned char b, std::string& out);
  void Escape(std::string& out);
  void Malformed(std::string& out);

  // The sets of ISO-2022-JP that an escape sequence designates.
  enum class Set { kAscii, kJisX0208, kJisX0212, kKana };

  JisForm form_;
  bool malformed_ = false;
  bool shifted_ = false;
  // EUC-JP: the bytes of the character so far (0 when none).
  unsigned char first_ = 0;
  unsigned char second_ = 0;
  // ISO-2022-JP: the set in use, a shift out to kana, the first byte of a
  // two-byte character and the escape sequence so far.
  Set set_ = Set::kAscii;
  bool shiftedOut_ = false;
  std::string escape_;
};

}  // namespace zor
