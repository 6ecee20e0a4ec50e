// Pictures on Windows: decoding BMP (RLE too), GIF and JPEG files with WIC
// into the picture holder, painting parts of it onto a GDI image, and the
// file lists of picture folders.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/screen/background.h"
#include "core/screen/picture_pixels.h"
#include "win/common/dib.h"
#include "win/common/handles.h"

namespace zor::win {

// Why a file did not load (for tests and the benchmark; the display only
// cares that nothing was loaded).
enum class PictureLoad { kLoaded, kUnreadable, kRefusedSize, kNotAPicture, kOutOfMemory };

// A picture decoded for a screen: the file's own size and its pixels, kept
// no larger than needed to cover the screen.
struct DecodedPicture {
  DecodedPicture(PictureLoad why = PictureLoad::kUnreadable) : result(why) {}  // NOLINT: a failure converts
  DecodedPicture(PixelSize ownSize, const PixelRect& part, DibImage&& pixels)
      : result(PictureLoad::kLoaded), own(ownSize), region(part), kept(std::move(pixels)) {}
  PictureLoad result;
  PixelSize own;
  PixelRect region;  // the part of the picture kept (own pixels), held at the kept size
  DibImage kept;
};

// Decodes a file for a use on a screen. Uses nothing but its own objects:
// any thread may call it.
[[nodiscard]] DecodedPicture DecodePictureFile(const std::filesystem::path& file, PixelSize screen,
                                               const PictureUse& use);
// Decodes a frame (a decoder's, or any bitmap source). Scaled use: the whole
// picture, scaled while decoding where the source offers it, then averaged
// down to the size that covers the screen. Own size: the screen's worth of
// the picture (and a pixel around) where the use aligns it, pixel for pixel.
[[nodiscard]] DecodedPicture DecodePictureFrame(IWICImagingFactory* factory, IWICBitmapSource* frame,
                                                PixelSize screen, const PictureUse& use = {});

// Picture1: the last picture loaded, kept as its use needs (see
// DecodePictureFrame); its size is still the file's own.
class HeldPicture {
 public:
  // Decodes the file; anything but kLoaded leaves the held picture as it was.
  // The same unchanged file asked for again for the same screen is not decoded again.
  // A file prefetched for the same screen, and unchanged since, is taken
  // from its decode (waiting for it to end).
  [[nodiscard]] PictureLoad Load(const std::filesystem::path& file, PixelSize screen, const PictureUse& use = {});
  [[nodiscard]] PictureLoad LoadFrame(IWICImagingFactory* factory, IWICBitmapSource* frame, PixelSize screen,
                                      const PictureUse& use = {});
  // Starts decoding the file on a thread of its own, for a Load to come.
  void Prefetch(const std::filesystem::path& file, PixelSize screen, const PictureUse& use = {});
  [[nodiscard]] PixelSize OwnSize() const noexcept { return own_; }
  [[nodiscard]] PixelSize KeptSize() const noexcept { return {kept_.width(), kept_.height()}; }
  [[nodiscard]] bool Empty() const noexcept { return kept_.pixels() == nullptr; }
  // How many pictures were decoded (tests).
  [[nodiscard]] int Decodes() const noexcept { return decodes_; }
  // How many loads were taken from a decode started ahead (tests).
  [[nodiscard]] int TakenAhead() const noexcept { return takenAhead_; }

  // Paints the source rectangle (the file's own pixels) onto the image dc
  // of imageW × imageH pixels at the destination (image pixels, fractions
  // allowed): a plain copy where the sizes agree, otherwise resampled.
  void Paint(HDC dc, int imageW, int imageH, const Rect& source, const Rect& destination);

 private:
  // The file the held picture came from, as it was when loaded.
  struct FileStamp {
    std::wstring file;
    std::uint64_t size = 0;
    std::uint64_t written = 0;
    PixelSize screen;
    PictureUse use;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
  };
  struct Pending {
    FileStamp stamp;
    std::future<DecodedPicture> result;
  };
  [[nodiscard]] static std::optional<FileStamp> StampOf(const std::filesystem::path& file, PixelSize screen,
                                                       const PictureUse& use);
  PictureLoad Adopt(DecodedPicture&& decoded);

  FileStamp held_;
  std::optional<Pending> pending_;
  int decodes_ = 0;
  int takenAhead_ = 0;
  PixelSize own_;
  PixelRect region_;
  DibImage kept_;
  // The last resampled piece, reused while the same piece is asked for (tiles).
  DibImage piece_;
  Rect pieceSource_;
  PixelSize pieceSize_;
};

// The file lists of picture folders, each listing kept until the folder's
// last-write time changes.
class FolderLists final : public PictureFolders {
 public:
  [[nodiscard]] bool FolderExists(const std::wstring& path) override;
  [[nodiscard]] bool FileExists(const std::wstring& path) override;
  [[nodiscard]] const std::vector<std::wstring>& Files(const std::wstring& folder) override;
  // How many times a folder was read (tests).
  [[nodiscard]] int Listings() const noexcept { return listings_; }

 private:
  struct Listing {
    FILETIME written{};
    std::vector<std::wstring> names;
  };
  std::map<std::wstring, Listing> lists_;
  std::vector<std::wstring> none_;
  int listings_ = 0;
};

// The picture file names of a folder in the file list's order; empty when
// the folder cannot be read.
[[nodiscard]] std::vector<std::wstring> ListPictureFiles(const std::wstring& folder);

}  // namespace zor::win
