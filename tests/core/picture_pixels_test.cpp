#include "core/screen/picture_pixels.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

#include <thread>

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

TEST(KeptSize, CoversTheScreenAndNoMore) {
  EXPECT_EQ(KeptSize({6000, 4000}, {1920, 1080}), (PixelSize{1920, 1280}));
  EXPECT_EQ(KeptSize({6000, 4000}, {3840, 2160}), (PixelSize{3840, 2560}));
  EXPECT_EQ(KeptSize({4000, 6000}, {1920, 1080}), (PixelSize{1920, 2880}));
  EXPECT_EQ(KeptSize({800, 600}, {1920, 1080}), (PixelSize{800, 600})) << "never enlarged";
  EXPECT_EQ(KeptSize({3000, 500}, {1920, 1080}), (PixelSize{3000, 500})) << "lower than the screen: kept whole";
  EXPECT_EQ(KeptSize({30000, 2}, {1920, 1080}), (PixelSize{30000, 2}));
}

std::uint32_t Grey(unsigned v) { return v << 16 | v << 8 | v; }

TEST(RowShrinker, AveragesAreas) {
  // 4 × 4 -> 2 × 2: each output pixel is the mean of a 2 × 2 block.
  const std::uint32_t in[16] = {Grey(0),   Grey(100), Grey(10), Grey(10),  //
                                Grey(100), Grey(0),   Grey(30), Grey(30),  //
                                Grey(200), Grey(200), 0xFF0000, 0x0000FF,  //
                                Grey(200), Grey(200), 0x00FF00, 0x000000};
  std::uint32_t out[4] = {};
  RowShrinker shrink({4, 4}, {2, 2}, out);
  for (int r = 0; r < 4; ++r) shrink.AddRow(in + r * 4);
  shrink.Finish();
  EXPECT_EQ(out[0], Grey(50));
  EXPECT_EQ(out[1], Grey(20));
  EXPECT_EQ(out[2], Grey(200));
  EXPECT_EQ(out[3], 0x404040u);  // 255 / 4 rounded in each channel
}

TEST(RowShrinker, FractionalAndShortInputs) {
  // 3 -> 2 across: output 0 = p0 + half p1, output 1 = half p1 + p2, each over 1.5.
  const std::uint32_t row[3] = {Grey(90), Grey(30), Grey(150)};
  std::uint32_t out[2] = {};
  RowShrinker shrink({3, 1}, {2, 1}, out);
  shrink.AddRow(row);
  shrink.Finish();
  EXPECT_EQ(out[0], Grey(70));
  EXPECT_EQ(out[1], Grey(110));

  // A file that ends early: the missing rows count as black, every row is written.
  std::uint32_t tall[3] = {1, 1, 1};
  const std::uint32_t white = 0xFFFFFF;
  RowShrinker cut({1, 6}, {1, 3}, tall);
  cut.AddRow(&white);
  cut.AddRow(&white);
  cut.Finish();
  EXPECT_EQ(tall[0], 0xFFFFFFu);
  EXPECT_EQ(tall[1], 0u);
  EXPECT_EQ(tall[2], 0u);
}

TEST(RowShrinker, LargeRatiosKeepAFlatColourFlat) {
  constexpr int kW = 997;
  constexpr int kH = 661;
  std::vector<std::uint32_t> row(kW, 0x336699);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(311) * 97, 0);
  RowShrinker shrink({kW, kH}, {311, 97}, out.data());
  for (int r = 0; r < kH; ++r) shrink.AddRow(row.data());
  shrink.Finish();
  for (std::uint32_t v : out) ASSERT_EQ(v, 0x336699u);
}

