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
      {"png", "\x89PNG\r\n\x1a\n", PictureFormat::kUnknown},
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

TEST(PictureHeader, HostileSizesAreRefused) {
  const PictureHeader huge = ReadPictureHeader(Over(Bmp(65535, 65535)));
  ASSERT_TRUE(huge.valid);
  EXPECT_FALSE(AcceptablePictureSize(huge.width, huge.height));
  const PictureHeader jpeg = ReadPictureHeader(Over(Jpeg(65535, 65535)));
  EXPECT_FALSE(AcceptablePictureSize(jpeg.width, jpeg.height));
  EXPECT_TRUE(AcceptablePictureSize(6000, 4000)) << "a 24-megapixel photo";
  EXPECT_TRUE(AcceptablePictureSize(32767, 1));
  EXPECT_FALSE(AcceptablePictureSize(32768, 1));
  EXPECT_FALSE(AcceptablePictureSize(9000, 9000)) << "81 megapixels";
  EXPECT_FALSE(AcceptablePictureSize(0, 10));
  EXPECT_FALSE(AcceptablePictureSize(0x80000000u, 0x80000000u)) << "no overflow in the product";
}

}  // namespace
}  // namespace zor
