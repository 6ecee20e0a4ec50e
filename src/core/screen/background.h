// Background pictures: which file a page takes (a single file or one drawn
// from a folder, kept for the pages that repeat it), and where and at which
// size the picture held by the surface is painted: centred, tiled, or in the
// corner the text leaves free.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/file_system.h"
#include "core/data/settings.h"
#include "core/screen/card_inputs.h"
#include "core/screen/page_frame.h"
#include "core/screen/surface.h"

namespace zor {

// The extensions (lower case, no dot) of the pictures every system decodes;
// the picture file lists take these and those of the system's other decoders.
inline constexpr std::array<std::wstring_view, 8> kPictureExtensions = {L"bmp", L"rle", L"gif", L"jpg",
                                                                       L"jpeg", L"png", L"tif", L"tiff"};

// True when the name ends in one of kPictureExtensions or of more, in any case.
[[nodiscard]] bool IsPictureFileName(std::wstring_view name, std::span<const std::wstring> more = {}) noexcept;

// The extensions of a decoder's list such as ".jpeg,.JPE; .jpg": lower case,
// without dots, blanks or empty entries.
[[nodiscard]] std::vector<std::wstring> ExtensionsOfList(std::wstring_view list);

// Folder and file name joined by one "\": none is added after a folder that
// already ends in a separator (a drive root such as "C:\").
[[nodiscard]] std::wstring JoinFolderFile(std::wstring_view folder, std::wstring_view name);

// The file system as the file lists see it.
class PictureFolders {
 public:
  virtual ~PictureFolders() = default;
  // True when the path names an existing folder; any error counts as false.
  [[nodiscard]] virtual bool FolderExists(const std::wstring& path) = 0;
  [[nodiscard]] virtual bool FileExists(const std::wstring& path) = 0;
  // The picture files of the folder (names only), in the order the file
  // list shows them; empty when there are none or the folder cannot be read.
  [[nodiscard]] virtual const std::vector<std::wstring>& Files(const std::wstring& folder) = 0;
};

// The four scalings of the centre and corner placements and of the interval
// images.
enum class Scaling : int {
  kOwnSize = 0,
  kFit = 1,      // whole picture visible, aspect kept
  kFill = 2,     // area filled, aspect kept, the middle kept and the overflow cropped
  kStretch = 3,  // stretched onto the area
};

// Any value outside 0..3 paints at the picture's own size.
[[nodiscard]] Scaling ScalingOf(std::int16_t value) noexcept;

// Which part of a picture goes where: source in picture pixels, destination
// relative to the area's top-left, in the area's pixels.
struct PicturePlacement {
  Rect source;
  Rect destination;
};

// A picture of the given pixel size scaled into an area: own size and fit
// are centred in the area; fill and stretch cover it exactly. A fill crop is
// rounded to whole pixels.
[[nodiscard]] PicturePlacement ScaleIntoArea(Scaling scaling, PointSize picture, PointSize area);

// The tile grid of the tile placement: the picture's size in points cut to
// whole points, repeated from the top-left while inside the form. A picture
// smaller than one point gives one tile at its own size.
struct TileGrid {
  float width = 0.0f;  // points
  float height = 0.0f;
  int columns = 0;
  int rows = 0;
};
[[nodiscard]] TileGrid TileGridFor(PointSize picturePoints, float scaleWidth, float scaleHeight) noexcept;

// The background steps of the page frame on a surface whose picture holder
// keeps the last picture loaded.
class BackgroundPainter final : public BackgroundPictures {
 public:
  BackgroundPainter(Surface& surface, RandomSource& random, PictureFolders& folders, const PictureSettings& settings,
                    bool preview)
      : surface_(&surface), random_(random), folders_(folders), settings_(settings), preview_(preview) {}

  [[nodiscard]] std::wstring ChooseBackgroundFile(const FrameState& state) override;
  [[nodiscard]] bool PaintBackground(const std::wstring& file) override;
  void PaintBackgroundCorner(const std::wstring& file, TextPlace place, float horizontalBand,
                             float verticalBand) override;

  void Rebind(Surface& surface) noexcept { surface_ = &surface; }

 private:
  // Loads a named file for a use over the page's ground (an empty name keeps
  // the picture held, which was loaded for the same use); false when there
  // is nothing to paint.
  [[nodiscard]] bool HoldPicture(const std::wstring& file, PictureUse use);
  void Paint(const PicturePlacement& placement, float leftPixels, float topPixels);

  Surface* surface_;
  RandomSource& random_;
  PictureFolders& folders_;
  const PictureSettings& settings_;
  bool preview_;
};

// Surface sizes in pixels.
[[nodiscard]] PointSize ScreenPixels(const Surface& surface) noexcept;

// A picture placement in form pixels painted on the surface (points).
void PaintPlacement(Surface& surface, const PicturePlacement& placement, float leftPixels, float topPixels);

}  // namespace zor
