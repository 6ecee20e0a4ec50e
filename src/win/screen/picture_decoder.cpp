#include "win/screen/picture_decoder.h"

#include <objbase.h>
#include <wincodec.h>

#include "core/screen/picture_orientation.h"
#include "win/common/com.h"
#include "win/common/handles.h"
#include "win/screen/wic_transform.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace zor::win {

namespace {

std::atomic<std::uint64_t> decoderTime{0};
std::atomic<std::uint64_t> decoderClock{0};

std::uint64_t ClockNow() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<std::uint64_t>(static_cast<double>(c.QuadPart) * 1.0e7 / static_cast<double>(f.QuadPart));
}

std::uint64_t ThreadCpuTime() {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return 0;
  const auto v = [](const FILETIME& f) { return static_cast<std::uint64_t>(f.dwHighDateTime) << 32 | f.dwLowDateTime; };
  return v(kernel) + v(user);
}

// The processor time of a call into the system decoder, added to the total.
template <class F>
HRESULT InDecoder(F&& call) {
  const std::uint64_t t0 = ThreadCpuTime();
  const std::uint64_t c0 = ClockNow();
  const HRESULT hr = call();
  decoderClock.fetch_add(ClockNow() - c0, std::memory_order_relaxed);
  decoderTime.fetch_add(ThreadCpuTime() - t0, std::memory_order_relaxed);
  return hr;
}

// COM stays initialised for the thread from its first picture on, until the
// thread ends (a decode ahead runs on a thread of its own).
void EnsureCom() {
  thread_local const ComScope com;
  (void)com;
}

// The size the file's header claims, read before any decoder sees the file.
PictureHeader HeaderOf(const std::filesystem::path& file, bool& readable) {
  UniqueKernelHandle h(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  readable = h.get() != INVALID_HANDLE_VALUE && h.get() != nullptr;
  if (!readable) {
    (void)h.release();  // INVALID_HANDLE_VALUE is not a handle to close
    return {};
  }
  return ReadPictureHeader([&](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(h.get(), at, nullptr, FILE_BEGIN)) return 0;
    DWORD got = 0;
    if (!ReadFile(h.get(), buffer, static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20)), &got, nullptr)) return 0;
    return got;
  });
}

constexpr UINT kStripRows = 32;

// The rows of the kept size that are made: a picture that fills the screen
// shows only the middle ones (a row or two either side spare).
std::pair<int, int> RowsMade(PixelSize kept, PixelSize screen, const PictureUse& use) {
  if (!use.fillsScreen || use.ownSize || kept.height <= screen.height + 4) return {0, kept.height};
  const int middle = (kept.height - screen.height) / 2;
  return {std::max(0, middle - 2), std::min(kept.height, middle + screen.height + 2)};
}

// Touches every page of an image made ahead, on a thread of its own, so that
// the system maps its memory while the decoder works: fresh memory costs
// about as much as shrinking into it.
class PagesTouched {
 public:
  explicit PagesTouched(DibImage& image) {
    if (!image.pixels()) return;
    std::uint32_t* pixels = image.pixels();
    const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
    try {
      toucher_ = std::thread([pixels, count] {
        for (std::size_t i = 0; i < count; i += 1024) pixels[i] = 0;  // one write a 4 KB page
      });
    } catch (const std::system_error&) {
    }
  }
  ~PagesTouched() { Join(); }
  PagesTouched(const PagesTouched&) = delete;
  PagesTouched& operator=(const PagesTouched&) = delete;
  void Join() {
    if (toucher_.joinable()) toucher_.join();
  }

 private:
  std::thread toucher_;
};

// Rows read at a time on their way to the shrink: many, so that the two bands
// are handed work seldom, within a few megabytes.
UINT ShrinkStripRows(UINT stride) { return std::clamp((4u << 20) / std::max(stride, 1u), 16u, 128u); }

}  // namespace

std::uint64_t DecoderCpuTime() noexcept { return decoderTime.load(std::memory_order_relaxed); }
std::uint64_t DecoderClockTime() noexcept { return decoderClock.load(std::memory_order_relaxed); }

// ---- Decoding --------------------------------------------------------------

namespace {

// The layout of a WIC pixel format that rows can be read in directly.
bool LayoutOf(const WICPixelFormatGUID& format, RowLayout& layout) {
  if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
    layout = RowLayout::kBgr24;
  } else if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
    layout = RowLayout::kBgrx32;
  } else if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray)) {
    layout = RowLayout::kGray8;
  } else {
    return false;
  }
  return true;
}

