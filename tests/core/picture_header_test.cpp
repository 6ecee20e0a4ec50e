#include "core/screen/picture_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zor {
namespace {

using Bytes = std::string;

ByteReader Over(const Bytes& bytes) {
  return [&bytes](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
    if (offset >= bytes.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, bytes.size() - offset);
    bytes.copy(static_cast<char*>(buffer), n, offset);
    return n;
  };
}

Bytes Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
Bytes Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
Bytes Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// "BM", file size, reserved, data offset, then the info header.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint32_t infoSize = 40) {
  Bytes b = "BM" + Le32(0) + Le32(0) + Le32(54) + Le32(infoSize);
  if (infoSize == 12) return b + Le16(static_cast<unsigned>(width)) + Le16(static_cast<unsigned>(height)) + Le16(1) + Le16(24);
  return b + Le32(static_cast<std::uint32_t>(width)) + Le32(static_cast<std::uint32_t>(height)) + Le16(1) + Le16(8) +
         Le32(1) /* RLE8 */ + Bytes(20, '\0');
}

Bytes Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

// The PNG signature and an IHDR chunk (8-bit RGBA); no image data.
Bytes Png(std::uint32_t width, std::uint32_t height) {
  return Bytes("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) + Bytes{8, 6, 0, 0, 0} +
         Be32(0);
}

// A 32-bit BMP with the info header of the given size and compression; its
// colour masks (and alpha mask where given) follow at offset 54.
Bytes Bmp32(std::uint32_t infoSize, std::uint32_t compression, std::uint32_t alphaMask) {
  Bytes b = "BM" + Le32(0) + Le32(0) + Le32(14 + infoSize) + Le32(infoSize) + Le32(2) + Le32(2) + Le16(1) + Le16(32) +
            Le32(compression) + Bytes(20, '\0');
  b += Le32(0xFF0000) + Le32(0xFF00) + Le32(0xFF) + Le32(alphaMask);
  return b + Bytes(infoSize > 56 ? infoSize - 56 : 0, '\0');
}

Bytes Segment(unsigned char marker, const Bytes& body) {
  return Bytes{'\xFF', static_cast<char>(marker)} + Be16(static_cast<unsigned>(body.size() + 2)) + body;
}

// SOI, an APP0 and an APP1, fill bytes, then a baseline frame header.
Bytes Jpeg(unsigned width, unsigned height, unsigned char frame = 0xC0) {
  return Bytes{'\xFF', '\xD8'} + Segment(0xE0, "JFIF" + Bytes(9, '\0')) + Segment(0xE1, Bytes(3000, 'x')) +
         Bytes{'\xFF', '\xFF'} + Segment(0xDB, Bytes(65, '\1')) +
         Segment(frame, Bytes{8} + Be16(height) + Be16(width) + Bytes{3, 1, 0x22, 0}) +
         Segment(0xDA, Bytes(10, '\0')) + "scan data";
}

TEST(PictureHeader, SizesOfTheThreeFormats) {
  struct Case {
    const char* name;
    Bytes bytes;
    PictureFormat format;
    std::uint32_t w, h;
  } cases[] = {
      {"bmp", Bmp(640, 480), PictureFormat::kBmp, 640, 480},
      {"bmp top-down", Bmp(640, -480), PictureFormat::kBmp, 640, 480},
      {"bmp core header", Bmp(33, 17, 12), PictureFormat::kBmp, 33, 17},
      {"gif", "GIF89a" + Le16(320) + Le16(200) + Bytes(3, '\0'), PictureFormat::kGif, 320, 200},
      {"jpeg baseline", Jpeg(6000, 4000), PictureFormat::kJpeg, 6000, 4000},
      {"jpeg progressive", Jpeg(17, 9, 0xC2), PictureFormat::kJpeg, 17, 9},
      {"png", Png(1920, 1080), PictureFormat::kPng, 1920, 1080},
  };
  for (const Case& c : cases) {
    const PictureHeader h = ReadPictureHeader(Over(c.bytes));
    EXPECT_TRUE(h.valid) << c.name;
    EXPECT_EQ(h.format, c.format) << c.name;
    EXPECT_EQ(h.width, c.w) << c.name;
    EXPECT_EQ(h.height, c.h) << c.name;
  }
}

TEST(PictureHeader, TruncatedGarbageAndHostileHeaders) {
  const Bytes jpeg = Jpeg(800, 600);
  const struct {
    const char* name;
    Bytes bytes;
    PictureFormat format;
  } cases[] = {
      {"empty", "", PictureFormat::kUnknown},
      {"text", "hello, this is not a picture", PictureFormat::kUnknown},
      {"png signature alone", Bytes("\x89PNG\r\n\x1a\n", 8), PictureFormat::kPng},
      {"png cut in its IHDR", Png(640, 480).substr(0, 20), PictureFormat::kPng},
      {"png whose first chunk is not IHDR", Bytes("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "tEXt" + Bytes(13, 'x'),
       PictureFormat::kPng},
      {"png with a zero width", Png(0, 480), PictureFormat::kPng},
      {"bmp cut in its header", Bmp(640, 480).substr(0, 20), PictureFormat::kBmp},
      {"bmp with a zero width", Bmp(0, 480), PictureFormat::kBmp},
      {"bmp with a negative width", Bmp(-5, 480), PictureFormat::kBmp},
      {"bmp with an unknown header size", Bmp(5, 5, 7), PictureFormat::kBmp},
      {"gif cut", "GIF89a\x01", PictureFormat::kGif},
      {"jpeg cut before its frame header", jpeg.substr(0, 2000), PictureFormat::kJpeg},
      {"jpeg cut inside its frame header", jpeg.substr(0, jpeg.find("\xFF\xC0") + 6), PictureFormat::kJpeg},
      {"jpeg scan before a frame", Bytes{'\xFF', '\xD8'} + Segment(0xDA, "x"), PictureFormat::kJpeg},
      {"jpeg segment length 0", Bytes{'\xFF', '\xD8', '\xFF', '\xE0', 0, 0}, PictureFormat::kJpeg},
      {"jpeg garbage after SOI", Bytes{'\xFF', '\xD8', 'a', 'b', 'c'}, PictureFormat::kJpeg},
      {"jpeg zero height", Jpeg(800, 0), PictureFormat::kJpeg},
      {"jpeg fill bytes to the end", Bytes{'\xFF', '\xD8'} + Bytes(100000, '\xFF'), PictureFormat::kJpeg},
  };
  for (const auto& c : cases) {
    const PictureHeader h = ReadPictureHeader(Over(c.bytes));
    EXPECT_FALSE(h.valid) << c.name;
    EXPECT_EQ(h.format, c.format) << c.name;
  }
}

// Fault: a plain 32-bit BMP's padding byte taken for alpha (a picture that
// turns invisible), or a real alpha mask missed.
TEST(PictureHeader, BmpAlphaOnlyWhereTheHeaderGivesAnAlphaMask) {
  constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
  EXPECT_TRUE(ReadPictureHeader(Over(Bmp32(124, kBitFields, 0xFF000000))).bmpAlpha) << "V5";
  EXPECT_TRUE(ReadPictureHeader(Over(Bmp32(108, kBitFields, 0xFF000000))).bmpAlpha) << "V4";
  EXPECT_TRUE(ReadPictureHeader(Over(Bmp32(40, kAlphaBitFields, 0xFF000000))).bmpAlpha)
      << "four masks after the header";
  EXPECT_FALSE(ReadPictureHeader(Over(Bmp32(124, kRgb, 0xFF000000))).bmpAlpha) << "plain BI_RGB: padding";
  EXPECT_FALSE(ReadPictureHeader(Over(Bmp32(124, kBitFields, 0))).bmpAlpha) << "no alpha mask";
  EXPECT_FALSE(ReadPictureHeader(Over(Bmp32(40, kBitFields, 0xFF000000))).bmpAlpha)
      << "three masks: the fourth is pixels";
  EXPECT_FALSE(ReadPictureHeader(Over(Bmp32(124, kBitFields, 0xFF000000).substr(0, 60))).bmpAlpha) << "cut";
  EXPECT_FALSE(ReadPictureHeader(Over(Bmp(2, 2))).bmpAlpha);
}

// An Exif block with one directory of the given entries (each 12 bytes),
// little- or big-endian as cameras write either.
Bytes Exif(bool little, const Bytes& entries, unsigned count) {
  const auto u16 = [little](unsigned v) { return little ? Le16(v) : Be16(v); };
  const auto u32 = [little](std::uint32_t v) { return little ? Le32(v) : Be32(v); };
  return Bytes("Exif\0\0", 6) + (little ? "II" : "MM") + u16(42) + u32(8) + u16(count) + entries + u32(0);
}
Bytes Entry(bool little, unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
  const auto u16 = [little](unsigned v) { return little ? Le16(v) : Be16(v); };
  const auto u32 = [little](std::uint32_t v) { return little ? Le32(v) : Be32(v); };
  return u16(tag) + u16(type) + u32(count) + (type == 3 ? u16(value) + u16(0) : u32(value));
}
Bytes JpegWithApp1(const Bytes& app1) {
  const Bytes plain = Jpeg(40, 20);
  return plain.substr(0, 2) + Segment(0xE1, app1) + plain.substr(2);
}

// Faults: a phone photo's orientation missed (drawn on its side) where the
// system decoder gives no Exif metadata, either byte order, the tag behind
// other entries; and hostile blocks read beyond their segment.
TEST(PictureHeader, OrientationOfAJpegsExifBlock) {
  for (const bool little : {true, false}) {
    const Bytes make = Entry(little, 0x010F, 2, 4, 0x41424300);
    for (std::uint32_t v = 1; v <= 8; ++v) {
      const Bytes exif = Exif(little, make + Entry(little, 274, 3, 1, v), 2);
      const PictureHeader h = ReadPictureHeader(Over(JpegWithApp1(exif)));
      EXPECT_TRUE(h.valid);
      EXPECT_EQ(h.width, 40u);
      EXPECT_EQ(h.orientationTag, v) << (little ? "II " : "MM ") << v;
    }
  }
  EXPECT_EQ(ReadPictureHeader(Over(JpegWithApp1(Exif(true, Entry(true, 274, 4, 1, 6), 1)))).orientationTag, 6u)
      << "a LONG";
  const Bytes garbage = Exif(true, Entry(true, 274, 3, 1, 0xFFFF), 1);
  EXPECT_EQ(ReadPictureHeader(Over(JpegWithApp1(garbage))).orientationTag, 0xFFFFu)
      << "garbage is kept as read; the decoder treats it as upright";
  const struct {
    const char* name;
    Bytes app1;
  } none[] = {
      {"no Exif block", "JFIF"},
      {"not Exif", Bytes("Exiv\0\0II*\0", 10)},
      {"bad byte order", Bytes("Exif\0\0XX*\0\x08\0\0\0", 14)},
      {"directory beyond the segment", Bytes("Exif\0\0II*\0\xFF\xFF\0\0", 14)},
      {"count beyond the segment", Exif(true, Entry(true, 0x010F, 2, 4, 0), 0xFFFF)},
      {"entry cut", Exif(true, Entry(true, 274, 3, 1, 6), 1).substr(0, 22)},
      {"a count of two values", Exif(true, Entry(true, 274, 3, 2, 6), 1)},
      {"a text type", Exif(true, Entry(true, 274, 2, 1, 6), 1)},
  };
  for (const auto& c : none) {
    const PictureHeader h = ReadPictureHeader(Over(JpegWithApp1(c.app1)));
    EXPECT_TRUE(h.valid) << c.name;
    EXPECT_EQ(h.orientationTag, 0u) << c.name;
  }
}

TEST(PictureHeader, HostileSizesAreRefused) {
  const PictureHeader huge = ReadPictureHeader(Over(Bmp(65535, 65535)));
  ASSERT_TRUE(huge.valid);
  EXPECT_FALSE(AcceptablePictureSize(huge.width, huge.height));
  const PictureHeader jpeg = ReadPictureHeader(Over(Jpeg(65535, 65535)));
  EXPECT_FALSE(AcceptablePictureSize(jpeg.width, jpeg.height));
  const PictureHeader png = ReadPictureHeader(Over(Png(0xFFFFFFFFu, 0x7FFFFFFFu)));
  ASSERT_TRUE(png.valid);
  EXPECT_FALSE(AcceptablePictureSize(png.width, png.height)) << "a PNG claiming absurd sides";
  EXPECT_TRUE(AcceptablePictureSize(6000, 4000)) << "a 24-megapixel photo";
  EXPECT_TRUE(AcceptablePictureSize(32767, 1));
  EXPECT_FALSE(AcceptablePictureSize(32768, 1));
  EXPECT_FALSE(AcceptablePictureSize(9000, 9000)) << "81 megapixels";
  EXPECT_FALSE(AcceptablePictureSize(0, 10));
  EXPECT_FALSE(AcceptablePictureSize(0x80000000u, 0x80000000u)) << "no overflow in the product";
}

}  // namespace
}  // namespace zor
