#include "core/screen/background.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace zor {

namespace {

constexpr std::int16_t kSingleFile = -1;
constexpr float kCornerShare = 0.97f;

std::wstring Trimmed(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const std::size_t last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace

bool IsPictureFileName(std::wstring_view name, std::span<const std::wstring> more) noexcept {
  const std::size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring_view::npos) return false;
  const std::wstring_view ext = name.substr(dot + 1);
  constexpr std::size_t kLongest = 16;
  if (ext.empty() || ext.size() > kLongest) return false;
  wchar_t lower[kLongest] = {};
  for (std::size_t i = 0; i < ext.size(); ++i) lower[i] = static_cast<wchar_t>(std::towlower(ext[i]));
  const std::wstring_view e(lower, ext.size());
  return std::find(kPictureExtensions.begin(), kPictureExtensions.end(), e) != kPictureExtensions.end() ||
         std::find(more.begin(), more.end(), e) != more.end();
}

std::vector<std::wstring> ExtensionsOfList(std::wstring_view list) {
  std::vector<std::wstring> extensions;
  while (!list.empty()) {
    const std::size_t comma = list.find_first_of(L",;");
    std::wstring_view item = list.substr(0, comma);
    list = comma == std::wstring_view::npos ? std::wstring_view{} : list.substr(comma + 1);
    while (!item.empty() && (item.front() == L' ' || item.front() == L'.' || item.front() == L'*')) {
      item.remove_prefix(1);
    }
    while (!item.empty() && item.back() == L' ') item.remove_suffix(1);
    if (item.empty()) continue;
    std::wstring e;
    for (const wchar_t c : item) e += static_cast<wchar_t>(std::towlower(c));
    if (std::find(extensions.begin(), extensions.end(), e) == extensions.end()) extensions.push_back(std::move(e));
  }
  return extensions;
}

std::wstring JoinFolderFile(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
  path += name;
  return path;
}

Scaling ScalingOf(std::int16_t value) noexcept {
  return value >= 0 && value <= 3 ? static_cast<Scaling>(value) : Scaling::kOwnSize;
}

PicturePlacement ScaleIntoArea(Scaling scaling, PointSize picture, PointSize area) {
  const float pw = picture.width;
  const float ph = picture.height;
  const float aw = area.width;
  const float ah = area.height;
  PicturePlacement placement;
  placement.source = {0.0f, 0.0f, pw, ph};
  placement.destination = {0.0f, 0.0f, aw, ah};
  if (pw <= 0.0f || ph <= 0.0f) return placement;
  switch (scaling) {
    case Scaling::kOwnSize:
      placement.destination = {(aw - pw) / 2.0f, (ah - ph) / 2.0f, pw, ph};
      break;
    case Scaling::kFit: {
      const float r = std::min(aw / pw, ah / ph);
      const float w = pw * r;
      const float h = ph * r;
      placement.destination = {(aw - w) / 2.0f, (ah - h) / 2.0f, w, h};
      break;
    }
    case Scaling::kFill: {
      const float r = std::max(aw / pw, ah / ph);
      if (r <= 0.0f) break;
      const float ex = std::max(0.0f, std::round(pw - aw / r));
      const float ey = std::max(0.0f, std::round(ph - ah / r));
      placement.source = {ex / 2.0f, ey / 2.0f, pw - ex, ph - ey};
      break;
    }
    case Scaling::kStretch:
      break;
  }
  return placement;
}

TileGrid TileGridFor(PointSize picturePoints, float scaleWidth, float scaleHeight) noexcept {
  const float tw = std::min(std::trunc(picturePoints.width), 32767.0f);
  const float th = std::min(std::trunc(picturePoints.height), 32767.0f);
  if (tw < 1.0f || th < 1.0f) return {picturePoints.width, picturePoints.height, 1, 1};
  TileGrid grid{tw, th, 0, 0};
  if (scaleWidth > 0.0f) grid.columns = static_cast<int>(std::ceil(scaleWidth / tw));
  if (scaleHeight > 0.0f) grid.rows = static_cast<int>(std::ceil(scaleHeight / th));
  return grid;
}

PointSize ScreenPixels(const Surface& surface) noexcept {
  return {surface.ScaleWidth() * 20.0f / surface.TwipsPerPixelX(),
          surface.ScaleHeight() * 20.0f / surface.TwipsPerPixelY()};
}

void PaintPlacement(Surface& surface, const PicturePlacement& placement, float leftPixels, float topPixels) {
  const float kx = surface.TwipsPerPixelX() / 20.0f;
  const float ky = surface.TwipsPerPixelY() / 20.0f;
  const Rect& d = placement.destination;
  surface.PaintPicture(placement.source,
                       {(leftPixels + d.x) * kx, (topPixels + d.y) * ky, d.width * kx, d.height * ky});
}

std::wstring BackgroundPainter::ChooseBackgroundFile(const FrameState& state) {
  const bool single = settings_.backgroundFromFile == kSingleFile;
  const std::wstring file = single ? Trimmed(settings_.backgroundSingleFile) : std::wstring();
  const std::vector<std::wstring>* files = nullptr;
  if (single) {
    if (file.empty() || !folders_.FileExists(file)) return {};
  } else {
    if (!folders_.FolderExists(settings_.backgroundFolder)) return {};
    files = &folders_.Files(settings_.backgroundFolder);
    if (files->empty()) return {};
  }
  const std::int16_t placement = settings_.frame.backgroundMode;
  if (placement != kPlaceCorner && placement != kPlaceRandom && !state.intervalJustShown &&
      (settings_.frame.intervalMode != kIntervalNone || state.displayTick != 0)) {
    return {};
  }
  if (single) return file;
  const int i = random_.Rand(static_cast<int>(files->size()));
  return JoinFolderFile(settings_.backgroundFolder, (*files)[static_cast<std::size_t>(i)]);
}

bool BackgroundPainter::HoldPicture(const std::wstring& file, PictureUse use) {
  use.ground = surface_->BackColour();
  if (!file.empty() && !surface_->LoadPicture(PathFromText(file), use)) return false;
  const PointSize p = surface_->PictureSizePixels();
  return p.width > 0.0f && p.height > 0.0f;
}

void BackgroundPainter::Paint(const PicturePlacement& placement, float leftPixels, float topPixels) {
  PaintPlacement(*surface_, placement, leftPixels, topPixels);
}

bool BackgroundPainter::PaintBackground(const std::wstring& file) {
  if (preview_) return false;
  std::int16_t p = settings_.frame.backgroundMode;
  if (p < kPlaceNone || p > kPlaceTile) p = static_cast<std::int16_t>(random_.Rand(3) + 1);
  if (p == kPlaceCorner) return true;
  // Nothing is painted without a placement: the picture is not decoded either.
  if (p == kPlaceNone) return false;
  // Tiles are the picture at its own size from the top-left corner.
  const Scaling scaling = ScalingOf(settings_.backgroundStretch);
  const PictureUse use = p == kPlaceCentre ? PictureUse{scaling == Scaling::kOwnSize, 0, 0, scaling == Scaling::kFill}
                                           : PictureUse{true, -1, -1};
  if (!HoldPicture(file, use)) return false;
  Surface& surface = *surface_;
  const PointSize picture = surface.PictureSizePixels();
  if (p == kPlaceCentre) {
    Paint(ScaleIntoArea(ScalingOf(settings_.backgroundStretch), picture, ScreenPixels(surface)), 0.0f, 0.0f);
  } else {
    const PointSize points{picture.width * surface.TwipsPerPixelX() / 20.0f,
                           picture.height * surface.TwipsPerPixelY() / 20.0f};
    const TileGrid grid = TileGridFor(points, surface.ScaleWidth(), surface.ScaleHeight());
    const Rect source{0.0f, 0.0f, picture.width, picture.height};
    for (int row = 0; row < grid.rows; ++row) {
      for (int column = 0; column < grid.columns; ++column) {
        surface.PaintPicture(source, {static_cast<float>(column) * grid.width, static_cast<float>(row) * grid.height,
                                      grid.width, grid.height});
      }
    }
  }
  surface.Refresh();
  return false;
}

void BackgroundPainter::PaintBackgroundCorner(const std::wstring& file, TextPlace place, float horizontalBand,
                                              float verticalBand) {
  if (preview_) return;
  Surface& surface = *surface_;
  const float sw = surface.ScaleWidth();
  const float sh = surface.ScaleHeight();
  PointSize area{sw, sh};  // points
  if (place != TextPlace::kCentre) {
    area.width = verticalBand == 0.0f ? sw : kCornerShare * sw - verticalBand;
    area.height = kCornerShare * sh - horizontalBand;
  }
  const Scaling scaling = ScalingOf(settings_.backgroundStretch);
  // At its own size, the picture shows its corner where it is anchored.
  PictureUse use;
  if (scaling == Scaling::kOwnSize) {
    use = place == TextPlace::kBottomLeft ? PictureUse{true, 1, -1}   // top-right corner
          : place == TextPlace::kTopRight ? PictureUse{true, -1, 1}   // bottom-left corner
                                          : PictureUse{true, 0, 0};
  }
  if (!HoldPicture(file, use)) return;
  if (scaling != Scaling::kOwnSize && (area.width <= 0.0f || area.height <= 0.0f)) return;

  const float toPixelsX = 20.0f / surface.TwipsPerPixelX();
  const float toPixelsY = 20.0f / surface.TwipsPerPixelY();
  const PointSize areaPixels{area.width * toPixelsX, area.height * toPixelsY};
  PicturePlacement placement = ScaleIntoArea(scaling, surface.PictureSizePixels(), areaPixels);
  const PointSize screen = ScreenPixels(surface);
  Rect& d = placement.destination;
  switch (place) {
    case TextPlace::kBottomLeft:  // top-right corner
      d.x = screen.width - d.width;
      d.y = 0.0f;
      break;
    case TextPlace::kTopRight:  // bottom-left corner
      d.x = 0.0f;
      d.y = screen.height - d.height;
      break;
    case TextPlace::kCentre:
      break;
  }
  Paint(placement, 0.0f, 0.0f);
}

}  // namespace zor
