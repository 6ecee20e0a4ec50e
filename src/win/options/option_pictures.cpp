#include "win/options/option_pictures.h"

#include <algorithm>

#include "win/common/handles.h"

namespace zor::win {

namespace {

void Fill(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  const RECT r{x0, y0, x1, y1};
  if (brush) FillRect(dc, &r, brush.get());
}

// A frame of the given thickness inside r.
void Frame(HDC dc, const RECT& r, int thickness, COLORREF colour) {
  Fill(dc, r.left, r.top, r.right, r.top + thickness, colour);
  Fill(dc, r.left, r.bottom - thickness, r.right, r.bottom, colour);
  Fill(dc, r.left, r.top, r.left + thickness, r.bottom, colour);
  Fill(dc, r.right - thickness, r.top, r.right, r.bottom, colour);
}

}  // namespace

void DrawGroundPicture(HDC dc, const RECT& r, bool blackGround, bool selected) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  // One line of the drawing: a pixel at 96 DPI, more on larger controls.
  const int line = std::max(1, std::min(w / 36, h / 27));
  const int pageW = std::min(w - 2 * line, (h - 2 * line) * 4 / 3);
  const int pageH = pageW * 3 / 4;
  if (pageW < 8) return;
  const int left = r.left + (w - pageW - line) / 2;
  const int top = r.top + (h - pageH - line) / 2;
  const COLORREF accent = GetSysColor(COLOR_HIGHLIGHT);
  Fill(dc, left + line, top + line, left + pageW + line, top + pageH + line, RGB(150, 150, 150));
  Fill(dc, left, top, left + pageW, top + pageH, blackGround ? RGB(0, 0, 0) : RGB(255, 255, 255));
  const RECT page{left, top, left + pageW, top + pageH};
  Frame(dc, page, selected ? 2 * line : line, selected ? accent : RGB(128, 128, 128));
  // The type: four characters in a row across the middle.
  constexpr int kCharacters = 4;
  const int pitch = std::max(2, pageW / 7);
  const int gap = std::max(1, pitch / 4);
  const int x0 = left + (pageW - kCharacters * pitch + gap) / 2;
  const int y0 = top + (pageH - pitch + gap) / 2;
  const COLORREF type = blackGround ? RGB(255, 255, 255) : RGB(0, 0, 0);
  for (int i = 0; i < kCharacters; ++i) {
    Fill(dc, x0 + i * pitch, y0, x0 + i * pitch + pitch - gap, y0 + pitch - gap, type);
  }
}

void DrawSwatch(HDC dc, const RECT& r, COLORREF colour, bool chosen) {
  const int h = r.bottom - r.top;
  const int line = std::max(1, h / 16);
  Fill(dc, r.left, r.top, r.right, r.bottom, colour);
  Frame(dc, r, chosen ? 2 * line : line, GetSysColor(COLOR_WINDOWTEXT));
}

}  // namespace zor::win
