#include "core/text/cp932_from_jis.h"

namespace zor {

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;
constexpr unsigned char kSingleShift2 = 0x8E;  // EUC-JP: a half-width katakana follows
constexpr unsigned char kSingleShift3 = 0x8F;  // EUC-JP: a JIS X 0212 character follows

bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

}  // namespace

void AppendShiftJisOfJis(std::string& out, int row, int cell) {
  const int lead = (row - 1) / 2 + (row <= 62 ? 0x81 : 0xC1);
  const int trail = row % 2 == 1 ? cell + (cell <= 63 ? 0x3F : 0x40) : cell + 0x9E;
  out.push_back(static_cast<char>(lead));
  out.push_back(static_cast<char>(trail));
}

void JisToCp932::Feed(std::span<const char> bytes, std::string& out) {
  out.reserve(out.size() + bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (form_ == JisForm::kEucJp) {
      FeedEuc(b, out);
    } else {
      FeedIso(b, out);
    }
  }
}

void JisToCp932::Finish(std::string& out) {
  if (first_ != 0 || !escape_.empty()) Malformed(out);
  first_ = 0;
  second_ = 0;
  escape_.clear();
}

void JisToCp932::Malformed(std::string& out) {
  malformed_ = true;
  out.push_back(kMalformedByte);
}

// A byte that breaks a character ends it as one malformed character and is
// then read again as the start of the next.
void JisToCp932::FeedEuc(unsigned char b, std::string& out) {
  if (first_ != 0) {
    if (first_ == kSingleShift2) {
      first_ = 0;
      if (b >= 0xA1 && b <= 0xDF) {
        out.push_back(static_cast<char>(b));  // half-width katakana: the same single byte in CP932
        return;
      }
      Malformed(out);
    } else if (!IsEucByte(b)) {
      first_ = 0;
      second_ = 0;
      Malformed(out);
    } else if (first_ == kSingleShift3 && second_ == 0) {
      second_ = b;
      return;
    } else {
      if (first_ == kSingleShift3) {
        out.push_back(kJisX0212Byte);  // CP932 holds JIS X 0208 only
      } else if (const int row = first_ - 0xA0; row <= 84) {
        AppendShiftJisOfJis(out, row, b - 0xA0);
      } else {
        out.push_back(kNoCp932Byte);  // rows 85-94: user-defined, nothing CP932 holds by arithmetic
      }
      first_ = 0;
      second_ = 0;
      return;
    }
  }
  if (b < 0x80) {
    out.push_back(static_cast<char>(b));
  } else if (b == kSingleShift2 || b == kSingleShift3 || IsEucByte(b)) {
    first_ = b;
  } else {
    Malformed(out);
  }
}

void JisToCp932::FeedIso(unsigned char b, std::string& out) {
  if (!escape_.empty()) {
    escape_.push_back(static_cast<char>(b));
    Escape(out);
    return;
  }
  if (b >= 0x80) {
    if (first_ != 0) Malformed(out);
    first_ = 0;
    Malformed(out);
    return;
  }
  if (b == kEsc || b < 0x21 || b == 0x7F) {
    // A control character or a blank ends no set but breaks a two-byte character.
    if (first_ != 0) Malformed(out);
    first_ = 0;
    if (b == kEsc) {
      escape_.push_back(static_cast<char>(b));
    } else if (b == kShiftOut) {
      shiftedOut_ = true;
      shifted_ = true;
    } else if (b == kShiftIn) {
      shiftedOut_ = false;
    } else {
      out.push_back(static_cast<char>(b));
    }
    return;
  }
  if (shiftedOut_ || set_ == Set::kKana) {
    if (b <= 0x5F) {
      out.push_back(static_cast<char>(b + 0x80));  // 0x21..0x5F are CP932's 0xA1..0xDF
    } else {
      Malformed(out);
    }
  } else if (set_ == Set::kAscii) {
    out.push_back(static_cast<char>(b));
  } else if (first_ == 0) {
    first_ = b;
  } else {
    if (set_ == Set::kJisX0212) {
      out.push_back(kJisX0212Byte);
    } else {
      AppendShiftJisOfJis(out, first_ - 0x20, b - 0x20);
    }
    first_ = 0;
  }
}

// The escape sequences of ISO-2022-JP (RFC 1468), JIS X 0201 kana (as
// Windows' code pages 50220-50222 write it) and JIS X 0212.
void JisToCp932::Escape(std::string& out) {
  struct Known {
    std::string_view sequence;
    Set set;
  };
  static constexpr Known kKnown[] = {
      {"\x1B(B", Set::kAscii},    {"\x1B(J", Set::kAscii},     {"\x1B$@", Set::kJisX0208},
      {"\x1B$B", Set::kJisX0208}, {"\x1B$(D", Set::kJisX0212}, {"\x1B(I", Set::kKana},
  };
  bool prefix = false;
  for (const Known& k : kKnown) {
    if (k.sequence == escape_) {
      set_ = k.set;
      if (set_ != Set::kAscii) shifted_ = true;
      escape_.clear();
      return;
    }
    prefix = prefix || k.sequence.starts_with(escape_);
  }
  if (prefix) return;
  // An unknown escape: its ESC is malformed, the bytes after it are read again.
  const std::string rest = escape_.substr(1);
  escape_.clear();
  Malformed(out);
  Feed(std::span<const char>(rest), out);
}

}  // namespace zor
