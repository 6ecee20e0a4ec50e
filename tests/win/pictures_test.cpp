// Pictures through WIC: every format of the file pattern decoded, broken and
// hostile files refused without harm, placements checked on real pixels, and
// the folder lists' order and refreshing.
#include "win/screen/folder_lists.h"
#include "win/screen/held_picture.h"
#include "win/screen/picture_decoder.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <fstream>
#include <tuple>

#include "../core/temp_folder.h"
#include "bmp_file.h"
#include "core/screen/background.h"
#include "win/screen/gdi_surface.h"
#include "win/screen/image_file.h"
#include "win/screen/wic_transform.h"

namespace zor::win {
namespace {

using zor::testing::TempFolder;
using zor::testing::WriteBytes;
using zor::win::testing::Le16;
using zor::win::testing::Le32;
using Bytes = std::string;


// A BMP with a palette of black, red, green, blue and the given pixel data.
Bytes PaletteBmp(int width, int height, int bits, std::uint32_t compression, const Bytes& data) {
  const Bytes palette = Le32(0x000000) + Le32(0xFF0000) + Le32(0x00FF00) + Le32(0x0000FF);
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size());
  return "BM" + Le32(offset + static_cast<std::uint32_t>(data.size())) + Le32(0) + Le32(offset) + Le32(40) +
         Le32(static_cast<std::uint32_t>(width)) + Le32(static_cast<std::uint32_t>(height)) + Le16(1) +
         Le16(static_cast<unsigned>(bits)) + Le32(compression) + Le32(static_cast<std::uint32_t>(data.size())) +
         Le32(2835) + Le32(2835) + Le32(4) + Le32(0) + palette + data;
}

// 4 × 2: the top row green, the bottom row red (rows are stored bottom first).
Bytes Rle8() { return PaletteBmp(4, 2, 8, 1, Bytes{4, 1, 0, 0, 4, 2, 0, 1}); }
// 4 × 2: the top row blue, the bottom row alternating red and green.
Bytes Rle4() { return PaletteBmp(4, 2, 4, 2, Bytes{4, 0x12, 0, 0, 4, 0x33, 0, 1}); }

// Encodes 32-bit pixels with a WIC encoder (JPEG, GIF or BMP).
void Encode(const std::filesystem::path& file, const GUID& container, int w, int h,
            const std::function<std::uint32_t(int, int)>& pixel) {
  ComScope com;
  IWICImagingFactory* factory = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))));
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels[static_cast<std::size_t>(y * w + x)] = pixel(x, y);
  }
  IWICBitmap* bitmap = nullptr;
  ASSERT_TRUE(SUCCEEDED(factory->CreateBitmapFromMemory(
      static_cast<UINT>(w), static_cast<UINT>(h), GUID_WICPixelFormat32bppBGR, static_cast<UINT>(w * 4),
      static_cast<UINT>(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()), &bitmap)));
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  ASSERT_TRUE(SUCCEEDED(factory->CreateStream(&stream)));
  ASSERT_TRUE(SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)));
  ASSERT_TRUE(SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)));
  ASSERT_TRUE(SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)));
  ASSERT_TRUE(SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)));
  ASSERT_TRUE(SUCCEEDED(frame->Initialize(nullptr)));
  ASSERT_TRUE(SUCCEEDED(frame->WriteSource(bitmap, nullptr)));
  ASSERT_TRUE(SUCCEEDED(frame->Commit()));
  ASSERT_TRUE(SUCCEEDED(encoder->Commit()));
  frame->Release();
  encoder->Release();
  stream->Release();
  bitmap->Release();
  factory->Release();
}

// Left half red, right half blue.
std::uint32_t Halves(int x, int, int w) { return x < w / 2 ? 0xFF0000u : 0x0000FFu; }

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 40) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

class Pictures : public ::testing::Test {
 protected:
  // The held picture painted at its own size on a fresh page; pixel at (x, y).
  std::uint32_t Painted(HeldPicture& picture, int x, int y) {
    DibImage canvas;
    EXPECT_TRUE(canvas.Create(64, 64));
    const PixelSize own = picture.OwnSize();
    const auto w = static_cast<float>(own.width);
    const auto h = static_cast<float>(own.height);
    picture.Paint(canvas.dc(), 64, 64, {0, 0, w, h}, {0, 0, w, h});
    GdiFlush();
    return canvas.pixels()[y * 64 + x] & 0xFFFFFF;
  }

  TempFolder dir;
  ComScope com;
};