// Where decoded rows come from: their size, their layout, and a reader of
// rows [y, y + rows) into a buffer with the given stride.
struct RowSource {
  PixelSize size;
  RowLayout layout = RowLayout::kBgrx32;
  std::function<HRESULT(UINT y, UINT rows, UINT stride, BYTE* buffer)> read;
};

// How the frame's stored pixels stand upright: the orientation tag of a
// JPEG's or a TIFF's first directory, read through the metadata query
// reader, else the tag the file's header gave (Wine's JPEG decoder offers
// no Exif metadata); none, or a value outside 1..8, is upright.
Orientation OrientationOf(IWICBitmapSource* source, std::uint32_t headerTag) {
  const Orientation fromHeader = OrientationFromTag(headerTag);
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(source->QueryInterface(IID_IWICBitmapFrameDecode, reinterpret_cast<void**>(frame.put())))) {
    return fromHeader;
  }
  ComPtr<IWICMetadataQueryReader> reader;
  if (FAILED(InDecoder([&] { return frame->GetMetadataQueryReader(reader.put()); }))) return fromHeader;
  for (const wchar_t* query : {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
    PROPVARIANT value;
    PropVariantInit(&value);
    const HRESULT hr = InDecoder([&] { return reader->GetMetadataByName(query, &value); });
    std::uint32_t tag = 0;
    const bool found = SUCCEEDED(hr) && (value.vt == VT_UI2 || value.vt == VT_UI4 || value.vt == VT_I2);
    if (found) tag = value.vt == VT_UI4 ? value.ulVal : value.uiVal;
    PropVariantClear(&value);
    if (found) return OrientationFromTag(tag);
  }
  return fromHeader;
}

// True when the frame's pixels can be see-through: an indexed format with
// a palette entry that is, or a format with an alpha channel.
bool SeeThrough(IWICImagingFactory* factory, IWICBitmapSource* frame, const WICPixelFormatGUID& format) {
  if (!factory) return false;
  const bool indexed = IsEqualGUID(format, GUID_WICPixelFormat1bppIndexed) ||
                       IsEqualGUID(format, GUID_WICPixelFormat2bppIndexed) ||
                       IsEqualGUID(format, GUID_WICPixelFormat4bppIndexed) ||
                       IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed);
  if (indexed) {
    ComPtr<IWICPalette> palette;
    BOOL alpha = FALSE;
    return SUCCEEDED(factory->CreatePalette(palette.put())) && SUCCEEDED(frame->CopyPalette(palette.get())) &&
           SUCCEEDED(palette->HasAlpha(&alpha)) && alpha;
  }
  if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(format, GUID_WICPixelFormat32bppRGBA) ||
      IsEqualGUID(format, GUID_WICPixelFormat32bppPBGRA) || IsEqualGUID(format, GUID_WICPixelFormat32bppPRGBA) ||
      IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA) || IsEqualGUID(format, GUID_WICPixelFormat64bppBGRA) ||
      IsEqualGUID(format, GUID_WICPixelFormat64bppPRGBA)) {
    return true;
  }
  // Any other format says for itself whether it has an alpha channel.
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo2> pixelInfo;
  BOOL transparency = FALSE;
  return SUCCEEDED(factory->CreateComponentInfo(format, info.put())) &&
         SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo2, reinterpret_cast<void**>(pixelInfo.put()))) &&
         SUCCEEDED(pixelInfo->SupportsTransparency(&transparency)) && transparency;
}

// True when a 32-bit frame with alpha has a pixel whose alpha is not 0.
bool AnyAlpha(IWICBitmapSource* frame, PixelSize size) {
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) return true;
  const auto w = static_cast<UINT>(size.width);
  std::vector<BYTE> strip;
  try {
    strip.resize(std::size_t{w} * 4 * kStripRows);
  } catch (const std::bad_alloc&) {
    return true;
  }
  for (UINT y = 0; y < static_cast<UINT>(size.height); y += kStripRows) {
    const UINT rows = std::min(kStripRows, static_cast<UINT>(size.height) - y);
    const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(w), static_cast<INT>(rows)};
    if (FAILED(InDecoder([&] { return frame->CopyPixels(&rect, w * 4, w * 4 * rows, strip.data()); }))) return true;
    for (std::size_t i = 3; i < std::size_t{w} * 4 * rows; i += 4) {
      if (strip[i] != 0) return true;
    }
  }
  return false;
}

