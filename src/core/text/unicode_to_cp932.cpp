#include "core/text/unicode_to_cp932.h"

#include "core/text/cp932.h"
#include "core/text/look_alikes.h"

namespace zor {

void Cp932Transcoder::Feed(std::span<const char> bytes, std::string& out) {
  if (stopWhenMalformed_ && malformed_) return;
  out.reserve(out.size() + bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (form_ == UnicodeForm::kUtf8 && due_ == 0) {
      // Runs of ASCII, the bulk of most files, go straight through.
      const std::size_t start = i;
      while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
      out.append(bytes.data() + start, i - start);
      if (i == bytes.size()) break;
    }
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (form_ == UnicodeForm::kUtf8) {
      FeedUtf8(b, out);
    } else {
      FeedUtf16(b, out);
    }
    if (stopWhenMalformed_ && malformed_) return;
  }
}

void Cp932Transcoder::Finish(std::string& out) {
  if (due_ > 0 || firstByte_ >= 0 || highSurrogate_ != 0) EmitMalformed(out);
  due_ = 0;
  firstByte_ = -1;
  highSurrogate_ = 0;
}

void Cp932Transcoder::Emit(char32_t cp, std::string& out) {
  if (!AppendCp932(out, Cp932LookAlike(cp))) out.push_back(kNoCp932Byte);
}

void Cp932Transcoder::EmitMalformed(std::string& out) {
  malformed_ = true;
  out.push_back(kMalformedByte);
}

// Well-formed sequences as the Unicode standard's table of them defines; a
// byte that breaks a sequence ends it as one malformed character and is
// then read again as the start of the next.
void Cp932Transcoder::FeedUtf8(unsigned char b, std::string& out) {
  if (due_ > 0) {
    if (b >= low_ && b <= high_) {
      partial_ = partial_ << 6 | (b & 0x3Fu);
      low_ = 0x80;
      high_ = 0xBF;
      if (--due_ == 0) Emit(partial_, out);
      return;
    }
    due_ = 0;
    EmitMalformed(out);
  }
  low_ = 0x80;
  high_ = 0xBF;
  if (b < 0x80) {
    out.push_back(static_cast<char>(b));
  } else if (b >= 0xC2 && b <= 0xDF) {
    partial_ = b & 0x1Fu;
    due_ = 1;
  } else if (b >= 0xE0 && b <= 0xEF) {
    partial_ = b & 0x0Fu;
    due_ = 2;
    if (b == 0xE0) low_ = 0xA0;
    if (b == 0xED) high_ = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    partial_ = b & 0x07u;
    due_ = 3;
    if (b == 0xF0) low_ = 0x90;
    if (b == 0xF4) high_ = 0x8F;
  } else {
    EmitMalformed(out);
  }
}

void Cp932Transcoder::FeedUtf16(unsigned char b, std::string& out) {
  if (firstByte_ < 0) {
    firstByte_ = b;
    return;
  }
  const auto first = static_cast<char32_t>(firstByte_);
  firstByte_ = -1;
  const char32_t unit = form_ == UnicodeForm::kUtf16Le ? (char32_t{b} << 8 | first) : (first << 8 | b);
  if (highSurrogate_ != 0) {
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      Emit(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
      highSurrogate_ = 0;
      return;
    }
    highSurrogate_ = 0;
    EmitMalformed(out);
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    highSurrogate_ = unit;
  } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
    EmitMalformed(out);
  } else {
    Emit(unit, out);
  }
}

void Utf8Check::Feed(std::span<const char> bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end && !malformed_) {
    if (due_ == 0) {
      while (p < end && *p < 0x80) ++p;  // the ASCII between characters
      if (p == end) return;
      const unsigned char b = *p++;
      beyondAscii_ = true;
      low_ = 0x80;
      high_ = 0xBF;
      if (b >= 0xC2 && b <= 0xDF) {
        due_ = 1;
      } else if (b >= 0xE0 && b <= 0xEF) {
        due_ = 2;
        if (b == 0xE0) low_ = 0xA0;
        if (b == 0xED) high_ = 0x9F;
      } else if (b >= 0xF0 && b <= 0xF4) {
        due_ = 3;
        if (b == 0xF0) low_ = 0x90;
        if (b == 0xF4) high_ = 0x8F;
      } else {
        malformed_ = true;
      }
      continue;
    }
    const unsigned char b = *p++;
    if (b < low_ || b > high_) {
      malformed_ = true;
    } else {
      --due_;
      low_ = 0x80;
      high_ = 0xBF;
    }
  }
}

}  // namespace zor
