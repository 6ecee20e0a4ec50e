#include "core/text/measures.h"

#include <vector>

#include "core/text/cp932.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

// CP932 byte width (1 or 2) of each code point of the text.
std::vector<int> ByteWidths(const std::vector<char32_t>& cps) {
  std::vector<int> widths;
  widths.reserve(cps.size());
  for (char32_t cp : cps) {
    std::wstring one;
    AppendCodePoint(one, cp);
    widths.push_back(static_cast<int>(ToCp932(one).size()));
  }
  return widths;
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\u3000'; }

}  // namespace

bool ContainsHalfWidth(std::wstring_view text) {
  for (char32_t cp : CodePoints(text)) {
    if (cp < 0x80) {
      if (cp >= 32) return true;
      continue;
    }
    std::wstring one;
    AppendCodePoint(one, cp);
    const std::string bytes = ToCp932(one);
    if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) >= 32) return true;
  }
  return false;
}

bool AcceptableMessage(std::wstring_view text) {
  if (text.empty()) return false;
  if (!ContainsHalfWidth(text)) return Utf16Length(text) <= kMaxFullWidthChars;
  return Cp932Length(text) <= kMaxHalfWidthBytes;
}

std::wstring ShortenTitle(std::wstring_view text, int n) {
  const std::string bytes = ToCp932(text);
  const std::size_t limit = n > 0 ? static_cast<std::size_t>(n) * 2 : 0;
  if (bytes.size() <= limit) return std::wstring(text);
  // Find where the character boundary before the limit lies.
  std::size_t cut = 0;
  while (cut < limit) {
    const std::size_t len = IsCp932LeadByte(static_cast<unsigned char>(bytes[cut])) ? 2 : 1;
    if (cut + len > limit) break;
    cut += len;
  }
  return FromCp932(std::string_view(bytes).substr(0, cut)) + L"...";
}

std::int16_t GetFoldPos(std::wstring_view text) {
  const std::vector<char32_t> cps = CodePoints(text);
  const std::vector<int> widths = ByteWidths(cps);
  int b = 0;
  for (int w : widths) b += w;
  if (b <= 40) return -1;
  int target = b / 2 + 1;
  if (target < 41) target = 41;
  int c = 0;
  std::size_t g = 0;  // 0-based index of the first character not yet counted
  while (g < cps.size() && c < target) c += widths[g++];
  // The last character looked at for a space: four fifths of the characters.
  const std::size_t last = Utf16Length(text) * 4 / 5;  // 1-based
  for (std::size_t k = g; k < cps.size() && k + 1 <= last; ++k) {
    c += widths[k];
    if (IsSpace(cps[k])) return static_cast<std::int16_t>(c);
  }
  // No space: the sum at the target.
  c = 0;
  for (std::size_t k = 0; k < g; ++k) c += widths[k];
  return static_cast<std::int16_t>(c);
}

std::wstring LowerCase(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& ch : out) {
    const auto c = static_cast<char32_t>(ch);
    if ((c >= U'A' && c <= U'Z') || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
      ch = static_cast<wchar_t>(c + 0x20);
    } else if (c >= 0xFF21 && c <= 0xFF3A) {
      ch = static_cast<wchar_t>(c + 0x20);
    } else if (c == 0x401) {
      ch = static_cast<wchar_t>(0x451);
    }
  }
  return out;
}

std::wstring Trim(std::wstring_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && text[first] == L' ') ++first;
  while (last > first && text[last - 1] == L' ') --last;
  return std::wstring(text.substr(first, last - first));
}

std::wstring ShortenPath(std::wstring_view path) {
  const std::vector<char32_t> cps = CodePoints(path);
  const std::vector<int> widths = ByteWidths(cps);
  int total = 0;
  for (int w : widths) total += w;
  if (total <= 45) return LowerCase(path);

  // Byte position (1-based) of every character.
  std::vector<int> pos(cps.size());
  int at = 1;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    pos[i] = at;
    at += widths[i];
  }
  std::size_t headEnd = 0;  // characters in the head
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (cps[i] == U'\\') {
      headEnd = i + 1;
      break;
    }
  }
  std::size_t tailStart = 0;
  bool found = false;
  std::size_t lastSlash = 0;
  bool anySlash = false;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (cps[i] != U'\\' || pos[i] < 2) continue;
    anySlash = true;
    lastSlash = i;
    const int following = total - (pos[i] + widths[i] - 1);
    if (!found && following <= 41) {
      tailStart = i;
      found = true;
    }
  }
  if (!found) tailStart = anySlash ? lastSlash : 0;
  std::vector<char32_t> head(cps.begin(), cps.begin() + static_cast<std::ptrdiff_t>(headEnd));
  std::vector<char32_t> tail(cps.begin() + static_cast<std::ptrdiff_t>(tailStart), cps.end());
  return LowerCase(FromCodePoints(head) + L"..." + FromCodePoints(tail));
}

}  // namespace zor