// The smallest size the decoder can scale to while decoding that still
// covers kept; false when it cannot scale (or not usefully).
bool ScaledSource(IWICBitmapSource* frame, PixelSize own, PixelSize kept, ComPtr<IWICBitmapSourceTransform>& transform,
                  RowSource& source) {
  if (FAILED(frame->QueryInterface(kIidWicBitmapSourceTransform, reinterpret_cast<void**>(transform.put())))) {
    return false;
  }
  BOOL plain = FALSE;
  if (FAILED(transform->DoesSupportTransform(WICBitmapTransformRotate0, &plain)) || !plain) return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  RowLayout layout{};
  if (FAILED(transform->GetClosestPixelFormat(&format)) || !LayoutOf(format, layout)) return false;
  const auto w = static_cast<UINT>(own.width);
  const auto h = static_cast<UINT>(own.height);
  for (const UINT d : {8u, 4u, 2u}) {
    UINT sw = (w + d - 1) / d;
    UINT sh = (h + d - 1) / d;
    if (sw < static_cast<UINT>(kept.width) || sh < static_cast<UINT>(kept.height)) continue;
    if (FAILED(transform->GetClosestSize(&sw, &sh))) return false;
    // Only a size between what is kept and the file's own is any use.
    if (sw < static_cast<UINT>(kept.width) || sh < static_cast<UINT>(kept.height) || sw > w || sh > h ||
        static_cast<std::uint64_t>(sw) * sh >= static_cast<std::uint64_t>(w) * h) {
      continue;
    }
    IWICBitmapSourceTransform* t = transform.get();
    source.size = {static_cast<int>(sw), static_cast<int>(sh)};
    source.layout = layout;
    source.read = [t, sw, sh, format](UINT y, UINT rows, UINT stride, BYTE* buffer) mutable {
      const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(sw), static_cast<INT>(rows)};
      return InDecoder([&] { return t->CopyPixels(&rect, sw, sh, &format, WICBitmapTransformRotate0, stride, stride * rows, buffer); });
    };
    return true;
  }
  return false;
}

// The part of a picture its use needs: all of it when scaled; at its own
// size, what a screen shows where the use aligns it, and a pixel more on
// each side for the rounding of half pixels.
PixelRect RegionFor(PixelSize own, PixelSize screen, const PictureUse& use) {
  if (!use.ownSize) return {0, 0, own.width, own.height};
  const int w = std::min(own.width, screen.width + 2);
  const int h = std::min(own.height, screen.height + 2);
  const auto start = [](int align, int whole, int part) {
    return align < 0 ? 0 : align > 0 ? whole - part : (whole - part) / 2;
  };
  const int x = start(use.alignX, own.width, w);
  const int y = start(use.alignY, own.height, h);
  return {x, y, x + w, y + h};
}

}  // namespace

namespace {
// How a file's header speaks of alpha: not at all (not a BMP), the fourth
// byte of a pixel is padding whatever WIC's pixel format says (a plain
// 32-bit BMP), or alpha by an alpha mask (which tools also write over
// pixels whose alpha is all 0: those are opaque).
enum class HeaderAlpha { kNotSaid, kPadding, kMasked };
// headerTag: the orientation tag the file's header gave (0: none).
DecodedPicture DecodeFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen, const PictureUse& use,
                           DibImage&& ahead, HeaderAlpha headerAlpha, std::uint32_t headerTag,
                           const std::atomic<bool>* wanted);
}  // namespace