TEST_F(Pictures, EveryFormatOfThePattern) {
  WriteBytes(dir / "rle8.bmp", Rle8());
  WriteBytes(dir / "rle4.rle", Rle4());
  Encode(dir / "plain.bmp", GUID_ContainerFormatBmp, 40, 30, [](int x, int y) { return Halves(x, y, 40); });
  Encode(dir / "photo.jpg", GUID_ContainerFormatJpeg, 40, 30, [](int x, int y) { return Halves(x, y, 40); });
  Encode(dir / "anim.gif", GUID_ContainerFormatGif, 40, 30, [](int x, int y) { return Halves(x, y, 40); });

  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "rle8.bmp", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(p.OwnSize(), (PixelSize{4, 2}));
  EXPECT_EQ(Painted(p, 0, 0), 0x00FF00u);
  EXPECT_EQ(Painted(p, 3, 1), 0xFF0000u);

  ASSERT_EQ(p.Load(dir / "rle4.rle", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(Painted(p, 2, 0), 0x0000FFu);
  EXPECT_EQ(Painted(p, 0, 1), 0xFF0000u);
  EXPECT_EQ(Painted(p, 1, 1), 0x00FF00u);

  for (const char* name : {"plain.bmp", "photo.jpg", "anim.gif"}) {
    ASSERT_EQ(p.Load(dir / name, {1024, 768}), PictureLoad::kLoaded) << name;
    EXPECT_EQ(p.OwnSize(), (PixelSize{40, 30})) << name;
    EXPECT_TRUE(Near(Painted(p, 5, 15), 0xFF0000u)) << name;
    EXPECT_TRUE(Near(Painted(p, 35, 15), 0x0000FFu)) << name;
  }
}

TEST_F(Pictures, BrokenAndHostileFilesLeaveTheHeldPicture) {
  Encode(dir / "good.jpg", GUID_ContainerFormatJpeg, 64, 48, [](int x, int y) { return Halves(x, y, 64); });
  Encode(dir / "big.jpg", GUID_ContainerFormatJpeg, 256, 256, [](int x, int y) { return (x ^ y) * 0x010101u; });
  std::ifstream in(dir / "big.jpg", std::ios::binary);
  const Bytes jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WriteBytes(dir / "truncated.jpg", jpeg.substr(0, jpeg.size() / 2));
  WriteBytes(dir / "header-only.jpg", jpeg.substr(0, 200));
  WriteBytes(dir / "empty.bmp", "");
  WriteBytes(dir / "text.jpg", "this is a letter, not a picture\r\n");
  WriteBytes(dir / "garbage.gif", Bytes(5000, '\xA5'));
  // A BMP header claiming 65535 × 65535 pixels over a few bytes of data.
  WriteBytes(dir / "huge.bmp", PaletteBmp(65535, 65535, 8, 1, Bytes{0, 1}));
  // The same in a JPEG frame header: 0xFFC0 with height and width 0xFFFF.
  Bytes hostile = jpeg;
  const std::size_t sof = hostile.find("\xFF\xC0");
  ASSERT_NE(sof, Bytes::npos);
  hostile.replace(sof + 5, 4, "\xFF\xFF\xFF\xFF");
  WriteBytes(dir / "huge.jpg", hostile);
  WriteBytes(dir / "rle8-cut.bmp", Rle8().substr(0, Rle8().size() - 5));

  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "good.jpg", {1024, 768}), PictureLoad::kLoaded);
  for (const char* name : {"truncated.jpg", "header-only.jpg", "empty.bmp", "text.jpg", "garbage.gif", "missing.jpg",
                           "huge.bmp", "huge.jpg"}) {
    EXPECT_NE(p.Load(dir / name, {1024, 768}), PictureLoad::kLoaded) << name;
    EXPECT_EQ(p.OwnSize(), (PixelSize{64, 48})) << name << ": the held picture stays";
  }
  EXPECT_EQ(p.Load(dir / "huge.bmp", {1024, 768}), PictureLoad::kRefusedSize);
  EXPECT_EQ(p.Load(dir / "huge.jpg", {1024, 768}), PictureLoad::kRefusedSize);
  // A short RLE stream: decoded or refused, never a crash.
  (void)p.Load(dir / "rle8-cut.bmp", {1024, 768});
  EXPECT_TRUE(Near(Painted(p, 5, 20), 0xFF0000u) || p.OwnSize() == (PixelSize{4, 2}));
}

