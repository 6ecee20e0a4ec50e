#include "win/screen/pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include "core/data/file_system.h"
#include "win/common/com.h"
#include "win/common/dib.h"
#include "win/screen/wic_transform.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <thread>
#include <optional>

namespace zor::win {

namespace {


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

// Rows read at a time on their way to the shrink: many, so that the two bands
// are handed work seldom, within a few megabytes.
UINT ShrinkStripRows(UINT stride) { return std::clamp((4u << 20) / std::max(stride, 1u), 16u, 128u); }

}  // namespace

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
      return t->CopyPixels(&rect, sw, sh, &format, WICBitmapTransformRotate0, stride, stride * rows, buffer);
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

DecodedPicture DecodePictureFile(const std::filesystem::path& file, PixelSize screen, const PictureUse& use) {
  bool readable = false;
  const PictureHeader header = HeaderOf(file, readable);
  if (!readable) return PictureLoad::kUnreadable;
  // A JPEG or BMP whose size cannot be read is refused before a decoder
  // could allocate for whatever its broken header says.
  if (header.format != PictureFormat::kUnknown && !header.valid) return PictureLoad::kNotAPicture;
  if (header.valid && !AcceptablePictureSize(header.width, header.height)) return PictureLoad::kRefusedSize;

  EnsureCom();
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put())))) {
    return PictureLoad::kUnreadable;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put()))) {
    return PictureLoad::kNotAPicture;
  }
  return DecodePictureFrame(factory.get(), frame.get(), screen, use);
}

DecodedPicture DecodePictureFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                  const PictureUse& use) {
  UINT w = 0;
  UINT h = 0;
  if (FAILED(frame->GetSize(&w, &h))) return PictureLoad::kNotAPicture;
  if (!AcceptablePictureSize(w, h)) return PictureLoad::kRefusedSize;
  const PixelSize own{static_cast<int>(w), static_cast<int>(h)};
  const PixelRect region = RegionFor(own, screen, use);
  const PixelSize kept = use.ownSize ? PixelSize{region.width(), region.height()} : zor::KeptSize(own, screen);
  // The part read from the frame at its own size.
  const auto x0 = static_cast<UINT>(region.left);
  const auto y0 = static_cast<UINT>(region.top);
  const auto rw = static_cast<UINT>(region.width());

  // Rows come scaled from the decoder where it can, else in the frame's own
  // format where that is one of ours, else through a converter.
  RowSource source;
  ComPtr<IWICBitmapSourceTransform> transform;
  ComPtr<IWICFormatConverter> converter;
  WICPixelFormatGUID format{};
  RowLayout layout{};
  const bool scaled = !use.ownSize && kept != own && ScaledSource(frame, own, kept, transform, source);
  if (scaled) {
    // source reads from the decoder's scaled rows
  } else if (SUCCEEDED(frame->GetPixelFormat(&format)) && LayoutOf(format, layout)) {
    source = {PixelSize{region.width(), region.height()}, layout,
              [frame, x0, y0, rw](UINT y, UINT rows, UINT stride, BYTE* buffer) {
                const WICRect rect{static_cast<INT>(x0), static_cast<INT>(y0 + y), static_cast<INT>(rw),
                                   static_cast<INT>(rows)};
                return frame->CopyPixels(&rect, stride, stride * rows, buffer);
              }};
  } else {
    if (!factory || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
      return PictureLoad::kNotAPicture;
    }
    IWICFormatConverter* c = converter.get();
    source = {PixelSize{region.width(), region.height()}, RowLayout::kBgrx32,
              [c, x0, y0, rw](UINT y, UINT rows, UINT stride, BYTE* buffer) {
                const WICRect rect{static_cast<INT>(x0), static_cast<INT>(y0 + y), static_cast<INT>(rw),
                                   static_cast<INT>(rows)};
                return c->CopyPixels(&rect, stride, stride * rows, buffer);
              }};
  }

  DibImage bitmap;
  if (!bitmap.Create(kept.width, kept.height)) return PictureLoad::kOutOfMemory;
  const auto sw = static_cast<UINT>(source.size.width);
  const auto sh = static_cast<UINT>(source.size.height);
  const UINT stride = sw * static_cast<UINT>(BytesPerPixel(source.layout));
  if (source.size == kept && source.layout == RowLayout::kBgrx32) {
    for (UINT y = 0; y < sh; y += kStripRows) {
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
    if (source.size != kept) shrinker.emplace(source.size, kept, bitmap.pixels(), source.layout);
    for (UINT y = 0; y < sh; y += stripRows) {
      const UINT rows = std::min(stripRows, sh - y);
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
  return {own, region, std::move(bitmap)};
}

// ---- HeldPicture -----------------------------------------------------------

std::optional<HeldPicture::FileStamp> HeldPicture::StampOf(const std::filesystem::path& file, PixelSize screen,
                                                           const PictureUse& use) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &info)) return std::nullopt;
  return FileStamp{file.native(), static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow,
                   static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 |
                       info.ftLastWriteTime.dwLowDateTime,
                   screen, use};
}

