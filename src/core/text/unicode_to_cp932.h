// UTF-8 and UTF-16 byte streams turned into CP932 bytes, for the text
// import: the line rules then work on CP932 bytes whatever the file held.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zor {

enum class UnicodeForm { kUtf8, kUtf16Le, kUtf16Be };

// Bytes that are never part of CP932 text (no lead, trail or single byte),
// which the converters to CP932 put where a line must be refused, each
// standing for its own reason: a character CP932 cannot hold, bytes that
// are not well-formed in the encoding read, and a JIS X 0212 character.
inline constexpr char kNoCp932Byte = '\xFF';
inline constexpr char kMalformedByte = '\xFE';
inline constexpr char kJisX0212Byte = '\xFD';

class Cp932Transcoder {
 public:
  // A guess stops at the first malformed sequence: nothing after it is
  // converted, since the bytes are then read in another encoding.
  enum class OnMalformed { kGoOn, kStop };
  explicit Cp932Transcoder(UnicodeForm form, OnMalformed onMalformed = OnMalformed::kGoOn)
      : form_(form), stopWhenMalformed_(onMalformed == OnMalformed::kStop) {}

  // Appends the CP932 form of the next bytes, look-alikes replaced. A
  // sequence cut by the end of the piece is finished by the next one.
  void Feed(std::span<const char> bytes, std::string& out);
  // A sequence left unfinished at the end is one kMalformedByte.
  void Finish(std::string& out);

  // A byte sequence that is not well-formed in the form has been seen.
  [[nodiscard]] bool malformed() const { return malformed_; }

 private:
  void FeedUtf8(unsigned char b, std::string& out);
  void FeedUtf16(unsigned char b, std::string& out);
  void Emit(char32_t cp, std::string& out);
  void EmitMalformed(std::string& out);

  UnicodeForm form_;
  bool stopWhenMalformed_;
  bool malformed_ = false;
  // UTF-8: the code point so far, the continuation bytes still due and the
  // range the next one must fall in (which keeps out overlong forms,
  // surrogates and code points beyond U+10FFFF).
  char32_t partial_ = 0;
  int due_ = 0;
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
  // UTF-16: the first byte of a unit, and a high surrogate waiting for its pair.
  int firstByte_ = -1;
  char32_t highSurrogate_ = 0;
};

// Whether a byte stream is UTF-8, without converting it: a pass much
// cheaper than the transcoder's, which stops looking at the first
// malformed byte. A sequence cut by the end of the stream does not count
// against it (the transcoder skips only that character's line).
class Utf8Check {
 public:
  void Feed(std::span<const char> bytes);
  // Well-formed throughout and with a byte beyond ASCII.
  [[nodiscard]] bool IsUtf8BeyondAscii() const { return !malformed_ && beyondAscii_; }
  [[nodiscard]] bool malformed() const { return malformed_; }

 private:
  bool malformed_ = false;
  bool beyondAscii_ = false;
  int due_ = 0;
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
};

}  // namespace zor