TEST(RowShrinker, ByteLayoutsAgreeWithPixels) {
  // The same 7 × 5 picture as 0x00RRGGBB pixels, BGR bytes and (its blue) grey
  // bytes, reduced to 3 × 2 and to 7 × 2 (one axis kept whole).
  constexpr int kW = 7;
  constexpr int kH = 5;
  std::vector<std::uint32_t> pixels(kW * kH);
  std::vector<std::uint8_t> bgr(kW * kH * 3);
  std::vector<std::uint8_t> grey(kW * kH);
  for (int i = 0; i < kW * kH; ++i) {
    const auto b = static_cast<std::uint8_t>(i * 7);
    const auto g = static_cast<std::uint8_t>(255 - i * 5);
    const auto r = static_cast<std::uint8_t>((i * 37) % 256);
    pixels[static_cast<std::size_t>(i)] = std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
    bgr[static_cast<std::size_t>(i) * 3] = b;
    bgr[static_cast<std::size_t>(i) * 3 + 1] = g;
    bgr[static_cast<std::size_t>(i) * 3 + 2] = r;
    grey[static_cast<std::size_t>(i)] = b;
  }
  for (const PixelSize to : {PixelSize{3, 2}, PixelSize{7, 2}, PixelSize{1, 1}}) {
    std::vector<std::uint32_t> a(static_cast<std::size_t>(to.width * to.height));
    std::vector<std::uint32_t> b(a.size());
    std::vector<std::uint32_t> c(a.size());
    RowShrinker fromPixels({kW, kH}, to, a.data());
    RowShrinker fromBgr({kW, kH}, to, b.data(), RowLayout::kBgr24);
    RowShrinker fromGrey({kW, kH}, to, c.data(), RowLayout::kGray8);
    for (int y = 0; y < kH; ++y) {
      fromPixels.AddRow(pixels.data() + y * kW);
      fromBgr.AddRow(bgr.data() + y * kW * 3);
      fromGrey.AddRow(grey.data() + y * kW);
    }
    fromPixels.Finish();
    fromBgr.Finish();
    fromGrey.Finish();
    EXPECT_EQ(a, b) << to.width << "x" << to.height;
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(c[i], (a[i] & 0xFF) * 0x010101u) << i;
  }
  // Kept whole across, halved down: each output is the mean of two rows.
  std::vector<std::uint32_t> half(kW * 2);
  RowShrinker shrink({kW, 4}, {kW, 2}, half.data(), RowLayout::kGray8);
  for (int y = 0; y < 4; ++y) shrink.AddRow(grey.data() + y * kW);
  shrink.Finish();
  EXPECT_EQ(half[0] & 0xFF, (grey[0] + grey[kW] + 1u) / 2);
  EXPECT_EQ(half[kW + 3] & 0xFF, (grey[2 * kW + 3] + grey[3 * kW + 3] + 1u) / 2);
}

