// What the owner of a GDI surface's page supplies besides pixels.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "core/screen/pixel_rect.h"
#include "core/screen/surface.h"

namespace zor::win {

// The credit label, showing the image, and the end after a missing face.
class SurfaceHost {
 public:
  virtual ~SurfaceHost() = default;
  [[nodiscard]] virtual PointSize CreditLabelSize() const = 0;
  virtual void PlaceCreditLabel(float left, float top, Rgb colour) = 0;
  // Shows the image; only the rectangles given (image pixels) changed since
  // the last showing, so only they need to reach the screen.
  virtual void Refresh(std::span<const PixelRect> changed) = 0;
  // Shows all of the image, which is the plain colour outside the rectangles
  // given (image pixels): the screen may be filled with the colour and only
  // they copied. False where the host shows an image only by copying it;
  // Refresh is then called instead.
  [[nodiscard]] virtual bool RefreshOnGround(Rgb, std::span<const PixelRect>) { return false; }
  virtual void ReportMissingFace(std::wstring_view message) = 0;
  // A second image of the same size (a memory DC) for a surface whose plain
  // ground changes from page to page: it keeps the other ground, so a page
  // needs no full clear. Made when first asked for; null where there is none.
  [[nodiscard]] virtual HDC SecondImage() { return nullptr; }
  // From now on the image to show is the one in this DC (the first or the
  // second); told before the Refresh that shows it.
  virtual void ShowImage(HDC) {}
};

// An off-screen page: no credit label (hidden), no screen to show it on, and
// a missing face kept as the message to report.
class OffscreenHost final : public SurfaceHost {
 public:
  std::wstring missingFace;
  [[nodiscard]] PointSize CreditLabelSize() const override { return {}; }
  void PlaceCreditLabel(float, float, Rgb) override {}
  void Refresh(std::span<const PixelRect>) override {}
  void ReportMissingFace(std::wstring_view message) override { missingFace = message; }
};

}  // namespace zor::win