TEST_F(Pictures, LargePicturesAreKeptAtTheSizeThatCoversTheScreen) {
  Encode(dir / "large.bmp", GUID_ContainerFormatBmp, 1200, 900, [](int x, int y) { return Halves(x, y, 1200); });
  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "large.bmp", {200, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(p.OwnSize(), (PixelSize{1200, 900}));
  EXPECT_EQ(p.KeptSize(), (PixelSize{200, 150}));
  // Painted whole onto 100 × 75 pixels: red left, blue right, a blend only at the seam.
  DibImage canvas;
  ASSERT_TRUE(canvas.Create(100, 75));
  p.Paint(canvas.dc(), 100, 75, {0, 0, 1200, 900}, {0, 0, 100, 75});
  GdiFlush();
  EXPECT_EQ(canvas.pixels()[40 * 100 + 10] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(canvas.pixels()[40 * 100 + 90] & 0xFFFFFF, 0x0000FFu);

  // A part of the held pixels made smaller: taken from where the part is.
  Encode(dir / "halves.bmp", GUID_ContainerFormatBmp, 200, 100, [](int x, int y) { return Halves(x, y, 200); });
  ASSERT_EQ(p.Load(dir / "halves.bmp", {1024, 768}), PictureLoad::kLoaded);
  for (const auto& [from, seam] : {std::pair{100.0f, -1}, {50.0f, 25}}) {
    DibImage part;
    ASSERT_TRUE(part.Create(50, 50));
    p.Paint(part.dc(), 50, 50, {from, 0, 100, 100}, {0, 0, 50, 50});
    GdiFlush();
    for (int x = 0; x < 50; ++x) {
      if (x == seam) continue;
      EXPECT_EQ(part.pixels()[20 * 50 + x] & 0xFFFFFF, x < seam ? 0xFF0000u : 0x0000FFu) << from << " " << x;
    }
  }
}

// A decoded frame of a large photo, made up on request: red rises to the
// right, green downwards. It can offer to scale while decoding, to the
// sizes a JPEG decoder offers (1/2, 1/4, 1/8), and records what was read.
class FakeFrame final : public IWICBitmapSource, public IWICBitmapSourceTransform {
 public:
  FakeFrame(UINT w, UINT h, bool scales, const WICPixelFormatGUID& format = GUID_WICPixelFormat24bppBGR)
      : w_(w), h_(h), scales_(scales), format_(format) {}

  // What GetClosestSize gives for a wish: the JPEG rule, or one pixel less.
  bool roundsDown = false;
  UINT fullRows = 0;  // rows read at the file's own size
  UINT scaledRows = 0;
  PixelSize scaledTo;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapSource)) {
      *out = static_cast<IWICBitmapSource*>(this);
    } else if (scales_ && IsEqualIID(iid, kIidWicBitmapSourceTransform)) {
      *out = static_cast<IWICBitmapSourceTransform*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override {
    *w = w_;
    *h = h_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
    *format = format_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
    *x = *y = 96.0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rc, UINT stride, UINT size, BYTE* buffer) override {
    fullRows += static_cast<UINT>(rc->Height);
    return Fill(*rc, w_, h_, format_, stride, size, buffer);
  }

  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rc, UINT w, UINT h, WICPixelFormatGUID* format,
                                       WICBitmapTransformOptions transform, UINT stride, UINT size,
                                       BYTE* buffer) override {
    UINT cw = w;
    UINT ch = h;
    GetClosestSize(&cw, &ch);
    if (cw != w || ch != h || transform != WICBitmapTransformRotate0) return E_INVALIDARG;
    scaledRows += static_cast<UINT>(rc->Height);
    scaledTo = {static_cast<int>(w), static_cast<int>(h)};
    return Fill(*rc, w, h, *format, stride, size, buffer);
  }
  HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* w, UINT* h) override {
    UINT d = 8;
    while (d > 1 && ((w_ + d - 1) / d < *w || (h_ + d - 1) / d < *h)) d /= 2;
    *w = (w_ + d - 1) / d - (roundsDown && d > 1 ? 1 : 0);
    *h = (h_ + d - 1) / d - (roundsDown && d > 1 ? 1 : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) override {
    *format = format_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) override {
    *supported = transform == WICBitmapTransformRotate0;
    return S_OK;
  }

  // The colour at (x, y) of the photo seen at w × h.
  static std::uint32_t At(UINT x, UINT y, UINT w, UINT h) {
    return (256 * x / w) << 16 | (256 * y / h) << 8 | 0x40;
  }

 private:
  static HRESULT Fill(const WICRect& rc, UINT w, UINT h, const WICPixelFormatGUID& format, UINT stride, UINT size,
                      BYTE* buffer) {
    const UINT bytes = IsEqualGUID(format, GUID_WICPixelFormat8bppGray) ? 1 : 3;
    if (rc.X != 0 || static_cast<UINT>(rc.Width) != w || rc.Y < 0 || static_cast<UINT>(rc.Y + rc.Height) > h ||
        stride < w * bytes || size < stride * static_cast<UINT>(rc.Height)) {
      return E_INVALIDARG;
    }
    for (INT r = 0; r < rc.Height; ++r) {
      BYTE* row = buffer + static_cast<std::size_t>(r) * stride;
      for (UINT x = 0; x < w; ++x) {
        const std::uint32_t v = At(x, static_cast<UINT>(rc.Y + r), w, h);
        if (bytes == 1) {
          row[x] = static_cast<BYTE>(v >> 16);
        } else {
          row[x * 3] = static_cast<BYTE>(v);
          row[x * 3 + 1] = static_cast<BYTE>(v >> 8);
          row[x * 3 + 2] = static_cast<BYTE>(v >> 16);
        }
      }
    }
    return S_OK;
  }

  UINT w_;
  UINT h_;
  bool scales_;
  WICPixelFormatGUID format_;
};

