// Pictures as cameras and tools make them, through the decoder: every
// orientation tag of a JPEG and a TIFF stands upright, see-through PNG, GIF
// and BMP pictures are blended over the ground, and PNG, TIFF and the
// system's other formats are listed in picture folders.
#include "win/screen/folder_lists.h"
#include "win/screen/picture_decoder.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

#include "../core/temp_folder.h"
#include "bmp_file.h"
#include "core/screen/picture_orientation.h"
#include "win/common/com.h"

namespace zor::win {
namespace {

using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using zor::win::testing::Be16;
using zor::win::testing::Le16;
using zor::win::testing::Le32;
using Bytes = std::string;


// Pixels (0xAARRGGBB) encoded by a WIC encoder, with alpha where asked.
Bytes Encoded(const GUID& container, int w, int h, const std::vector<std::uint32_t>& pixels, bool alpha = false) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmap> bitmap;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  std::vector<std::uint32_t> copy = pixels;
  const TempFolder dir;
  const std::filesystem::path file = dir / "encoded";
  const bool made =
      SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(factory.put()))) &&
      SUCCEEDED(factory->CreateBitmapFromMemory(static_cast<UINT>(w), static_cast<UINT>(h),
                                                alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppBGR,
                                                static_cast<UINT>(w * 4), static_cast<UINT>(copy.size() * 4),
                                                reinterpret_cast<BYTE*>(copy.data()), bitmap.put())) &&
      SUCCEEDED(factory->CreateStream(stream.put())) &&
      SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(container, nullptr, encoder.put())) &&
      SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->WriteSource(bitmap.get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
      SUCCEEDED(encoder->Commit());
  EXPECT_TRUE(made);
  frame.reset();
  encoder.reset();
  stream.reset();
  return zor::testing::ReadBytes(file);
}

// The upright test picture, 96 × 64 in quadrants: red, green over blue, white.
constexpr PixelSize kUpright{96, 64};
std::uint32_t UprightPixel(int x, int y) {
  const bool right = x >= kUpright.width / 2;
  const bool bottom = y >= kUpright.height / 2;
  return bottom ? (right ? 0xFFFFFFu : 0x0000FFu) : (right ? 0x00FF00u : 0xFF0000u);
}

// The stored pixels that the orientation turns into the upright picture.
std::vector<std::uint32_t> StoredPixels(Orientation o, PixelSize& stored) {
  stored = UprightSize(kUpright, o);  // a turn undoes itself on sizes
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stored.width * stored.height));
  for (int y = 0; y < kUpright.height; ++y) {
    for (int x = 0; x < kUpright.width; ++x) {
      const PixelRect s = StoredRect({x, y, x + 1, y + 1}, stored, o);
      pixels[static_cast<std::size_t>(s.top * stored.width + s.left)] = UprightPixel(x, y);
    }
  }
  return pixels;
}

// An Exif block holding the orientation tag, big- or little-endian.
Bytes ExifApp1(std::uint32_t tag, bool little = true) {
  const auto u16 = [little](unsigned v) { return little ? Le16(v) : Be16(v); };
  const auto u32 = [&](std::uint32_t v) { return little ? Le32(v) : u16(v >> 16) + u16(v & 0xFFFF); };
  const Bytes body = Bytes("Exif\0\0", 6) + (little ? "II" : "MM") + u16(42) + u32(8) + u16(1) + u16(274) + u16(3) +
                     u32(1) + u16(tag) + u16(0) + u32(0);
  return Bytes{'\xFF', '\xE1'} + Be16(static_cast<unsigned>(body.size() + 2)) + body;
}

// A JPEG with the Exif block after its JFIF block, where tools put it.
Bytes JpegWithOrientation(const Bytes& jpeg, std::uint32_t tag, bool little = true) {
  std::size_t at = 2;
  if (jpeg.size() > 6 && static_cast<unsigned char>(jpeg[3]) == 0xE0) {
    at += 2 + (static_cast<unsigned char>(jpeg[4]) << 8 | static_cast<unsigned char>(jpeg[5]));
  }
  return jpeg.substr(0, at) + ExifApp1(tag, little) + jpeg.substr(at);
}