DecodedPicture DecodePictureFile(const std::filesystem::path& file, PixelSize screen, const PictureUse& use,
                                 const std::atomic<bool>* wanted) {
  bool readable = false;
  const PictureHeader header = HeaderOf(file, readable);
  if (!readable) return PictureLoad::kUnreadable;
  // A JPEG or BMP whose size cannot be read is refused before a decoder
  // could allocate for whatever its broken header says.
  if (header.format != PictureFormat::kUnknown && !header.valid) return PictureLoad::kNotAPicture;
  if (header.valid && !AcceptablePictureSize(header.width, header.height)) return PictureLoad::kRefusedSize;

  EnsureCom();
  // The image the picture is kept in, made from the size the header gives
  // and mapped while the decoder works; made again below if the frame differs.
  DibImage ahead;
  if (header.valid && !use.ownSize) {
    const PixelSize own{static_cast<int>(header.width), static_cast<int>(header.height)};
    const PixelSize kept = zor::KeptSize(own, screen);
    const auto [firstRow, endRow] = RowsMade(kept, screen, use);
    if (kept != own) (void)ahead.Create(kept.width, endRow - firstRow);
  }
  PagesTouched touched(ahead);
  // Making the system decoder (its library loaded the first time) and, at
  // the end, letting go of its decode (the whole picture at its own size)
  // count as the decoder's time.
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(InDecoder([&] {
        return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()));
      }))) {
    return PictureLoad::kUnreadable;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(InDecoder([&] {
        return factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put());
      })) ||
      FAILED(InDecoder([&] { return decoder->GetFrame(0, frame.put()); }))) {
    return PictureLoad::kNotAPicture;
  }
  touched.Join();
  const HeaderAlpha alpha = header.format != PictureFormat::kBmp ? HeaderAlpha::kNotSaid
                            : header.bmpAlpha                     ? HeaderAlpha::kMasked
                                                                  : HeaderAlpha::kPadding;
  DecodedPicture decoded =
      DecodeFrame(factory.get(), frame.get(), screen, use, std::move(ahead), alpha, header.orientationTag, wanted);
  (void)InDecoder([&] {
    frame.reset();
    decoder.reset();
    return S_OK;
  });
  return decoded;
}

DecodedPicture DecodePictureFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                  const PictureUse& use) {
  return DecodeFrame(factory, frame, screen, use, DibImage(), HeaderAlpha::kNotSaid, 0, nullptr);
}

