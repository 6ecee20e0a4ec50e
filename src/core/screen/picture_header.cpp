#include "core/screen/picture_header.h"

#include <cstring>

namespace zor {

namespace {

std::uint32_t Le16(const unsigned char* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint32_t Be16(const unsigned char* p) { return static_cast<std::uint32_t>((p[0] << 8) | p[1]); }

PictureHeader BmpHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kBmp;
  unsigned char b[26] = {};
  if (read(0, b, sizeof b) < sizeof b) return h;
  const std::uint32_t infoSize = Le32(b + 14);
  if (infoSize == 12) {  // OS/2 core header: 16-bit sizes
    h.width = Le16(b + 18);
    h.height = Le16(b + 20);
  } else if (infoSize >= 40 && infoSize <= 4096) {
    const auto w = static_cast<std::int32_t>(Le32(b + 18));
    const auto ht = static_cast<std::int32_t>(Le32(b + 22));
    if (w <= 0 || ht == 0 || ht == INT32_MIN) return h;
    h.width = static_cast<std::uint32_t>(w);
    h.height = static_cast<std::uint32_t>(ht < 0 ? -ht : ht);  // negative: rows from the top
  } else {
    return h;
  }
  h.valid = h.width > 0 && h.height > 0;
  return h;
}

PictureHeader GifHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kGif;
  unsigned char b[10] = {};
  if (read(0, b, sizeof b) < sizeof b) return h;
  h.width = Le16(b + 6);
  h.height = Le16(b + 8);
  h.valid = h.width > 0 && h.height > 0;
  return h;
}

bool IsFrameMarker(unsigned char m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureHeader JpegHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kJpeg;
  std::uint64_t at = 2;
  // Each step moves forward by at least two bytes; a file of nothing but
  // segments ends at its end, and a bound keeps a hostile one short.
  for (int step = 0; step < 100000; ++step) {
    unsigned char m[2] = {};
    if (read(at, m, 2) < 2) return h;
    if (m[0] != 0xFF) return h;
    if (m[1] == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (m[1] == 0xD8 || m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) {
      at += 2;
      continue;
    }
    if (m[1] == 0xD9 || m[1] == 0xDA) return h;  // image end or scan before any frame header
    unsigned char len[2] = {};
    if (read(at + 2, len, 2) < 2) return h;
    const std::uint32_t length = Be16(len);
    if (length < 2) return h;
    if (IsFrameMarker(m[1])) {
      unsigned char f[5] = {};
      if (length < 7 || read(at + 4, f, 5) < 5) return h;
      h.height = Be16(f + 1);
      h.width = Be16(f + 3);
      h.valid = h.width > 0 && h.height > 0;
      return h;
    }
    at += 2 + static_cast<std::uint64_t>(length);
  }
  return h;
}

}  // namespace

PictureHeader ReadPictureHeader(const ByteReader& read) {
  unsigned char sig[6] = {};
  const std::size_t n = read(0, sig, sizeof sig);
  if (n >= 2 && sig[0] == 0xFF && sig[1] == 0xD8) return JpegHeader(read);
  if (n >= 2 && sig[0] == 'B' && sig[1] == 'M') return BmpHeader(read);
  if (n >= 6 && std::memcmp(sig, "GIF8", 4) == 0) return GifHeader(read);
  return {};
}

bool AcceptablePictureSize(std::uint64_t width, std::uint64_t height) noexcept {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace zor