// An uncompressed RGB TIFF with the orientation tag.
Bytes TiffWithOrientation(PixelSize size, const std::vector<std::uint32_t>& pixels, std::uint32_t tag) {
  const int entries = 10;
  const std::uint32_t bitsAt = 8 + 2 + entries * 12 + 4;
  const std::uint32_t dataAt = bitsAt + 6;
  const auto w = static_cast<std::uint32_t>(size.width);
  const auto h = static_cast<std::uint32_t>(size.height);
  const auto entry = [](unsigned t, unsigned type, std::uint32_t count, std::uint32_t value) {
    return Le16(t) + Le16(type) + Le32(count) + (type == 3 && count == 1 ? Le16(value) + Le16(0) : Le32(value));
  };
  Bytes b = Bytes("II*\0", 4) + Le32(8) + Le16(entries);
  b += entry(256, 4, 1, w) + entry(257, 4, 1, h) + entry(258, 3, 3, bitsAt) + entry(259, 3, 1, 1) +
       entry(262, 3, 1, 2) + entry(273, 4, 1, dataAt) + entry(274, 3, 1, tag) + entry(277, 3, 1, 3) +
       entry(278, 4, 1, h) + entry(279, 4, 1, w * h * 3);
  b += Le32(0) + Le16(8) + Le16(8) + Le16(8);
  for (const std::uint32_t p : pixels) {
    b += static_cast<char>((p >> 16) & 0xFF);
    b += static_cast<char>((p >> 8) & 0xFF);
    b += static_cast<char>(p & 0xFF);
  }
  return b;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 40) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

std::uint32_t KeptAt(const DecodedPicture& p, int x, int y) {
  return p.kept.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.kept.width()) +
                         static_cast<std::size_t>(x)] &
         0xFFFFFFu;
}

// The four quadrants of a decoded picture kept at width × height show the
// upright picture's colours.
::testing::AssertionResult ShowsUpright(const DecodedPicture& p) {
  if (p.result != PictureLoad::kLoaded) return ::testing::AssertionFailure() << "not loaded";
  if (p.own != kUpright) {
    return ::testing::AssertionFailure() << "own size " << p.own.width << "x" << p.own.height;
  }
  const int w = p.kept.width();
  const int h = p.kept.height();
  const struct {
    int x, y;
    std::uint32_t colour;
  } spots[] = {{w / 4, h / 4, 0xFF0000u}, {3 * w / 4, h / 4, 0x00FF00u}, {w / 4, 3 * h / 4, 0x0000FFu},
               {3 * w / 4, 3 * h / 4, 0xFFFFFFu}};
  for (const auto& s : spots) {
    if (!Near(KeptAt(p, s.x, s.y), s.colour)) {
      return ::testing::AssertionFailure() << "at " << s.x << "," << s.y << " " << std::hex << KeptAt(p, s.x, s.y)
                                           << " where " << s.colour;
    }
  }
  return ::testing::AssertionSuccess();
}

class PictureKinds : public ::testing::Test {
 protected:
  DecodedPicture Decode(const char* name, const Bytes& bytes, const PictureUse& use = {},
                        PixelSize screen = {1024, 768}) {
    WriteBytes(dir / name, bytes);
    return DecodePictureFile(dir / name, screen, use);
  }
  TempFolder dir;
  ComScope com;
};

// Fault: a phone photo drawn on its side or mirrored: any of the eight tags
// ignored or applied the wrong way, in either byte order; Wine's JPEG
// decoder gives no Exif metadata, so the header's tag must be used.
TEST_F(PictureKinds, JpegOrientationsStandUpright) {
  for (std::uint32_t tag = 1; tag <= 8; ++tag) {
    PixelSize stored;
    const std::vector<std::uint32_t> pixels = StoredPixels(OrientationFromTag(tag), stored);
    const Bytes jpeg = Encoded(GUID_ContainerFormatJpeg, stored.width, stored.height, pixels);
    EXPECT_TRUE(ShowsUpright(Decode("photo.jpg", JpegWithOrientation(jpeg, tag)))) << "tag " << tag;
    EXPECT_TRUE(ShowsUpright(Decode("photo-mm.jpg", JpegWithOrientation(jpeg, tag, false)))) << "MM tag " << tag;
  }
}

// Fault: a tag value outside 1..8 turning or refusing the picture.
TEST_F(PictureKinds, GarbageOrientationIsUpright) {
  PixelSize stored;
  const Bytes jpeg = Encoded(GUID_ContainerFormatJpeg, kUpright.width, kUpright.height,
                             StoredPixels(Orientation::kUpright, stored));
  for (const std::uint32_t tag : {0u, 9u, 0xFFFFu}) {
    EXPECT_TRUE(ShowsUpright(Decode("odd.jpg", JpegWithOrientation(jpeg, tag)))) << "tag " << tag;
  }
}

