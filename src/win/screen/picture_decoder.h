// Decoding picture files with WIC (BMP with RLE, GIF, JPEG, PNG, TIFF and
// whatever else the system decodes) into upright pixels kept no larger than
// a use needs, see-through ones over the use's ground, with the sizes a file
// may claim bounded.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <atomic>
#include <cstdint>
#include <filesystem>

#include "core/screen/area_shrinker.h"
#include "core/screen/picture_header.h"
#include "core/screen/pixel_rect.h"
#include "core/screen/surface.h"
#include "win/common/dib.h"

namespace zor::win {

// Why a file did not load (for tests and the benchmark; the display only
// cares that nothing was loaded).
// kNotReady: the read has not ended in the time a page waits for it.
enum class PictureLoad { kLoaded, kUnreadable, kRefusedSize, kNotAPicture, kOutOfMemory, kNotReady };

// A picture decoded for a screen: the file's own size and its pixels, kept
// no larger than needed to cover the screen; both upright as the file's
// orientation tag says.
struct DecodedPicture {
  DecodedPicture(PictureLoad why = PictureLoad::kUnreadable) : result(why) {}  // NOLINT: a failure converts
  DecodedPicture(PixelSize ownSize, const PixelRect& part, DibImage&& pixels, int top = 0, int height = 0)
      : result(PictureLoad::kLoaded),
        own(ownSize),
        region(part),
        kept(std::move(pixels)),
        keptTop(top),
        keptHeight(height > 0 ? height : kept.height()) {}
  PictureLoad result;
  PixelSize own;
  PixelRect region;  // the part of the picture kept (own pixels), held at the kept size
  DibImage kept;
  // The rows of the kept size that kept holds: from keptTop, of keptHeight
  // rows in all (a picture that fills the screen keeps its middle rows).
  int keptTop = 0;
  int keptHeight = 0;
};

// Decodes a file for a use on a screen. Uses nothing but its own objects:
// any thread may call it. A decode whose wanted turns false stops at its
// next strip of rows (kUnreadable) and lets its memory go.
[[nodiscard]] DecodedPicture DecodePictureFile(const std::filesystem::path& file, PixelSize screen,
                                               const PictureUse& use, const std::atomic<bool>* wanted = nullptr);
// Decodes a frame (a decoder's, or any bitmap source). Scaled use: the whole
// picture, scaled while decoding where the source offers it, then averaged
// down to the size that covers the screen. Own size: the screen's worth of
// the picture (and a pixel around) where the use aligns it, pixel for pixel.
[[nodiscard]] DecodedPicture DecodePictureFrame(IWICImagingFactory* factory, IWICBitmapSource* frame,
                                                PixelSize screen, const PictureUse& use = {});

// Diagnostics: the processor time threads of this process spent in the
// system decoder's calls (opening a file, its frame, reading rows), in
// 100-nanosecond units, since the process started.
[[nodiscard]] std::uint64_t DecoderCpuTime() noexcept;
// The same calls' time by the clock (all threads together), in 100-nanosecond units.
[[nodiscard]] std::uint64_t DecoderClockTime() noexcept;

}  // namespace zor::win