PictureLoad HeldPicture::Load(const std::filesystem::path& file, PixelSize screen, const PictureUse& use) {
  const std::optional<FileStamp> stamp = StampOf(file, screen, use);
  // The same unchanged file for the same screen is already held.
  if (stamp && !Empty() && held_ == *stamp) return PictureLoad::kLoaded;

  DecodedPicture decoded;
  bool done = false;
  if (pending_ && stamp && pending_->stamp == *stamp) {
    // Decoded ahead from the same unchanged file.
    try {
      decoded = pending_->result.get();
      done = true;
      ++takenAhead_;
    } catch (...) {
    }
  }
  pending_.reset();
  if (!done) decoded = DecodePictureFile(file, screen, use);
  const PictureLoad result = Adopt(std::move(decoded));
  if (result == PictureLoad::kLoaded && stamp) held_ = *stamp;
  return result;
}

PictureLoad HeldPicture::LoadFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                   const PictureUse& use) {
  return Adopt(DecodePictureFrame(factory, frame, screen, use));
}

PictureLoad HeldPicture::Adopt(DecodedPicture&& decoded) {
  if (decoded.result != PictureLoad::kLoaded) return decoded.result;
  kept_ = std::move(decoded.kept);
  own_ = decoded.own;
  region_ = decoded.region;
  held_ = {};
  ++decodes_;
  piece_.Reset();
  pieceSize_ = {};
  return PictureLoad::kLoaded;
}

void HeldPicture::Prefetch(const std::filesystem::path& file, PixelSize screen, const PictureUse& use) {
  const std::optional<FileStamp> stamp = StampOf(file, screen, use);
  if (!stamp || (!Empty() && held_ == *stamp) || (pending_ && pending_->stamp == *stamp)) return;
  // A decode no longer wanted runs to its end on its own thread; its result is dropped.
  pending_.reset();
  std::promise<DecodedPicture> promise;
  std::future<DecodedPicture> result = promise.get_future();
  try {
    std::thread([file, screen, use, promise = std::move(promise)]() mutable {
      try {
        promise.set_value(DecodePictureFile(file, screen, use));
      } catch (...) {
        promise.set_exception(std::current_exception());
      }
    }).detach();
  } catch (const std::system_error&) {
    return;  // no thread: the picture is decoded when it is asked for
  }
  pending_.emplace(Pending{*stamp, std::move(result)});
}

