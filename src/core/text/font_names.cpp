#include "core/text/font_names.h"

#include <algorithm>

namespace zor {

namespace {

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

constexpr std::uint16_t kPlatformUnicode = 0;
constexpr std::uint16_t kPlatformWindows = 3;
constexpr std::uint16_t kFamily = 1;
constexpr std::uint16_t kTypographicFamily = 16;
constexpr std::size_t kHeader = 6;
constexpr std::size_t kRecord = 12;

// UTF-16 big-endian as the table stores it (an odd last byte is dropped).
std::wstring FromUtf16Be(std::span<const std::uint8_t> bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(static_cast<wchar_t>(U16(bytes, i)));
  return out;
}

}  // namespace

std::vector<std::wstring> FontFamilyNames(std::span<const std::uint8_t> table) {
  std::vector<std::wstring> names;
  if (table.size() < kHeader) return names;
  const std::size_t count = U16(table, 2);
  const std::size_t strings = U16(table, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kHeader + i * kRecord;
    if (at + kRecord > table.size()) break;
    const std::uint16_t platform = U16(table, at);
    const std::uint16_t nameId = U16(table, at + 6);
    const std::uint16_t encoding = U16(table, at + 2);
    // Windows names are UTF-16 under the symbol, BMP and full Unicode encodings only.
    const bool utf16 = platform == kPlatformUnicode ||
                       (platform == kPlatformWindows && (encoding == 0 || encoding == 1 || encoding == 10));
    if (!utf16) continue;
    if (nameId != kFamily && nameId != kTypographicFamily) continue;
    const std::size_t length = U16(table, at + 8);
    const std::size_t offset = strings + U16(table, at + 10);
    if (length == 0 || offset > table.size() || length > table.size() - offset) continue;
    std::wstring name = FromUtf16Be(table.subspan(offset, length));
    if (name.empty() || name.find(L'\0') != std::wstring::npos) continue;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
  return names;
}

bool SameFaceName(std::wstring_view a, std::wstring_view b) {
  const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) {
           return lower(x) == lower(y);
         });
}

}  // namespace zor
