// CP932 primitives on iconv (native builds).
#include <cerrno>
#include <cstdint>
#include <iconv.h>

#include "core/text/cp932_platform.h"
#include "core/text/unicode.h"

namespace zor::detail {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in; false on any refused or non-reversible sequence.
  [[nodiscard]] bool Convert(std::string_view in, std::string& out) {
    out.clear();
    if (!valid()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::string buffer(in.size() * 4 + 16, '\0');
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    if (r == static_cast<std::size_t>(-1) || r != 0 || srcLeft != 0) return false;
    std::size_t flushLeft = dstLeft;
    if (iconv(cd_, nullptr, nullptr, &dst, &flushLeft) == static_cast<std::size_t>(-1)) return false;
    buffer.resize(buffer.size() - flushLeft);
    out = std::move(buffer);
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& Decoder() {
  thread_local Converter c("UTF-32LE", "CP932");
  return c;
}

Converter& Encoder() {
  thread_local Converter c("CP932", "UTF-32LE");
  return c;
}

}  // namespace

bool Cp932DecodeStrict(std::string_view bytes, std::wstring& out) {
  out.clear();
  std::string utf32;
  if (!Decoder().Convert(bytes, utf32)) return false;
  for (std::size_t i = 0; i + 3 < utf32.size(); i += 4) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf32.data() + i);
    const char32_t cp = static_cast<char32_t>(p[0]) | static_cast<char32_t>(p[1]) << 8 |
                        static_cast<char32_t>(p[2]) << 16 | static_cast<char32_t>(p[3]) << 24;
    AppendCodePoint(out, cp);
  }
  return true;
}

bool Cp932EncodeStrict(std::wstring_view text, std::string& out) {
  std::string utf32;
  utf32.reserve(text.size() * 4);
  for (char32_t cp : CodePoints(text)) {
    for (int k = 0; k < 4; ++k) utf32.push_back(static_cast<char>((cp >> (8 * k)) & 0xFF));
  }
  return Encoder().Convert(utf32, out);
}

}  // namespace zor::detail
