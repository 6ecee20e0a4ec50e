#include "core/text/cp932.h"

#include "core/text/cp932_platform.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

// Single bytes that CP932 leaves undefined; the platforms disagree on them
// (Windows maps them to private-use characters), so both sides refuse them.
bool IsUndefinedSingleByte(unsigned char b) {
  return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

// True when the bytes are made of whole characters and no undefined bytes,
// so that a strict platform decode may take them in one call.
bool IsWellFormed(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (IsCp932LeadByte(b)) {
      if (i + 1 >= bytes.size() || !IsCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]))) return false;
      ++i;
    } else if (IsUndefinedSingleByte(b)) {
      return false;
    }
  }
  return true;
}

// Encodes one code point exactly, or gives "?". An encoding is exact only when
// it decodes back to the same character: that keeps best-fit mappings of
// either platform out (both must give the same bytes).
std::string EncodeOne(char32_t cp) {
  if (cp < 0x80) return std::string(1, static_cast<char>(cp));
  std::wstring one;
  AppendCodePoint(one, cp);
  std::string bytes;
  std::wstring back;
  if (detail::Cp932EncodeStrict(one, bytes) && !bytes.empty() && bytes.size() <= 2 && IsWellFormed(bytes) &&
      detail::Cp932DecodeStrict(bytes, back) && back == one) {
    return bytes;
  }
  return "?";
}

}  // namespace

std::string ToCp932(std::wstring_view text) {
  std::string bytes;
  std::wstring back;
  if (detail::Cp932EncodeStrict(text, bytes) && IsWellFormed(bytes) && detail::Cp932DecodeStrict(bytes, back) &&
      back == text) {
    return bytes;
  }
  std::string out;
  out.reserve(text.size() * 2);
  for (char32_t cp : CodePoints(text)) out += EncodeOne(cp);
  return out;
}

bool FitsCp932(std::wstring_view text) {
  for (char32_t cp : CodePoints(text)) {
    if (cp != U'?' && EncodeOne(cp) == "?") return false;
  }
  return true;
}

std::wstring FromCp932(std::string_view bytes) {
  std::wstring out;
  if (IsWellFormed(bytes) && detail::Cp932DecodeStrict(bytes, out)) return out;
  out.clear();
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
    } else if (b >= 0xA1 && b <= 0xDF) {  // half-width katakana
      out.push_back(static_cast<wchar_t>(0xFF61 + (b - 0xA1)));
      ++i;
    } else if (IsCp932LeadByte(b) && i + 1 < bytes.size() &&
               IsCp932TrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
      std::wstring one;
      if (detail::Cp932DecodeStrict(bytes.substr(i, 2), one) && !one.empty()) {
        out += one;
      } else {
        AppendCodePoint(out, kReplacementChar);  // unassigned pair
      }
      i += 2;
    } else {
      AppendCodePoint(out, kReplacementChar);  // lone lead byte or undefined byte
      ++i;
    }
  }
  return out;
}

std::size_t Cp932Length(std::wstring_view text) { return ToCp932(text).size(); }

}  // namespace zor