namespace {

DecodedPicture DecodeFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen, const PictureUse& use,
                           DibImage&& ahead, HeaderAlpha headerAlpha, std::uint32_t headerTag,
                           const std::atomic<bool>* wanted) {
  const auto abandoned = [wanted] { return wanted && !wanted->load(std::memory_order_relaxed); };
  UINT w = 0;
  UINT h = 0;
  if (FAILED(frame->GetSize(&w, &h))) return PictureLoad::kNotAPicture;
  if (!AcceptablePictureSize(w, h)) return PictureLoad::kRefusedSize;
  // Sizes and the region are decided on the upright picture; the stored
  // pixels are decoded and shrunk as they are, and turned at the kept size
  // (WIC's flip-rotator under Wine only flips top to bottom, and a kept
  // picture is far smaller than a camera's).
  const Orientation orientation = OrientationOf(frame, headerTag);
  const bool turned = orientation != Orientation::kUpright;
  const PixelSize stored{static_cast<int>(w), static_cast<int>(h)};
  const PixelSize upright = UprightSize(stored, orientation);
  const PixelRect uprightRegion = RegionFor(upright, screen, use);
  const PixelSize uprightKept =
      use.ownSize ? PixelSize{uprightRegion.width(), uprightRegion.height()} : zor::KeptSize(upright, screen);
  const PixelSize own = stored;
  const PixelRect region = turned ? StoredRect(uprightRegion, stored, orientation) : uprightRegion;
  const PixelSize kept = UprightSize(uprightKept, orientation);  // a turn undoes itself on sizes
  // The part read from the frame at its own size.
  const auto x0 = static_cast<UINT>(region.left);
  const auto y0 = static_cast<UINT>(region.top);
  const auto rw = static_cast<UINT>(region.width());

  // Rows come scaled from the decoder where it can, else in the frame's own
  // format where that is one of ours, else through a converter; see-through
  // pictures always through a converter to 32-bit with alpha, blended over
  // the ground as they come.
  RowSource source;
  ComPtr<IWICBitmapSourceTransform> transform;
  ComPtr<IWICFormatConverter> converter;
  WICPixelFormatGUID format{};
  RowLayout layout{};
  const bool knownFormat = SUCCEEDED(frame->GetPixelFormat(&format));
  const bool alpha = knownFormat && headerAlpha != HeaderAlpha::kPadding && SeeThrough(factory, frame, format) &&
                     (headerAlpha != HeaderAlpha::kMasked || AnyAlpha(frame, stored));
  const bool scaled = !alpha && !use.ownSize && kept != own && ScaledSource(frame, own, kept, transform, source);
  if (scaled) {
    // source reads from the decoder's scaled rows
  } else if (!alpha && knownFormat && LayoutOf(format, layout)) {
    source = {PixelSize{region.width(), region.height()}, layout,
              [frame, x0, y0, rw](UINT y, UINT rows, UINT stride, BYTE* buffer) {
                const WICRect rect{static_cast<INT>(x0), static_cast<INT>(y0 + y), static_cast<INT>(rw),
                                   static_cast<INT>(rows)};
                return InDecoder([&] { return frame->CopyPixels(&rect, stride, stride * rows, buffer); });
              }};
  } else {
    IWICBitmapSource* from = frame;
    if (!alpha || !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA)) {
      if (!factory || FAILED(factory->CreateFormatConverter(converter.put())) ||
          FAILED(converter->Initialize(frame, alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppBGR,
                                       WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return PictureLoad::kNotAPicture;
      }
      from = converter.get();
    }
    const Rgb ground = use.ground;
    source = {PixelSize{region.width(), region.height()}, RowLayout::kBgrx32,
              [from, x0, y0, rw, alpha, ground](UINT y, UINT rows, UINT stride, BYTE* buffer) {
                const WICRect rect{static_cast<INT>(x0), static_cast<INT>(y0 + y), static_cast<INT>(rw),
                                   static_cast<INT>(rows)};
                const HRESULT hr = InDecoder([&] { return from->CopyPixels(&rect, stride, stride * rows, buffer); });
                if (SUCCEEDED(hr) && alpha) {
                  for (UINT r = 0; r < rows; ++r) {
                    CompositeRowOverGround(buffer + std::size_t{r} * stride, static_cast<int>(rw), ground);
                  }
                }
                return hr;
              }};
  }

  // A picture that fills the screen shows the middle rows of its kept size:
  // only those are made, from only the rows of the source they need.
  // (A turned picture's middle rows are not the stored ones: all are made.)
  const auto [firstRow, endRow] =
      source.size != kept && !turned ? RowsMade(kept, screen, use) : std::pair{0, kept.height};
  DibImage bitmap = std::move(ahead);  // kept as it is where the size agrees
  if (!bitmap.Create(kept.width, endRow - firstRow)) return PictureLoad::kOutOfMemory;
  const auto sw = static_cast<UINT>(source.size.width);
  const auto sh = static_cast<UINT>(source.size.height);
  const UINT stride = sw * static_cast<UINT>(BytesPerPixel(source.layout));
  if (source.size == kept && source.layout == RowLayout::kBgrx32) {
    for (UINT y = 0; y < sh; y += kStripRows) {
      if (abandoned()) return PictureLoad::kUnreadable;
      const UINT rows = std::min(kStripRows, sh - y);
      if (FAILED(source.read(y, rows, stride, reinterpret_cast<BYTE*>(bitmap.pixels() + std::size_t{y} * sw)))) {
        return PictureLoad::kNotAPicture;
      }
    }
  } else {
    // The rows pass through a strip and are expanded, or averaged down, as they come.
    const UINT stripRows = source.size != kept ? ShrinkStripRows(stride) : kStripRows;
    std::vector<BYTE> strip;
    try {
      strip.resize(std::size_t{stride} * stripRows);
    } catch (const std::bad_alloc&) {
      return PictureLoad::kOutOfMemory;
    }
    std::optional<BandedShrinker> shrinker;
    UINT firstSource = 0;
    UINT endSource = sh;
    if (source.size != kept) {
      shrinker.emplace(source.size, kept, bitmap.pixels(), source.layout, firstRow, endRow);
      firstSource = static_cast<UINT>(shrinker->FirstSourceRow());
      endSource = std::min(sh, static_cast<UINT>(shrinker->EndSourceRow()));
    }
    for (UINT y = firstSource; y < endSource; y += stripRows) {
      if (abandoned()) return PictureLoad::kUnreadable;
      const UINT rows = std::min(stripRows, endSource - y);
      if (FAILED(source.read(y, rows, stride, strip.data()))) return PictureLoad::kNotAPicture;
      if (shrinker) {
        shrinker->AddRows(strip.data(), static_cast<int>(rows), stride);
        continue;
      }
      for (UINT r = 0; r < rows; ++r) {
        ExpandRow(strip.data() + std::size_t{r} * stride, source.layout, kept.width,
                  bitmap.pixels() + std::size_t{y + r} * sw);
      }
    }
    if (shrinker) shrinker->Finish();
  }
  GdiFlush();
  if (!turned) return {own, region, std::move(bitmap), firstRow, kept.height};
  DibImage turnedImage;
  if (!turnedImage.Create(uprightKept.width, uprightKept.height)) return PictureLoad::kOutOfMemory;
  OrientPixels(bitmap.pixels(), kept.width, kept.height, orientation, turnedImage.pixels());
  GdiFlush();
  return {upright, uprightRegion, std::move(turnedImage), 0, uprightKept.height};
}

}  // namespace

}  // namespace zor::win
