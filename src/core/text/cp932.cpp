#include "core/text/cp932.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/text/cp932_platform.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

// Single bytes that CP932 leaves undefined; the platforms disagree on them
// (Windows maps them to private-use characters), so both sides refuse them.
bool IsUndefinedSingleByte(unsigned char b) {
  return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

// True when the bytes are made of whole characters and no undefined bytes.
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

// Calls f with each code point of the text, as CodePoints gives them, without
// a list of them: the measures encode one character at a time.
template <class F>
void ForEachCodePoint(std::wstring_view text, F f) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
        const auto d = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (d >= 0xDC00 && d <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
          ++i;
        }
      }
    }
    f(c);
  }
}

// Encodes one code point exactly, or gives "?". An encoding is exact only when
// it decodes back to the same character: that keeps best-fit mappings of
// either platform out (both must give the same bytes).
std::string EncodeOneThroughPlatform(char32_t cp) {
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

// The form of each BMP character, asked of the platform once and kept:
// a platform call per character made encoding the costliest step of every
// measure. An entry is 0 until known, then kKnown | length << 16 | bytes.
// Entries are written whole, and a race writes the same value twice.
constexpr std::uint32_t kKnown = 0x80000000u;
std::atomic<std::uint32_t> g_forms[0x10000];
// The form of every character CP932 cannot hold, and of '?' itself.
constexpr std::uint32_t kQuestionMarkForm = kKnown | 1u << 16 | '?';

// The CP932 form of one code point ("?" when it has none) as kept in the table.
std::uint32_t FormOf(char32_t cp) {
  if (cp < 0x80) return kKnown | 1u << 16 | cp;
  if (cp > 0xFFFF) return kQuestionMarkForm;  // no character beyond the BMP has a CP932 form
  std::uint32_t form = g_forms[cp].load(std::memory_order_relaxed);
  if (form == 0) {
    const std::string bytes = EncodeOneThroughPlatform(cp);
    form = kKnown | static_cast<std::uint32_t>(bytes.size()) << 16;
    for (const char b : bytes) form = (form & 0xFFFF0000u) | ((form & 0xFFu) << 8) | static_cast<unsigned char>(b);
    g_forms[cp].store(form, std::memory_order_relaxed);
  }
  return form;
}

std::size_t FormLength(std::uint32_t form) { return (form >> 16) & 0x3u; }

void AppendForm(std::string& out, std::uint32_t form) {
  if (FormLength(form) == 2) out.push_back(static_cast<char>((form >> 8) & 0xFFu));
  out.push_back(static_cast<char>(form & 0xFFu));
}

// The character of each double-byte pair, asked of the platform once and
// kept as the forms are: kKnown | the code point, or kKnown | kUnassigned.
constexpr std::uint32_t kUnassigned = 0x40000000u;
std::atomic<std::uint32_t> g_pairs[0x10000];

// The kept entry of a lead and trail byte; 0 when the platform gave more
// than one character for it (then out, when given, receives them).
std::uint32_t PairEntry(std::string_view pair, std::wstring* out) {
  const std::size_t index = static_cast<unsigned char>(pair[0]) << 8 | static_cast<unsigned char>(pair[1]);
  std::uint32_t known = g_pairs[index].load(std::memory_order_relaxed);
  if (known == 0) {
    std::wstring one;
    const bool decoded = detail::Cp932DecodeStrict(pair, one) && !one.empty();
    const std::vector<char32_t> cps = CodePoints(one);
    if (decoded && cps.size() != 1) {
      if (out) *out += one;  // not one character: not kept
      return 0;
    }
    known = kKnown | (decoded ? static_cast<std::uint32_t>(cps[0]) : kUnassigned);
    g_pairs[index].store(known, std::memory_order_relaxed);
  }
  return known;
}

// Appends the character of a lead and trail byte, U+FFFD for an unassigned pair.
void AppendDecodedPair(std::wstring& out, std::string_view pair) {
  const std::uint32_t known = PairEntry(pair, &out);
  if (known == 0) return;
  AppendCodePoint(out, (known & kUnassigned) != 0 ? kReplacementChar : static_cast<char32_t>(known & 0x1FFFFFu));
}

}  // namespace

// A stateless code page: the form of a text is the forms of its characters
// one after another (and its text the characters of its bytes), so the kept
// forms give what one platform call would.
std::string ToCp932(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  ForEachCodePoint(text, [&](char32_t cp) { AppendForm(out, FormOf(cp)); });
  return out;
}

bool FitsCp932(std::wstring_view text) {
  bool fits = true;
  ForEachCodePoint(text, [&](char32_t cp) {
    // Only '?' itself has the form "?".
    if (cp != U'?' && FormOf(cp) == kQuestionMarkForm) fits = false;
  });
  return fits;
}

std::wstring CharactersOutsideCp932(std::wstring_view text) {
  std::wstring out;
  std::vector<char32_t> seen;
  ForEachCodePoint(text, [&](char32_t cp) {
    if (cp == U'?' || FormOf(cp) != kQuestionMarkForm) return;
    if (std::find(seen.begin(), seen.end(), cp) != seen.end()) return;
    seen.push_back(cp);
    AppendCodePoint(out, cp);
  });
  return out;
}

bool AppendCp932(std::string& out, char32_t cp) {
  const std::uint32_t form = FormOf(cp);
  if (cp != U'?' && form == kQuestionMarkForm) return false;
  AppendForm(out, form);
  return true;
}

std::wstring FromCp932(std::string_view bytes) {
  std::wstring out;
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
      AppendDecodedPair(out, bytes.substr(i, 2));
      i += 2;
    } else {
      AppendCodePoint(out, kReplacementChar);  // lone lead byte or undefined byte
      ++i;
    }
  }
  return out;
}

bool Cp932PairAssigned(unsigned char lead, unsigned char trail) {
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  return (PairEntry(std::string_view(pair, 2), nullptr) & kUnassigned) == 0;
}

std::size_t Cp932Length(std::wstring_view text) {
  std::size_t length = 0;
  ForEachCodePoint(text, [&](char32_t cp) { length += FormLength(FormOf(cp)); });
  return length;
}

}  // namespace zor