// Kept pixels, read back through a plain paint at the kept size.
std::uint32_t KeptPixel(HeldPicture& p, int x, int y) {
  const PixelSize kept = p.KeptSize();
  const PixelSize own = p.OwnSize();
  DibImage canvas;
  EXPECT_TRUE(canvas.Create(kept.width, kept.height));
  p.Paint(canvas.dc(), kept.width, kept.height,
          {0, 0, static_cast<float>(own.width), static_cast<float>(own.height)},
          {0, 0, static_cast<float>(kept.width), static_cast<float>(kept.height)});
  GdiFlush();
  return canvas.pixels()[static_cast<std::size_t>(y) * kept.width + x] & 0xFFFFFF;
}

TEST_F(Pictures, DecoderScalingIsUsedDownToTheSizeThatCoversTheScreen) {
  HeldPicture p;
  FakeFrame photo(6000, 4000, true);
  ASSERT_EQ(p.LoadFrame(nullptr, &photo, {1920, 1080}), PictureLoad::kLoaded);
  EXPECT_EQ(photo.scaledTo, (PixelSize{3000, 2000})) << "a quarter would not cover 1920 pixels";
  EXPECT_EQ(photo.scaledRows, 2000u);
  EXPECT_EQ(photo.fullRows, 0u) << "never decoded at its own size";
  EXPECT_EQ(p.OwnSize(), (PixelSize{6000, 4000}));
  ASSERT_EQ(p.KeptSize(), (PixelSize{1920, 1280}));
  for (const auto& [x, y] : {std::pair{0, 0}, {960, 640}, {1919, 1279}, {100, 1200}}) {
    EXPECT_TRUE(Near(KeptPixel(p, x, y), FakeFrame::At(static_cast<UINT>(x), static_cast<UINT>(y), 1920, 1280), 2))
        << x << "," << y;
  }

  FakeFrame small(6000, 4000, true);
  ASSERT_EQ(p.LoadFrame(nullptr, &small, {640, 480}), PictureLoad::kLoaded);
  EXPECT_EQ(small.scaledTo, (PixelSize{750, 500}));
  EXPECT_EQ(p.KeptSize(), (PixelSize{720, 480}));

  // A picture no larger than the screen is read at its own size.
  FakeFrame fits(800, 600, true);
  ASSERT_EQ(p.LoadFrame(nullptr, &fits, {1920, 1080}), PictureLoad::kLoaded);
  EXPECT_EQ(fits.scaledRows, 0u);
  EXPECT_EQ(fits.fullRows, 600u);
  EXPECT_EQ(KeptPixel(p, 400, 300), FakeFrame::At(400, 300, 800, 600));
}

TEST_F(Pictures, ScaledSizesThatWouldNotCoverAreNotUsed) {
  // The decoder offers a pixel less than asked: 2999 × 1999 still covers
  // 1920 × 1280, 1499 does not, and the answer for an eighth never does.
  HeldPicture p;
  FakeFrame photo(6000, 4000, true);
  photo.roundsDown = true;
  ASSERT_EQ(p.LoadFrame(nullptr, &photo, {1920, 1080}), PictureLoad::kLoaded);
  EXPECT_EQ(photo.scaledTo, (PixelSize{2999, 1999}));
  EXPECT_EQ(photo.fullRows, 0u);

  FakeFrame tight(6000, 4000, true);
  tight.roundsDown = true;
  ASSERT_EQ(p.LoadFrame(nullptr, &tight, {2999, 2000}), PictureLoad::kLoaded);
  EXPECT_EQ(tight.scaledRows, 0u) << "no offered size covers 3000 × 2000";
  EXPECT_EQ(tight.fullRows, 4000u);
  EXPECT_EQ(p.KeptSize(), (PixelSize{3000, 2000}));
}