void HeldPicture::Paint(HDC dc, int imageW, int imageH, const Rect& source, const Rect& destination) {
  if (Empty() || region_.width() < 1 || region_.height() < 1) return;
  // The source in held pixels: the kept part of the picture, at the kept size.
  const float sx = static_cast<float>(kept_.width()) / static_cast<float>(region_.width());
  const float sy = static_cast<float>(kept_.height()) / static_cast<float>(region_.height());
  const Rect from{(source.x - static_cast<float>(region_.left)) * sx, (source.y - static_cast<float>(region_.top)) * sy,
                  source.width * sx, source.height * sy};
  if (from.width <= 0.0f || from.height <= 0.0f) return;

  // Halves round up, the same way at both edges, so that sizes stay whole.
  const auto round = [](float v) { return static_cast<int>(std::floor(v + 0.5f)); };
  const int left = round(destination.x);
  const int top = round(destination.y);
  const int right = round(destination.x + destination.width);
  const int bottom = round(destination.y + destination.height);
  const int dw = right - left;
  const int dh = bottom - top;
  if (dw < 1 || dh < 1) return;
  const int cl = std::max(0, left);
  const int ct = std::max(0, top);
  const int cr = std::min(imageW, right);
  const int cb = std::min(imageH, bottom);
  if (cr <= cl || cb <= ct) return;

  // Pixel for pixel: a plain copy of what is held of the part in view. A
  // source between pixels, or up to a pixel larger (the held size is rounded
  // up), is taken from the nearest pixels: sharper than blending.
  if (std::fabs(from.width - static_cast<float>(dw)) < 1.0f && std::fabs(from.height - static_cast<float>(dh)) < 1.0f) {
    const int kx = round(from.x) - left;  // the held column at image column 0
    const int ky = round(from.y) - top;
    const int x0 = std::max(cl, -kx);
    const int y0 = std::max(ct, -ky);
    const int x1 = std::min(cr, kept_.width() - kx);
    const int y1 = std::min(cb, kept_.height() - ky);
    if (x1 > x0 && y1 > y0) BitBlt(dc, x0, y0, x1 - x0, y1 - y0, kept_.dc(), x0 + kx, y0 + ky, SRCCOPY);
    return;
  }

  const PixelView view{kept_.pixels(), kept_.width(), kept_.height(), kept_.width()};
  if (static_cast<std::int64_t>(dw) * dh <= static_cast<std::int64_t>(imageW) * imageH) {
    // The whole piece, kept for the next paint of the same piece.
    const PixelSize size{dw, dh};
    if (!(piece_.pixels() && pieceSize_ == size && pieceSource_ == from)) {
      GdiFlush();
      if (!piece_.Create(dw, dh)) return;
      // The source to the nearest whole held pixels.
      const int fx = std::clamp(round(from.x), 0, kept_.width());
      const int fy = std::clamp(round(from.y), 0, kept_.height());
      const int fw = std::min(round(from.x + from.width), kept_.width()) - fx;
      const int fh = std::min(round(from.y + from.height), kept_.height()) - fy;
      if (dw <= fw && dh <= fh) {
        // Held pixels made smaller: averaged down in bands, as when decoding.
        const std::size_t stride = static_cast<std::size_t>(kept_.width()) * 4;
        const auto* first = reinterpret_cast<const std::uint8_t*>(kept_.pixels() + static_cast<std::size_t>(fy) *
                                                                                   static_cast<std::size_t>(kept_.width()) +
                                                                 fx);
        BandedShrinker shrinker({fw, fh}, size, piece_.pixels(), RowLayout::kBgrx32);
        shrinker.AddRows(first, fh, stride);
        shrinker.Finish();
      } else {
        Resample(view, from, dw, dh, {0, 0, dw, dh}, piece_.pixels());
      }
      pieceSize_ = size;
      pieceSource_ = from;
    }
    BitBlt(dc, cl, ct, cr - cl, cb - ct, piece_.dc(), cl - left, ct - top, SRCCOPY);
    return;
  }
  // Larger than the image: only the visible part is computed.
  DibImage part;
  if (!part.Create(cr - cl, cb - ct)) return;
  Resample(view, from, dw, dh, {cl - left, ct - top, cr - left, cb - top}, part.pixels());
  BitBlt(dc, cl, ct, cr - cl, cb - ct, part.dc(), 0, 0, SRCCOPY);
}

// ---- Folder lists ----------------------------------------------------------

std::vector<std::wstring> ListPictureFiles(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const std::wstring pattern = JoinFolderFile(folder, L"*");
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    // The file list shows plain files: no folders, hidden or system files.
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    if (IsPictureFileName(data.cFileName)) names.emplace_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  // By name as a sorted list box orders them: case-insensitive, in the user's locale.
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                           b.c_str(), static_cast<int>(b.size()), nullptr, nullptr, 0) == CSTR_LESS_THAN;
  });
  return names;
}

bool FolderLists::FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderLists::FileExists(const std::wstring& path) { return zor::FileExists(std::filesystem::path(path)); }

const std::vector<std::wstring>& FolderLists::Files(const std::wstring& folder) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    lists_.erase(folder);
    return none_;
  }
  // Adding, removing or renaming a file changes the folder's last-write time.
  auto it = lists_.find(folder);
  if (it != lists_.end() && CompareFileTime(&it->second.written, &info.ftLastWriteTime) == 0) {
    return it->second.names;
  }
  Listing listing;
  listing.written = info.ftLastWriteTime;
  listing.names = ListPictureFiles(folder);
  ++listings_;
  if (lists_.size() > 8) lists_.clear();
  return lists_.insert_or_assign(folder, std::move(listing)).first->second.names;
}

}  // namespace zor::win