TEST(BandedShrinker, SameAsOneBandPixelForPixel) {
  // Large enough to be made in two bands; odd sizes so the bands meet mid-pixel.
  for (const auto& [from, to] : {std::pair{PixelSize{1601, 901}, PixelSize{611, 343}},
                                 std::pair{PixelSize{1500, 1000}, PixelSize{1500, 999}},
                                 std::pair{PixelSize{2000, 600}, PixelSize{77, 600}}}) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(from.width) * from.height * 3);
    std::uint32_t seed = 99;
    for (auto& v : rows) {
      seed = seed * 1664525u + 1013904223u;
      v = static_cast<std::uint8_t>(seed >> 24);
    }
    const std::size_t stride = static_cast<std::size_t>(from.width) * 3;
    std::vector<std::uint32_t> whole(static_cast<std::size_t>(to.width) * to.height, 1);
    RowShrinker one(from, to, whole.data(), RowLayout::kBgr24);
    for (int y = 0; y < from.height; ++y) one.AddRow(rows.data() + y * stride);
    one.Finish();

    std::vector<std::uint32_t> banded(whole.size(), 2);
    {
      BandedShrinker two(from, to, banded.data(), RowLayout::kBgr24);
      if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_EQ(two.Bands(), 2);
      }
      // Strips of 32 rows, the last one short, and the end before the last rows.
      int y = 0;
      for (; y + 32 <= from.height - 5; y += 32) two.AddRows(rows.data() + y * stride, 32, stride);
      two.AddRows(rows.data() + y * stride, from.height - 5 - y, stride);
      two.Finish();
    }
    std::vector<std::uint32_t> cut(whole.size(), 3);
    RowShrinker short1(from, to, cut.data(), RowLayout::kBgr24);
    for (int r = 0; r < from.height - 5; ++r) short1.AddRow(rows.data() + r * stride);
    short1.Finish();
    EXPECT_EQ(banded, cut) << from.width << "x" << from.height << " -> " << to.width << "x" << to.height;

    // A band alone writes only its columns, as the whole would.
    std::vector<std::uint32_t> band(whole.size(), 7);
    RowShrinker middle(from, to, band.data(), RowLayout::kBgr24, to.width / 3, to.width / 2);
    for (int r = 0; r < from.height; ++r) middle.AddRow(rows.data() + r * stride);
    middle.Finish();
    for (int j = 0; j < to.width; ++j) {
      const bool inside = j >= to.width / 3 && j < to.width / 2;
      EXPECT_EQ(band[static_cast<std::size_t>(j)], inside ? whole[static_cast<std::size_t>(j)] : 7u) << j;
    }
  }
}

TEST(BandedShrinker, SmallPicturesAndEarlyEndsUseOneBandSafely) {
  std::vector<std::uint32_t> out(4, 0);
  {
    BandedShrinker small({8, 8}, {2, 2}, out.data(), RowLayout::kGray8);
    EXPECT_EQ(small.Bands(), 1);
  }
  // Dropped before Finish (a decoder failing mid-picture): the thread ends.
  std::vector<std::uint32_t> big(1000u * 600u);
  BandedShrinker dropped({2000, 1200}, {1000, 600}, big.data(), RowLayout::kGray8);
  std::vector<std::uint8_t> row(2000, 9);
  dropped.AddRows(row.data(), 1, 0);
}

TEST(ExpandRow, EveryLayout) {
  const std::uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
  const std::uint8_t bgrx[8] = {1, 2, 3, 99, 4, 5, 6, 99};
  const std::uint8_t grey[2] = {7, 200};
  std::uint32_t out[2] = {};
  ExpandRow(bgr, RowLayout::kBgr24, 2, out);
  EXPECT_EQ(out[0], 0x030201u);
  EXPECT_EQ(out[1], 0x060504u);
  ExpandRow(bgrx, RowLayout::kBgrx32, 2, out);
  EXPECT_EQ(out[1], 0x060504u) << "the fourth byte is dropped";
  ExpandRow(grey, RowLayout::kGray8, 2, out);
  EXPECT_EQ(out[0], 0x070707u);
  EXPECT_EQ(out[1], 0xC8C8C8u);
}

TEST(RowShrinker, ExtremeRatiosStayInRange) {
  // 32767 white pixels into one: the fixed-point sums must not overflow.
  std::vector<std::uint8_t> row(32767, 255);
  std::uint32_t out = 0;
  RowShrinker shrink({32767, 3}, {1, 1}, &out, RowLayout::kGray8);
  for (int y = 0; y < 3; ++y) shrink.AddRow(row.data());
  shrink.Finish();
  EXPECT_EQ(out, 0xFFFFFFu);
}

