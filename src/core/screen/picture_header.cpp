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
std::uint32_t Be32(const unsigned char* p) { return Be16(p) << 16 | Be16(p + 2); }

constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

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
    // The alpha mask follows the colour masks: inside a header of 56 bytes
    // or more, or after a 40-byte one whose compression says it has four.
    unsigned char m[10] = {};
    if (read(28, m, sizeof m) == sizeof m) {
      const std::uint32_t bits = Le16(m);
      const std::uint32_t compression = Le32(m + 2);
      const bool masks = compression == kBitFields || compression == kAlphaBitFields;
      const bool alphaMask = infoSize >= 56 || (infoSize == 40 && compression == kAlphaBitFields);
      unsigned char a[4] = {};
      h.bmpAlpha = masks && alphaMask && (bits == 32 || bits == 16) && read(66, a, sizeof a) == sizeof a &&
                   Le32(a) != 0;
    }
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

// The orientation tag (274) of the first directory of an Exif block: the
// segment body at start, length bytes long. 0 when there is none; every
// offset is kept inside the segment.
std::uint32_t ExifOrientation(const ByteReader& read, std::uint64_t start, std::uint32_t length) {
  unsigned char head[14] = {};
  if (length < sizeof head || read(start, head, sizeof head) < sizeof head) return 0;
  if (std::memcmp(head, "Exif\0\0", 6) != 0) return 0;
  const unsigned char* tiff = head + 6;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 0;
  const auto u16 = [little](const unsigned char* p) { return little ? Le16(p) : Be16(p); };
  const auto u32 = [little](const unsigned char* p) { return little ? Le32(p) : Be32(p); };
  if (u16(tiff + 2) != 42) return 0;
  const std::uint64_t base = start + 6;
  const std::uint64_t end = start + length;
  const std::uint64_t ifd = base + u32(tiff + 4);
  unsigned char count[2] = {};
  if (ifd + 2 > end || read(ifd, count, 2) < 2) return 0;
  const std::uint32_t entries = u16(count);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint64_t at = ifd + 2 + std::uint64_t{i} * 12;
    unsigned char e[12] = {};
    if (at + 12 > end || read(at, e, 12) < 12) return 0;
    // A SHORT, or a LONG from a careless writer, held in the entry itself.
    if (u16(e) == 274 && u32(e + 4) == 1) {
      const std::uint32_t type = u16(e + 2);
      return type == 3 ? u16(e + 8) : type == 4 ? u32(e + 8) : 0;
    }
  }
  return 0;
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
    if (m[1] == 0xE1 && h.orientationTag == 0) h.orientationTag = ExifOrientation(read, at + 4, length - 2);
    at += 2 + static_cast<std::uint64_t>(length);
  }
  return h;
}

PictureHeader PngHeader(const ByteReader& read) {
  PictureHeader h;
  h.format = PictureFormat::kPng;
  // The signature, then the first chunk, which must be the 13-byte IHDR.
  unsigned char b[24] = {};
  if (read(0, b, sizeof b) < sizeof b) return h;
  if (Be32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) return h;
  h.width = Be32(b + 16);
  h.height = Be32(b + 20);
  h.valid = h.width > 0 && h.height > 0;
  return h;
}

}  // namespace

PictureHeader ReadPictureHeader(const ByteReader& read) {
  unsigned char sig[8] = {};
  const std::size_t n = read(0, sig, sizeof sig);
  if (n >= 2 && sig[0] == 0xFF && sig[1] == 0xD8) return JpegHeader(read);
  if (n >= 2 && sig[0] == 'B' && sig[1] == 'M') return BmpHeader(read);
  if (n >= 6 && std::memcmp(sig, "GIF8", 4) == 0) return GifHeader(read);
  if (n >= 8 && std::memcmp(sig, "\x89PNG\r\n\x1A\n", 8) == 0) return PngHeader(read);
  return {};
}

bool AcceptablePictureSize(std::uint64_t width, std::uint64_t height) noexcept {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace zor
