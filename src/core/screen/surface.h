// The seams between the title-card renderers and the platform: the drawing
// surface of the screen form, the tick clock with its message-running wait,
// and the random source. Everything is in points (1/72 inch) with the origin
// at the top-left of the drawing area, x to the right and y downwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "core/screen/palette.h"

namespace zor {

// A complete font description. Sizes are points; escapement is in tenths of
// a degree, counter-clockwise (2700 runs text down the screen; with a face
// named "@" + name the characters then stand upright in their vertical forms).
struct FontSpec {
  std::wstring face;
  float size = 10.0f;
  bool bold = false;
  bool italic = false;
  int escapement = 0;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// What measuring a caption gives: its width in points (for an "@" face, the
// advance of the turned glyphs laid side by side) and the font size the
// platform actually gave, which may differ from the size asked for.
struct TextExtent {
  float width = 0.0f;
  float size = 0.0f;
};

// A displacement in points.
struct Offset {
  float dx = 0.0f;
  float dy = 0.0f;
};

struct PointSize {
  float width = 0.0f;
  float height = 0.0f;
};

// A rectangle: pixels for picture sources, points for destinations.
struct Rect {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The screen form's persistent image. Drawing goes to the image; Refresh
// shows it. Implementations keep the selected font alive until it is
// replaced, so the core never owns platform font handles.
// How a picture is about to be painted: scaled (never beyond what covers
// the screen), or at its own size with the part in view taken at a side or
// the middle of each axis (-1 left or top, 0 middle, 1 right or bottom).
struct PictureUse {
  bool ownSize = false;
  int alignX = 0;
  int alignY = 0;
  // Scaled to fill the whole screen, centred: only the middle rows of the
  // picture that covers the screen are ever painted.
  bool fillsScreen = false;
  // What shows through a see-through picture: the page's ground colour.
  Rgb ground{255, 255, 255};
  friend bool operator==(const PictureUse&, const PictureUse&) = default;
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Size of the drawing area in points, and points per pixel as twips.
  [[nodiscard]] virtual float ScaleWidth() const = 0;
  [[nodiscard]] virtual float ScaleHeight() const = 0;
  [[nodiscard]] virtual float TwipsPerPixelX() const = 0;
  [[nodiscard]] virtual float TwipsPerPixelY() const = 0;

  // Type colour of Print, and the ground colour Clear fills with.
  [[nodiscard]] virtual Rgb ForeColour() const = 0;
  virtual void SetForeColour(Rgb colour) = 0;
  [[nodiscard]] virtual Rgb BackColour() const = 0;
  virtual void SetBackColour(Rgb colour) = 0;
  virtual void Clear() = 0;

  // True when a family of exactly this name is installed ("@" faces
  // included). Platforms substitute silently, so this asks by name.
  [[nodiscard]] virtual bool FaceInstalled(std::wstring_view face) = 0;
  // Shows the missing-face message (title "ZORANTE", error icon) and ends
  // the saver; returns only where the host keeps running (the tool, tests).
  virtual void ReportMissingFace(std::wstring_view message) = 0;

  // The font Print uses from now on.
  virtual void SelectFont(const FontSpec& font) = 0;
  // The hidden measuring label: the caption laid out in the given font
  // (escapement 0), as Print would draw it unturned.
  [[nodiscard]] virtual TextExtent MeasureText(const FontSpec& font, std::wstring_view caption) = 0;
  // How far the top of the face's ideographic em box (the square its
  // full-width characters are designed in) lies below the top of a print's
  // character cell, in points at the font's size: 0 where the two meet, more
  // for a face whose lines hold room above the em box. A print in the font
  // turned to 2700 has its em box that far left of its reference point.
  [[nodiscard]] virtual float EmBoxDrop(const FontSpec& font) = 0;
  // True when the "@" form of the font's face prints ch in a vertical form of
  // its own; false where it prints ch upright as horizontal text does.
  [[nodiscard]] virtual bool HasVerticalForm(const FontSpec& font, std::wstring_view ch) = 0;
  // Draws text with the top-left of its first cell at (x, y) (for a font at
  // 2700, the top-right of that cell), transparent, in the type colour.
  virtual void Print(float x, float y, std::wstring_view text) = 0;
  // The same text printed at each (x + dx, y + dy) in turn, in the type
  // colour. A platform may draw the copies in one pass (a decoration stamps
  // one glyph many times); the result must be that of the prints in order.
  virtual void PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) {
    for (const Offset& o : offsets) Print(x + o.dx, y + o.dy, text);
  }

  // The picture holder: loads a picture file (BMP/RLE/GIF/JPEG/PNG/TIFF and
  // whatever else the system decodes) (false: nothing
  // loaded, the previous picture stays), its size in pixels, and a copy of
  // part of it (source in pixels) onto the image (destination in points).
  // use tells how the picture is about to be painted, so that the holder
  // keeps what that needs: enough to cover the screen when scaled, the
  // picture's own pixels where they come into view at its own size.
  [[nodiscard]] virtual bool LoadPicture(const std::filesystem::path& file, const PictureUse& use) = 0;
  // A hint that file is loaded next, for the same use: it may be decoded meanwhile.
  virtual void PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) {
    (void)file;
    (void)use;
  }
  [[nodiscard]] virtual PointSize PictureSizePixels() const = 0;
  virtual void PaintPicture(const Rect& sourcePixels, const Rect& destination) = 0;

  // The credit label: its size, and where and in which colour it stands.
  [[nodiscard]] virtual PointSize CreditLabelSize() const = 0;
  virtual void PlaceCreditLabel(float left, float top, Rgb colour) = 0;

  // Shows the image on the screen at once.
  virtual void Refresh() = 0;
};

// Milliseconds as the platform's 32-bit tick count gives them (wrapping),
// and the one way the core lets time pass.
class Clock {
 public:
  virtual ~Clock() = default;
  [[nodiscard]] virtual std::int32_t TickCount() = 0;
  // Lets up to ms milliseconds pass, running window messages as they come
  // (none in the preview); may return early after a message. Never spins.
  virtual void Wait(std::int32_t ms) = 0;
};

// Time that never has to pass: the settings dialog's test display and
// drawing to a file start no stopwatch and wait for nothing.
class NoWaitClock final : public Clock {
 public:
  [[nodiscard]] std::int32_t TickCount() override { return 0; }
  void Wait(std::int32_t) override {}
};

// rand(n): a uniform integer from 0 to n - 1, drawn anew at each use; 0 when
// n < 1.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  [[nodiscard]] virtual int Rand(int n) = 0;
};

// The process-wide generator: uniform draws from a seeded engine.
class SeededRandom final : public RandomSource {
 public:
  explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
  [[nodiscard]] int Rand(int n) override {
    if (n < 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }

 private:
  std::mt19937 engine_;
};

}  // namespace zor