// Fault: a TIFF's orientation (read through WIC's metadata reader) ignored.
TEST_F(PictureKinds, TiffOrientationsStandUpright) {
  for (std::uint32_t tag = 1; tag <= 8; ++tag) {
    PixelSize stored;
    const std::vector<std::uint32_t> pixels = StoredPixels(OrientationFromTag(tag), stored);
    EXPECT_TRUE(ShowsUpright(Decode("scan.tif", TiffWithOrientation(stored, pixels, tag)))) << "tag " << tag;
  }
}

// Faults: a turned picture at its own size showing the wrong corner (the
// stored region not turned with it), and a large turned photo scaled while
// decoding kept at the stored aspect or with the wrong rows.
TEST_F(PictureKinds, TurnedPicturesAtOwnSizeAndScaled) {
  PixelSize stored;
  const std::vector<std::uint32_t> pixels = StoredPixels(Orientation::kQuarterRight, stored);
  const Bytes jpeg = JpegWithOrientation(Encoded(GUID_ContainerFormatJpeg, stored.width, stored.height, pixels), 6);
  // The top-right 20 × 10 pixels (and one spare) of the upright picture: green.
  const DecodedPicture corner = Decode("corner.jpg", jpeg, PictureUse{true, 1, -1}, {18, 8});
  ASSERT_EQ(corner.result, PictureLoad::kLoaded);
  EXPECT_EQ(corner.own, kUpright);
  EXPECT_EQ(corner.region, (PixelRect{kUpright.width - 20, 0, kUpright.width, 10}));
  EXPECT_EQ(corner.kept.width(), 20);
  EXPECT_EQ(corner.kept.height(), 10);
  EXPECT_TRUE(Near(KeptAt(corner, 19, 0), 0x00FF00u));
  EXPECT_TRUE(Near(KeptAt(corner, 0, 9), 0x00FF00u));
  // The bottom-left part: blue.
  const DecodedPicture low = Decode("low.jpg", jpeg, PictureUse{true, -1, 1}, {18, 8});
  EXPECT_TRUE(Near(KeptAt(low, 0, 9), 0x0000FFu));
  EXPECT_TRUE(Near(KeptAt(low, 19, 0), 0x0000FFu));

  // A 12-megapixel-like photo stored on its side, for a small screen.
  const int bw = 1600;
  const int bh = 1200;
  std::vector<std::uint32_t> big(static_cast<std::size_t>(bw * bh));
  for (int y = 0; y < bh; ++y) {
    for (int x = 0; x < bw; ++x) {
      // Upright (bh wide, bw tall) quadrants, through tag 8 (turned anticlockwise).
      const int ux = y;
      const int uy = bw - 1 - x;
      big[static_cast<std::size_t>(y * bw + x)] = UprightPixel(ux * kUpright.width / bh, uy * kUpright.height / bw);
    }
  }
  const Bytes photo = JpegWithOrientation(Encoded(GUID_ContainerFormatJpeg, bw, bh, big), 8);
  for (const bool fills : {false, true}) {
    const DecodedPicture p = Decode("big.jpg", photo, PictureUse{false, 0, 0, fills}, {320, 200});
    ASSERT_EQ(p.result, PictureLoad::kLoaded);
    EXPECT_EQ(p.own, (PixelSize{bh, bw})) << "the upright size decides fit and fill";
    EXPECT_LT(p.kept.width(), p.kept.height());
    EXPECT_LT(p.kept.width(), bh) << "kept smaller than the photo";
    EXPECT_EQ(p.keptTop, 0);
    EXPECT_EQ(p.keptHeight, p.kept.height());
    const int w = p.kept.width();
    const int h = p.kept.height();
    EXPECT_TRUE(Near(KeptAt(p, w / 4, h / 4), 0xFF0000u)) << fills;
    EXPECT_TRUE(Near(KeptAt(p, 3 * w / 4, h / 4), 0x00FF00u)) << fills;
    EXPECT_TRUE(Near(KeptAt(p, w / 4, 3 * h / 4), 0x0000FFu)) << fills;
  }
}

// A see-through PNG 4 × 1: clear, 71 % white, opaque black, half red.
Bytes SeeThroughPng() {
  return Encoded(GUID_ContainerFormatPng, 4, 1, {0x00000000u, 0xB5FFFFFFu, 0xFF000000u, 0x80FF0000u}, true);
}

