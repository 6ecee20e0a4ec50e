#include "core/text/unicode.h"

#include <cstdint>

namespace zor {

namespace {
constexpr bool kWide16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

std::vector<char32_t> CodePoints(std::wstring_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if constexpr (kWide16) {
      c &= 0xFFFF;
      if (IsHighSurrogate(c) && i + 1 < text.size()) {
        const auto d = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (IsLowSurrogate(d)) {
          out.push_back(0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
          ++i;
          continue;
        }
      }
    }
    out.push_back(c);
  }
  return out;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (kWide16) {
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

std::wstring FromCodePoints(const std::vector<char32_t>& cps) {
  std::wstring out;
  out.reserve(cps.size());
  for (char32_t cp : cps) AppendCodePoint(out, cp);
  return out;
}

std::size_t Utf16Length(std::wstring_view text) {
  if constexpr (kWide16) {
    return text.size();
  } else {
    std::size_t n = 0;
    for (wchar_t c : text) n += (static_cast<std::uint32_t>(c) >> 16) != 0 ? 2 : 1;
    return n;
  }
}

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char32_t cp : CodePoints(text)) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementChar;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::wstring FromUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b < 0x80) { len = 1; cp = b; }
    else if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    bool ok = len > 0 && i + static_cast<std::size_t>(len) <= bytes.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      AppendCodePoint(out, kReplacementChar);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

}  // namespace zor