TEST(Resample, EnlargingMatchesBilinearInterpolation) {
  // Random pixels, a fractional source rectangle and a clipped destination:
  // each channel within one level of bilinear interpolation done in doubles.
  constexpr int kW = 37;
  constexpr int kH = 23;
  std::vector<std::uint32_t> pixels(kW * kH);
  std::uint32_t seed = 5;
  for (auto& v : pixels) {
    seed = seed * 1664525u + 1013904223u;
    v = seed >> 8;
  }
  const PixelView view{pixels.data(), kW, kH, kW};
  const Rect from{2.5f, 1.25f, 30.0f, 20.5f};
  const int dw = 97;
  const int dh = 61;
  const PixelRect clip{3, 7, 90, 60};
  std::vector<std::uint32_t> out(static_cast<std::size_t>(clip.width() * clip.height()));
  Resample(view, from, dw, dh, clip, out.data());
  const auto channel = [&](int x, int y, int shift) {
    const int lo = static_cast<int>(std::floor(from.x));
    const int hi = static_cast<int>(std::ceil(from.x + from.width)) - 1;
    const int top = static_cast<int>(std::floor(from.y));
    const int bottom = static_cast<int>(std::ceil(from.y + from.height)) - 1;
    return static_cast<double>((pixels[static_cast<std::size_t>(std::clamp(y, top, bottom) * kW +
                                                                std::clamp(x, lo, hi))] >>
                                shift) &
                               0xFF);
  };
  int worst = 0;
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) {
      const double cx = from.x + (x + 0.5) * from.width / dw - 0.5;
      const double cy = from.y + (y + 0.5) * from.height / dh - 0.5;
      const int x0 = static_cast<int>(std::floor(cx));
      const int y0 = static_cast<int>(std::floor(cy));
      const double fx = cx - x0;
      const double fy = cy - y0;
      const std::uint32_t got = out[static_cast<std::size_t>((y - clip.top) * clip.width() + (x - clip.left))];
      for (const int shift : {0, 8, 16}) {
        const double want = (1 - fy) * ((1 - fx) * channel(x0, y0, shift) + fx * channel(x0 + 1, y0, shift)) +
                            fy * ((1 - fx) * channel(x0, y0 + 1, shift) + fx * channel(x0 + 1, y0 + 1, shift));
        worst = std::max(worst, static_cast<int>(std::lround(std::fabs(((got >> shift) & 0xFF) - want))));
      }
    }
  }
  EXPECT_LE(worst, 1);
}

TEST(Resample, CopiesEnlargesAndClipsConsistently) {
  std::vector<std::uint32_t> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[static_cast<std::size_t>(i)] = Grey(static_cast<unsigned>(i * 16));
  const PixelView view{pixels.data(), 4, 4, 4};

  std::vector<std::uint32_t> same(16);
  Resample(view, {0, 0, 4, 4}, 4, 4, {0, 0, 4, 4}, same.data());
  EXPECT_EQ(same, pixels);

  // Twice the size: the corners keep their values, the middle blends.
  std::vector<std::uint32_t> big(64);
  Resample(view, {0, 0, 4, 4}, 8, 8, {0, 0, 8, 8}, big.data());
  EXPECT_EQ(big[0], pixels[0]);
  EXPECT_EQ(big[63], pixels[15]);
  EXPECT_EQ(big[1], Grey(4));  // a quarter of the way from 0 to 16

  // The visible part alone equals the same part of the whole.
  std::vector<std::uint32_t> part(static_cast<std::size_t>(3) * 2);
  Resample(view, {0, 0, 4, 4}, 8, 8, {4, 5, 7, 7}, part.data());
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(part[static_cast<std::size_t>(y * 3 + x)], big[static_cast<std::size_t>((5 + y) * 8 + 4 + x)]);
    }
  }

  // A crop of the middle two columns halved across.
  std::uint32_t crop[4] = {};
  Resample(view, {1, 0, 2, 4}, 1, 4, {0, 0, 1, 4}, crop);
  EXPECT_EQ(crop[0], Grey(24));

  // Sources reaching outside the picture are clamped, never read beyond it.
  std::vector<std::uint32_t> outside(25);
  Resample(view, {-3, -3, 20, 20}, 5, 5, {0, 0, 5, 5}, outside.data());
  Resample(view, {0, 0, 0, 4}, 5, 5, {0, 0, 5, 5}, outside.data());  // empty source: nothing
}

}  // namespace
}  // namespace zor
