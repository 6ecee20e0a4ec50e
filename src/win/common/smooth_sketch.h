// Small drawings with smooth edges: shapes are drawn with GDI at four times
// the target size and averaged down, so diagonals and letters stay clean at
// any DPI without relying on anti-aliasing support of the DC drawn on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "win/common/handles.h"

namespace zor::win {

// Coordinates are design units: x_pixel = originX + x × unit (and the same
// for y), in pixels of the target.
class SmoothSketch {
 public:
  static constexpr int kOversample = 4;

  struct Point {
    float x = 0.0f;
    float y = 0.0f;
  };

  // A target of width × height pixels; ok() is false when memory ran out.
  SmoothSketch(int width, int height);
  ~SmoothSketch();
  SmoothSketch(const SmoothSketch&) = delete;
  SmoothSketch& operator=(const SmoothSketch&) = delete;

  [[nodiscard]] bool ok() const noexcept { return bits_ != nullptr; }
  [[nodiscard]] int width() const noexcept { return width_; }
  [[nodiscard]] int height() const noexcept { return height_; }

  void SetUnits(float originX, float originY, float unit) noexcept;

  // The whole area in one colour, or as a copy of width × height target
  // pixels (0x00RRGGBB), each pixel a block of the large page.
  void Fill(COLORREF colour);
  void FillFrom(const std::uint32_t* pixels);

  void Polygon(std::initializer_list<Point> points, COLORREF colour);
  void Box(float x0, float y0, float x1, float y1, COLORREF colour);
  // A box outline whose lines are thickness units wide, inside the box.
  void Frame(float x0, float y0, float x1, float y1, float thickness, COLORREF colour);
  // One bold letter whose ink is centred at x and stands on the baseline,
  // cap height capHeight units, its strokes thickened by `heavier` units.
  void Letter(wchar_t letter, float x, float baseline, float capHeight, float heavier, COLORREF colour);

  // The averaged result into width × height pixels.
  void ShrinkInto(std::uint32_t* pixels) const;

 private:
  [[nodiscard]] int X(float x) const noexcept;
  [[nodiscard]] int Y(float y) const noexcept;

  int width_;
  int height_;
  float originX_ = 0.0f;
  float originY_ = 0.0f;
  float unit_ = 1.0f;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// A DIB section of width × height selected into a memory DC, for drawing
// that is handed over as a bitmap.
class DibPage {
 public:
  DibPage(int width, int height);
  ~DibPage();
  DibPage(const DibPage&) = delete;
  DibPage& operator=(const DibPage&) = delete;

  [[nodiscard]] bool ok() const noexcept { return bits_ != nullptr; }
  [[nodiscard]] HDC dc() const noexcept { return dc_.get(); }
  [[nodiscard]] std::uint32_t* bits() const noexcept { return bits_; }
  [[nodiscard]] int width() const noexcept { return width_; }
  [[nodiscard]] int height() const noexcept { return height_; }
  // Takes the bitmap out of the DC and hands it over; the page is empty then.
  [[nodiscard]] UniqueBitmap Release();

 private:
  int width_;
  int height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// Draws on a part of dc through a sketch: the pixels under r are read, drawn
// on smoothly by paint and written back. Where the DC cannot be read (no
// pixels behind it), the sketch starts from the DC's background colour.
template <typename Paint>
void PaintSmoothly(HDC dc, const RECT& r, Paint&& paint) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w < 1 || h < 1) return;
  DibPage base(w, h);
  SmoothSketch sketch(w, h);
  if (!base.ok() || !sketch.ok()) return;
  if (BitBlt(base.dc(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY)) {
    GdiFlush();
    sketch.FillFrom(base.bits());
  } else {
    sketch.Fill(GetBkColor(dc));
  }
  paint(sketch);
  sketch.ShrinkInto(base.bits());
  BitBlt(dc, r.left, r.top, w, h, base.dc(), 0, 0, SRCCOPY);
}

}  // namespace zor::win