// 2 × 2, four colours, the second (green) transparent: red, clear over blue, white.
Bytes TransparentGif() {
  Bytes b = "GIF89a" + Le16(2) + Le16(2) + Bytes{'\xF1', 0, 0};
  b += Bytes{'\xFF', 0, 0, 0, '\xFF', 0, 0, 0, '\xFF', '\xFF', '\xFF', '\xFF'};
  b += Bytes{'\x21', '\xF9', 4, 1, 0, 0, 1, 0};                       // transparent index 1
  b += Bytes{'\x2C', 0, 0, 0, 0, 2, 0, 2, 0, 0};                      // the image, no local table
  b += Bytes{2, 3, '\x44', '\x34', '\x05', 0};                         // clear, 0, 1, 2, 3, end
  return b + "\x3B";
}

// A 32-bit BMP, 2 × 1 (red, then black), with the fourth bytes 0x80 and 0
// (or both 0): alpha under a V5 header with an alpha mask, padding in a
// plain one.
Bytes Bmp32(bool alphaMask, bool zeroAlpha = false) {
  const std::uint32_t info = alphaMask ? 124 : 40;
  Bytes b = "BM" + Le32(14 + info + 8) + Le32(0) + Le32(14 + info) + Le32(info) + Le32(2) + Le32(1) + Le16(1) +
            Le16(32) + Le32(alphaMask ? 3 : 0) + Le32(8) + Le32(2835) + Le32(2835) + Le32(0) + Le32(0);
  if (alphaMask) {
    b += Le32(0x00FF0000) + Le32(0x0000FF00) + Le32(0x000000FF) + Le32(0xFF000000) + Le32(0x73524742);  // "sRGB"
    b += Bytes(124 - 60, '\0');
  }
  return b + Bytes{0, 0, '\xFF', zeroAlpha ? '\0' : '\x80', 0, 0, 0, 0};
}

// Faults: clear parts drawn black (alpha dropped), 71 % white drawn as full
// white, a ground other than the page's, a GIF's transparent colour shown,
// and a plain 32-bit BMP's padding, or an alpha mask over alpha that is all
// 0, taken for alpha (the picture vanishing).
TEST_F(PictureKinds, SeeThroughPicturesOverEachGround) {
  for (const Rgb ground : {Rgb{255, 255, 255}, Rgb{0, 0, 0}}) {
    const std::uint32_t g = ground.r == 255 ? 0xFFFFFFu : 0x000000u;
    PictureUse use;
    use.ground = ground;
    const DecodedPicture png = Decode("logo.png", SeeThroughPng(), use);
    ASSERT_EQ(png.result, PictureLoad::kLoaded);
    EXPECT_TRUE(Near(KeptAt(png, 0, 0), g, 2)) << std::hex << KeptAt(png, 0, 0);
    EXPECT_TRUE(Near(KeptAt(png, 1, 0), g == 0 ? 0xB5B5B5u : 0xFFFFFFu, 2)) << std::hex << KeptAt(png, 1, 0);
    EXPECT_EQ(KeptAt(png, 2, 0), 0x000000u);
    EXPECT_TRUE(Near(KeptAt(png, 3, 0), g == 0 ? 0x800000u : 0xFF7F7Fu, 2)) << std::hex << KeptAt(png, 3, 0);

    const DecodedPicture gif = Decode("clear.gif", TransparentGif(), use);
    ASSERT_EQ(gif.result, PictureLoad::kLoaded);
    EXPECT_EQ(KeptAt(gif, 0, 0), 0xFF0000u);
    EXPECT_EQ(KeptAt(gif, 1, 0), g) << "the transparent colour is the ground";
    EXPECT_EQ(KeptAt(gif, 0, 1), 0x0000FFu);
    EXPECT_EQ(KeptAt(gif, 1, 1), 0xFFFFFFu);

    const DecodedPicture alpha = Decode("alpha.bmp", Bmp32(true), use);
    ASSERT_EQ(alpha.result, PictureLoad::kLoaded);
    EXPECT_TRUE(Near(KeptAt(alpha, 0, 0), g == 0 ? 0x800000u : 0xFF7F7Fu, 2)) << std::hex << KeptAt(alpha, 0, 0);
    EXPECT_EQ(KeptAt(alpha, 1, 0), g);

    const DecodedPicture plain = Decode("plain32.bmp", Bmp32(false), use);
    ASSERT_EQ(plain.result, PictureLoad::kLoaded);
    EXPECT_EQ(KeptAt(plain, 0, 0), 0xFF0000u) << "padding is not alpha";
    EXPECT_EQ(KeptAt(plain, 1, 0), 0x000000u);

    const DecodedPicture unset = Decode("unset.bmp", Bmp32(true, true), use);
    ASSERT_EQ(unset.result, PictureLoad::kLoaded);
    EXPECT_EQ(KeptAt(unset, 0, 0), 0xFF0000u) << "an alpha mask over alpha all 0: opaque, not vanished";
    EXPECT_EQ(KeptAt(unset, 1, 0), 0x000000u);
  }
}

