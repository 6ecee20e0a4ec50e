// The frame every title-card layout runs: clear, choose the background,
// settle the ground colour, paint, start the stopwatch, paint a corner
// picture once the text's bands are known, wait, and at the end place the
// credit label and show the page. Pictures are chosen and painted behind
// the BackgroundPictures seam.
#pragma once

#include <string>

#include "core/screen/card_inputs.h"
#include "core/screen/glyph_drawing.h"
#include "core/screen/surface.h"

namespace zor {

// Where the text of a layout lies; the corner picture goes opposite.
enum class TextPlace : int {
  kBottomLeft = 0,  // picture anchored top-right
  kTopRight = 1,    // picture anchored bottom-left
  kCentre = 2,      // picture centred on the form
};

// The minimum time the background shows alone before the text.
inline constexpr std::int32_t kBackgroundAloneMs = 500;

class BackgroundPictures {
 public:
  virtual ~BackgroundPictures() = default;
  // The picture file for this page, or "" to keep the picture already held.
  [[nodiscard]] virtual std::wstring ChooseBackgroundFile(const FrameState& state) = 0;
  // Paints the centre and tile placements now; true when the corner
  // placement must wait for PaintBackgroundCorner.
  [[nodiscard]] virtual bool PaintBackground(const std::wstring& file) = 0;
  // Bands: the thickness of the text along the bottom or top edge and
  // along the left or right edge, in points.
  virtual void PaintBackgroundCorner(const std::wstring& file, TextPlace place, float horizontalBand,
                                     float verticalBand) = 0;
};

// Pictures off: the page shows its ground colour only.
class NoBackground final : public BackgroundPictures {
 public:
  [[nodiscard]] std::wstring ChooseBackgroundFile(const FrameState&) override { return {}; }
  [[nodiscard]] bool PaintBackground(const std::wstring&) override { return false; }
  void PaintBackgroundCorner(const std::wstring&, TextPlace, float, float) override {}
};

// Settles invertColours (true: black type on white) for this page and the
// surface's ground colour: keeps the previous page's ground where the
// background carries over, lets a picture named "0…" or "1…" decide, and
// locks that choice for the pages that repeat the picture.
void GroundColourStep(FrameState& state, const BackgroundSettings& settings, bool testDisplay, Surface& surface,
                      bool& invertColours);

class PageFrame {
 public:
  PageFrame(Surface& surface, Clock& clock, BackgroundPictures& pictures, const BackgroundSettings& settings,
            FrameState& state)
      : surface_(surface), pictures_(pictures), settings_(settings), state_(state), stopwatch_(clock) {}

  // Clear, background file, ground colour, paint, stopwatch.
  void Begin(bool testDisplay, bool& invertColours);
  // A corner picture that waited for the layout is painted now.
  void PaintPendingCorner(TextPlace place, float horizontalBand, float verticalBand);
  // Keeps the background alone on the screen for half a second.
  void WaitBeforeText(bool testDisplay);
  // The credit label in the corner the text leaves free, then the page shown.
  void Finish(TextPlace place, bool invertColours);

  [[nodiscard]] Stopwatch& stopwatch() noexcept { return stopwatch_; }

 private:
  Surface& surface_;
  BackgroundPictures& pictures_;
  const BackgroundSettings& settings_;
  FrameState& state_;
  Stopwatch stopwatch_;
};

// Everything a renderer draws with.
struct CardContext {
  GlyphDrawer& drawer;
  PageFrame& frame;
  RandomSource& random;
  const DrawSettings& settings;
};

enum class PageResult {
  kDrawn,
  kMissingFace,  // reported through the surface; the page is unfinished
};

}  // namespace zor