TEST_F(Pictures, GreyAndColourRowsAreReadWithoutAConverter) {
  HeldPicture p;
  FakeFrame grey(300, 200, false, GUID_WICPixelFormat8bppGray);
  ASSERT_EQ(p.LoadFrame(nullptr, &grey, {150, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(grey.fullRows, 200u);
  const std::uint32_t v = KeptPixel(p, 75, 10) >> 16;
  EXPECT_NEAR(static_cast<int>(v), 128, 2);
  EXPECT_EQ(KeptPixel(p, 75, 10), v * 0x010101u) << "grey in every channel";

  // A format the rows cannot be read in needs the converter (none given here).
  FakeFrame indexed(30, 20, false, GUID_WICPixelFormat8bppIndexed);
  EXPECT_EQ(p.LoadFrame(nullptr, &indexed, {150, 100}), PictureLoad::kNotAPicture);
  EXPECT_EQ(p.OwnSize(), (PixelSize{300, 200})) << "the held picture stays";
}

TEST_F(Pictures, TheSameUnchangedFileIsNotDecodedAgain) {
  Encode(dir / "a.bmp", GUID_ContainerFormatBmp, 40, 30, [](int x, int y) { return Halves(x, y, 40); });
  Encode(dir / "b.bmp", GUID_ContainerFormatBmp, 40, 30, [](int, int) { return 0x00FF00u; });
  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "a.bmp", {1024, 768}), PictureLoad::kLoaded);
  ASSERT_EQ(p.Load(dir / "a.bmp", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 1);
  ASSERT_EQ(p.Load(dir / "a.bmp", {200, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 2) << "another screen size";
  ASSERT_EQ(p.Load(dir / "b.bmp", {200, 100}), PictureLoad::kLoaded);
  ASSERT_EQ(p.Load(dir / "a.bmp", {200, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 3) << "held just before: held again, not decoded";
  EXPECT_EQ(Painted(p, 2, 2), Halves(2, 2, 40));
  ASSERT_EQ(p.Load(dir / "b.bmp", {200, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 3);
  EXPECT_EQ(Painted(p, 2, 2), 0x00FF00u);
  ASSERT_EQ(p.Load(dir / "a.bmp", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 3) << "the first screen size, still kept";

  // The file replaced under the same name: decoded again, new pixels.
  ASSERT_TRUE(CopyFileW((dir / "b.bmp").c_str(), (dir / "a.bmp").c_str(), FALSE));
  HANDLE h = CreateFileW((dir / "a.bmp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{};
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  t.QuadPart += 10'000'000ull * 60;
  const FILETIME later{t.LowPart, t.HighPart};
  SetFileTime(h, nullptr, nullptr, &later);
  CloseHandle(h);
  ASSERT_EQ(p.Load(dir / "a.bmp", {200, 100}), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 4);
  EXPECT_EQ(Painted(p, 2, 2), 0x00FF00u);
  // Gone: nothing is loaded, the held picture stays.
  std::filesystem::remove(dir / "a.bmp");
  EXPECT_EQ(p.Load(dir / "a.bmp", {200, 100}), PictureLoad::kUnreadable);
}

// Pictures held before are kept only while they fit a budget of a few
// screens: large ones drop out, the oldest first.
TEST_F(Pictures, PicturesHeldBeforeAreKeptWithinTheirBudget) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    const std::uint32_t colour = name[0] == 'a' ? 0xFF0000u : name[0] == 'b' ? 0x00FF00u : 0x0000FFu;
    Encode(dir / name, GUID_ContainerFormatBmp, 2400, 1800, [colour](int, int) { return colour; });
  }
  const PixelSize screen{2400, 1800};  // each held at its own size: 17 MB
  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "a.bmp", screen), PictureLoad::kLoaded);
  ASSERT_EQ(p.Load(dir / "b.bmp", screen), PictureLoad::kLoaded);
  ASSERT_EQ(p.Load(dir / "a.bmp", screen), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 2) << "one earlier picture fits";
  EXPECT_EQ(Painted(p, 5, 5), 0xFF0000u);
  ASSERT_EQ(p.Load(dir / "c.bmp", screen), PictureLoad::kLoaded);
  ASSERT_EQ(p.Load(dir / "b.bmp", screen), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 4) << "two do not: the older went";
  EXPECT_EQ(Painted(p, 5, 5), 0x00FF00u);
  ASSERT_EQ(p.Load(dir / "c.bmp", screen), PictureLoad::kLoaded);
  EXPECT_EQ(p.Decodes(), 4);
  EXPECT_EQ(Painted(p, 5, 5), 0x0000FFu);
}

TEST_F(Pictures, PrefetchedPicturesAreTakenFromTheirDecode) {
  Encode(dir / "a.bmp", GUID_ContainerFormatBmp, 40, 30, [](int, int) { return 0xFF0000u; });
  Encode(dir / "b.jpg", GUID_ContainerFormatJpeg, 40, 30, [](int, int) { return 0x0000FFu; });
  Encode(dir / "c.bmp", GUID_ContainerFormatBmp, 40, 30, [](int, int) { return 0x00FF00u; });
  WriteBytes(dir / "broken.jpg", "not a picture");
  HeldPicture p;
  ASSERT_EQ(p.Load(dir / "a.bmp", {1024, 768}), PictureLoad::kLoaded);

  p.Prefetch(dir / "b.jpg", {1024, 768});
  EXPECT_TRUE(Near(Painted(p, 5, 5), 0xFF0000u)) << "the held picture stays until the load";
  ASSERT_EQ(p.Load(dir / "b.jpg", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_TRUE(Near(Painted(p, 5, 5), 0x0000FFu));
  EXPECT_EQ(p.Decodes(), 2);
  EXPECT_EQ(p.TakenAhead(), 1);

  // Prefetched for another screen, or another file loaded instead: decoded as asked.
  p.Prefetch(dir / "c.bmp", {100, 100});
  ASSERT_EQ(p.Load(dir / "c.bmp", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(Painted(p, 5, 5), 0x00FF00u);
  p.Prefetch(dir / "a.bmp", {1024, 768});
  ASSERT_EQ(p.Load(dir / "b.jpg", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_TRUE(Near(Painted(p, 5, 5), 0x0000FFu));
  EXPECT_EQ(p.TakenAhead(), 1);

  // A broken file decoded ahead fails as it would have, and the held picture stays.
  p.Prefetch(dir / "broken.jpg", {1024, 768});
  EXPECT_NE(p.Load(dir / "broken.jpg", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_TRUE(Near(Painted(p, 5, 5), 0x0000FFu));

  // Replaced between the prefetch and the load: the new content is shown.
  p.Prefetch(dir / "a.bmp", {1024, 768});
  // The decode ahead may still hold the file open: the copy waits for it.
  bool copied = false;
  for (int i = 0; i < 300 && !copied; ++i) {
    copied = CopyFileW((dir / "c.bmp").c_str(), (dir / "a.bmp").c_str(), FALSE) != FALSE;
    if (!copied) Sleep(10);
  }
  ASSERT_TRUE(copied);
  HANDLE h = CreateFileW((dir / "a.bmp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const FILETIME old{0x10000000, 0x01D00000};
  SetFileTime(h, nullptr, nullptr, &old);
  CloseHandle(h);
  ASSERT_EQ(p.Load(dir / "a.bmp", {1024, 768}), PictureLoad::kLoaded);
  EXPECT_EQ(Painted(p, 5, 5), 0x00FF00u);
  EXPECT_EQ(p.TakenAhead(), 2) << "only the broken file's decode was taken since";

  // Dropped while its decode runs: nothing waits for it.
  {
    HeldPicture gone;
    gone.Prefetch(dir / "b.jpg", {1024, 768});
  }
}

// A page of 320 × 240 pixels (240 × 180 points) with the background steps.
class Placement : public Pictures {
 protected:
  class Host final : public SurfaceHost {
   public:
    PointSize CreditLabelSize() const override { return {}; }
    void PlaceCreditLabel(float, float, Rgb) override {}
    void Refresh(std::span<const zor::PixelRect>) override {}
    void ReportMissingFace(std::wstring_view) override {}
  };

  void SetUp() override {
    ASSERT_TRUE(canvas.Create(kW, kH));
    surface = std::make_unique<GdiSurface>(canvas.dc(), kW, kH, 15.0f, 15.0f, host);
    surface->SetBackColour({0, 0, 0});
    surface->Clear();
    // 80 × 60: left half red, right half blue.
    Encode(dir / "pic.bmp", GUID_ContainerFormatBmp, 80, 60, [](int x, int y) { return Halves(x, y, 80); });
    settings.backgroundFromFile = -1;
    settings.backgroundSingleFile = (dir / "pic.bmp").wstring();
  }
  std::uint32_t At(int x, int y) const { return canvas.pixels()[y * kW + x] & 0xFFFFFF; }

  static constexpr int kW = 320;
  static constexpr int kH = 240;
  DibImage canvas;
  Host host;
  std::unique_ptr<GdiSurface> surface;
  PictureSettings settings;
  FolderLists folders;
  SeededRandom random{3};
};

TEST_F(Placement, CentreScalingsOnPixels) {
  settings.frame.backgroundMode = 1;
  for (int s = 0; s < 4; ++s) {
    const auto scaling = static_cast<std::int16_t>(s);
    surface->Clear();
    settings.backgroundStretch = scaling;
    BackgroundPainter painter(*surface, random, folders, settings, false);
    (void)painter.PaintBackground(settings.backgroundSingleFile);
    GdiFlush();
    switch (scaling) {
      case 0:  // own size in the middle: (120, 90) to (200, 150)
        EXPECT_EQ(At(119, 120), 0u);
        EXPECT_EQ(At(121, 120), 0xFF0000u);
        EXPECT_EQ(At(198, 120), 0x0000FFu);
        EXPECT_EQ(At(160, 89), 0u);
        EXPECT_EQ(At(201, 120), 0u);
        break;
      case 1:  // 4:3 on 4:3: the whole page
      case 3:
        EXPECT_EQ(At(1, 1), 0xFF0000u);
        EXPECT_EQ(At(318, 238), 0x0000FFu);
        break;
      case 2:
        EXPECT_EQ(At(0, 0), 0xFF0000u);
        EXPECT_EQ(At(319, 239), 0x0000FFu);
        break;
    }
  }
}

// A picture where every pixel says where it is.
std::uint32_t Coded(int x, int y) {
  return static_cast<std::uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x >> 8) | (y >> 8) << 4));
}

TEST_F(Pictures, NearlyTheHeldSizeIsCopiedNotBlended) {
  // Filled onto a page whose held copy was rounded up a pixel: still a plain
  // copy of the held pixels, not a blend of them.
  HeldPicture p;
  Encode(dir / "odd.bmp", GUID_ContainerFormatBmp, 401, 301, Coded);
  ASSERT_EQ(p.Load(dir / "odd.bmp", {200, 100}), PictureLoad::kLoaded);
  ASSERT_EQ(p.KeptSize(), (PixelSize{200, 151}));
  const PicturePlacement fill = ScaleIntoArea(Scaling::kFill, {401, 301}, {200, 100});
  DibImage page;
  ASSERT_TRUE(page.Create(200, 100));
  p.Paint(page.dc(), 200, 100, fill.source, fill.destination);
  GdiFlush();
  const int offset = static_cast<int>(std::lround(fill.source.y * 151.0f / 301.0f));
  for (const auto& [x, y] : {std::pair{0, 0}, {199, 99}, {57, 43}, {120, 80}}) {
    EXPECT_EQ(page.pixels()[y * 200 + x] & 0xFFFFFF, KeptPixel(p, x, y + offset)) << x << "," << y;
  }
}

TEST_F(Placement, LargePicturesAtTheirOwnSizeArePixelForPixel) {
  // 1001 × 751 on a 320 × 240 page: what is in view comes from the file's own
  // pixels, never from a reduced copy enlarged again.
  Encode(dir / "big.bmp", GUID_ContainerFormatBmp, 1001, 751, Coded);
  settings.backgroundSingleFile = (dir / "big.bmp").wstring();
  settings.backgroundStretch = 0;
  const auto expectWindow = [&](int dx, int dy, const char* what) {
    GdiFlush();
    int wrong = 0;
    for (int y = 0; y < kH; y += 7) {
      for (int x = 0; x < kW; x += 5) wrong += At(x, y) != Coded(x + dx, y + dy) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_EQ(At(kW - 1, kH - 1), Coded(kW - 1 + dx, kH - 1 + dy)) << what;
  };

  settings.frame.backgroundMode = 1;  // centre: the middle, placed at (320 - 1001) / 2 = -340.5, rounded up
  {
    BackgroundPainter painter(*surface, random, folders, settings, false);
    (void)painter.PaintBackground(settings.backgroundSingleFile);
  }
  expectWindow(340, 255, "centre");
  EXPECT_EQ(surface->Picture().OwnSize(), (PixelSize{1001, 751}));
  EXPECT_EQ(surface->Picture().KeptSize(), (PixelSize{kW + 2, kH + 2})) << "a screen's worth is kept";

  // Tiles: the top-left corner (tiles are whole points, so 1000 × 752 pixels
  // make a tile of exactly the picture's size).
  Encode(dir / "tile.bmp", GUID_ContainerFormatBmp, 1000, 752, Coded);
  settings.frame.backgroundMode = 3;
  {
    BackgroundPainter painter(*surface, random, folders, settings, false);
    (void)painter.PaintBackground((dir / "tile.bmp").wstring());
  }
  expectWindow(0, 0, "tile");

  // In the corner beside the text: the picture's own corner there.
  settings.frame.backgroundMode = 2;
  for (const auto& [place, dx, dy] : {std::tuple{TextPlace::kBottomLeft, 1001 - kW, 0},
                                      std::tuple{TextPlace::kTopRight, 0, 751 - kH}}) {
    surface->Clear();
    BackgroundPainter painter(*surface, random, folders, settings, false);
    painter.PaintBackgroundCorner(settings.backgroundSingleFile, place, 40.0f, 30.0f);
    expectWindow(dx, dy, place == TextPlace::kBottomLeft ? "top-right corner" : "bottom-left corner");
  }

  // Scaled, the same file is kept at the size that covers the page.
  settings.frame.backgroundMode = 1;
  settings.backgroundStretch = 1;
  BackgroundPainter painter(*surface, random, folders, settings, false);
  (void)painter.PaintBackground(settings.backgroundSingleFile);
  EXPECT_EQ(surface->Picture().KeptSize(), (PixelSize{320, 241}));
}

// A picture that fills the screen is held by only the middle rows of its
// kept size, and paints exactly as the picture held whole does: for pictures
// taller than the screen by rows that do and do not split evenly.
TEST_F(Placement, PicturesThatFillTheScreenHoldTheirMiddleRowsAlone) {
  settings.frame.backgroundMode = 1;
  settings.backgroundStretch = 2;
  for (const auto& [w, h] : {std::pair{1200, 1200}, {1000, 900}, {961, 1283}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    const auto file = dir / ("fill" + std::to_string(w) + ".bmp");
    Encode(file, GUID_ContainerFormatBmp, w, h, [](int x, int y) { return Coded(x * 3, y * 7); });
    surface->Clear();
    BackgroundPainter painter(*surface, random, folders, settings, false);
    (void)painter.PaintBackground(file.wstring());
    GdiFlush();
    const PixelSize whole = KeptSize({w, h}, {kW, kH});
    EXPECT_EQ(surface->Picture().KeptSize().width, whole.width);
    EXPECT_LE(surface->Picture().KeptSize().height, kH + 4) << "of " << whole.height;

    HeldPicture held;
    ASSERT_EQ(held.Load(file, {kW, kH}), PictureLoad::kLoaded);
    EXPECT_EQ(held.KeptSize(), whole);
    DibImage reference;
    ASSERT_TRUE(reference.Create(kW, kH));
    const PicturePlacement placement =
        ScaleIntoArea(Scaling::kFill, {static_cast<float>(w), static_cast<float>(h)}, {kW, kH});
    held.Paint(reference.dc(), kW, kH, placement.source, placement.destination);
    GdiFlush();
    int differing = 0;
    for (int i = 0; i < kW * kH; ++i) differing += (canvas.pixels()[i] ^ reference.pixels()[i]) & 0xFFFFFF ? 1 : 0;
    EXPECT_EQ(differing, 0);
  }
}

TEST_F(Placement, TinyPictureTilesOnceOverThePage) {
  Encode(dir / "dot.bmp", GUID_ContainerFormatBmp, 1, 1, [](int, int) { return 0xFFFFFFu; });
  settings.frame.backgroundMode = 3;
  settings.backgroundSingleFile = (dir / "dot.bmp").wstring();
  BackgroundPainter painter(*surface, random, folders, settings, false);
  (void)painter.PaintBackground(settings.backgroundSingleFile);
  GdiFlush();
  EXPECT_EQ(At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(At(2, 0), 0u) << "painted once";

  // 2 pixels: 1.5 points, tiles of 1 point (1.33 pixels) over the page.
  Encode(dir / "two.bmp", GUID_ContainerFormatBmp, 2, 2, [](int, int) { return 0x00FF00u; });
  settings.backgroundSingleFile = (dir / "two.bmp").wstring();
  (void)painter.PaintBackground(settings.backgroundSingleFile);
  GdiFlush();
  EXPECT_EQ(At(319, 239), 0x00FF00u);
}

TEST_F(Placement, BrokenBackgroundLeavesThePlainGround) {
  WriteBytes(dir / "bad.jpg", "not a picture");
  settings.frame.backgroundMode = 1;
  settings.backgroundSingleFile = (dir / "bad.jpg").wstring();
  BackgroundPainter painter(*surface, random, folders, settings, false);
  (void)painter.PaintBackground(settings.backgroundSingleFile);
  GdiFlush();
  for (int y = 0; y < kH; y += 7) {
    for (int x = 0; x < kW; x += 7) ASSERT_EQ(At(x, y), 0u);
  }
}

TEST_F(Pictures, FolderListsInNameOrderRefreshedWhenTheFolderChanges) {
  for (const char* name : {"b.JPG", "A.bmp", "c.gif", "10.jpeg", "9.rle", "notes.txt", "d.png", "e.jpgx"}) {
    WriteBytes(dir / name, "x");
  }
  std::filesystem::create_directory(dir / "sub.jpg");
  const std::wstring folder = dir.path().wstring();
  FolderLists lists;
  EXPECT_TRUE(lists.FolderExists(folder));
  EXPECT_FALSE(lists.FolderExists((dir / "A.bmp").wstring()));
  EXPECT_FALSE(lists.FolderExists(L""));
  EXPECT_TRUE(lists.FolderExists(L"C:\\"));
  EXPECT_FALSE(lists.FolderExists(folder + L"\\nothing"));
  EXPECT_EQ(lists.Files(folder),
            (std::vector<std::wstring>{L"10.jpeg", L"9.rle", L"A.bmp", L"b.JPG", L"c.gif", L"d.png"}));
  EXPECT_EQ(lists.Files(folder + L"\\"), lists.Files(folder)) << "a trailing separator";
  const int listings = lists.Listings();
  for (int i = 0; i < 100; ++i) (void)lists.Files(folder);
  EXPECT_EQ(lists.Listings(), listings) << "an unchanged folder is not read again";

  // The folder's last-write time moves with a new file (a second later: coarse clocks).
  Sleep(1100);
  WriteBytes(dir / "aa.jpg", "x");
  EXPECT_EQ(lists.Files(folder).size(), 7u);
  EXPECT_TRUE(lists.Files(folder + L"\\missing").empty());
}

}  // namespace
}  // namespace zor::win