// Fault: a large see-through picture shrunk before it is blended (clear
// parts averaged as black), on the shrinking path the saver takes.
TEST_F(PictureKinds, LargeSeeThroughPictureShrunkOverTheGround) {
  const int w = 1200;
  const int h = 900;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h), 0x00000000u);  // clear black
  for (int y = 0; y < h; ++y) {
    for (int x = w / 2; x < w; ++x) pixels[static_cast<std::size_t>(y * w + x)] = 0xFF0000FFu;  // opaque blue
  }
  PictureUse use;
  use.ground = Rgb{255, 255, 255};
  const DecodedPicture p = Decode("wide.png", Encoded(GUID_ContainerFormatPng, w, h, pixels, true), use, {300, 200});
  ASSERT_EQ(p.result, PictureLoad::kLoaded);
  EXPECT_LT(p.kept.width(), w);
  EXPECT_EQ(KeptAt(p, p.kept.width() / 4, p.kept.height() / 2), 0xFFFFFFu);
  EXPECT_EQ(KeptAt(p, 3 * p.kept.width() / 4, p.kept.height() / 2), 0x0000FFu);
}

// Faults: a truncated PNG or one claiming absurd sides crashing the decoder
// or making it allocate what the header says.
TEST_F(PictureKinds, HostilePngsAreRefused) {
  const Bytes png = SeeThroughPng();
  EXPECT_NE(Decode("cut.png", png.substr(0, png.size() / 2)).result, PictureLoad::kLoaded);
  EXPECT_EQ(Decode("cut-ihdr.png", png.substr(0, 20)).result, PictureLoad::kNotAPicture);
  Bytes huge = png;
  huge.replace(16, 8, Bytes{'\x7F', '\xFF', '\xFF', '\xFF', '\x7F', '\xFF', '\xFF', '\xFF'});
  EXPECT_EQ(Decode("huge.png", huge).result, PictureLoad::kRefusedSize);
  Bytes zero = png;
  zero.replace(16, 4, Bytes(4, '\0'));
  EXPECT_EQ(Decode("zero.png", zero).result, PictureLoad::kNotAPicture);
  EXPECT_NE(Decode("garbage.png", Bytes("\x89PNG\r\n\x1A\n", 8) + Bytes(5000, '\x5A')).result, PictureLoad::kLoaded);
  // A sound one after all that.
  EXPECT_EQ(Decode("good.png", png).result, PictureLoad::kLoaded);
}

// Faults: PNG (the folder never shown), TIFF or another installed
// decoder's files left out of a picture folder; other files listed.
TEST_F(PictureKinds, FoldersListEveryDecodedFormat) {
  const std::vector<std::wstring>& more = SystemPictureExtensions();
  for (const wchar_t* base : {L"bmp", L"jpg", L"gif", L"png", L"tif"}) {
    EXPECT_EQ(std::find(more.begin(), more.end(), base), more.end()) << "the base ones are not repeated";
  }
  // Wine's and Windows' BMP decoder both claim ".dib".
  EXPECT_NE(std::find(more.begin(), more.end(), L"dib"), more.end());
  for (const char* name : {"a.png", "b.PNG", "c.tif", "d.tiff", "e.jpg", "f.dib", "g.txt", "h.png.txt"}) {
    WriteBytes(dir / name, "x");
  }
  std::filesystem::create_directory(dir / "folder.png");
  EXPECT_EQ(ListPictureFiles(dir.path().wstring()),
            (std::vector<std::wstring>{L"a.png", L"b.PNG", L"c.tif", L"d.tiff", L"e.jpg", L"f.dib"}));
}

}  // namespace
}  // namespace zor::win
