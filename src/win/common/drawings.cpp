#include "win/common/drawings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "win/common/handles.h"
#include "win/common/smooth_sketch.h"

namespace zor::win {

namespace {

constexpr COLORREF kMarkerInk = RGB(0, 72, 168);

// A grid of unitsX × unitsY square design units centred in the sketch, as
// large as fits.
void CentreGrid(SmoothSketch& sketch, float unitsX, float unitsY) {
  const auto w = static_cast<float>(sketch.width());
  const auto h = static_cast<float>(sketch.height());
  const float unit = std::min(w / unitsX, h / unitsY);
  sketch.SetUnits((w - unitsX * unit) / 2.0f, (h - unitsY * unit) / 2.0f, unit);
}

void DeletePen(HPEN pen) noexcept { DeleteObject(pen); }
using UniquePen = UniqueHandle<HPEN, DeletePen>;

// A marker on a 16-unit grid: along the bottom a short bar on the right with
// the arrow pointing left from it, the letter above; or the mirror image.
void ArrowMarker(SmoothSketch& s, bool pointsLeft, wchar_t letter) {
  const auto mx = [pointsLeft](float x) { return pointsLeft ? x : 16.0f - x; };
  const auto box = [&](float x0, float y0, float x1, float y1) {
    s.Box(std::min(mx(x0), mx(x1)), y0, std::max(mx(x0), mx(x1)), y1, kMarkerInk);
  };
  box(13.5f, 9.0f, 15.25f, 15.75f);  // bar
  box(4.5f, 11.75f, 13.5f, 13.75f);  // shaft
  s.Polygon({{mx(0.5f), 12.75f}, {mx(5.25f), 9.5f}, {mx(5.25f), 16.0f}}, kMarkerInk);
  s.Letter(letter, mx(8.5f), 8.25f, 7.75f, 0.25f, kMarkerInk);
}

// Layout pictures: a page 32 units wide (4:3); characters sit in cells of
// kPitch with kMargin to the page's edges.
constexpr float kPageW = 32.0f;
constexpr float kPitch = 4.4f;
constexpr float kMargin = 1.6f;

}  // namespace

int MarkerPictureOfKind(char kind) noexcept {
  return kind >= 'A' && kind <= 'D' ? 2 + (kind - 'A') : 0;
}

void DrawFoldMarker(HDC dc, const RECT& r, int picture) {
  if (picture < 0 || picture >= kMarkerPictureCount || picture == 1) return;
  PaintSmoothly(dc, r, [picture](SmoothSketch& s) {
    CentreGrid(s, 16.0f, 16.0f);
    switch (picture) {
      case 0:
        s.Polygon({{8.0f, 3.0f}, {13.5f, 13.0f}, {2.5f, 13.0f}}, kMarkerInk);
        break;
      case 2:  // B, pointing left and right
      case 3:
        ArrowMarker(s, picture == 2, L'B');
        break;
      case 4:  // s, pointing left and right
      case 5:
        ArrowMarker(s, picture == 4, L's');
        break;
      default:
        break;
    }
  });
}

void DrawLayoutPicture(HDC dc, const RECT& r, int which, bool selected) {
  if (which < 0 || which >= kLayoutPictureCount) return;
  PaintSmoothly(dc, r, [which, selected](SmoothSketch& s) {
    // Whole pixels throughout: the picture is all upright boxes, which stay
    // crisp only on the pixel grid.
    s.SetUnits(0.0f, 0.0f, 1.0f);
    const auto px = [](float v) { return std::max(1, static_cast<int>(std::lround(v))); };
    const int shadow = px(static_cast<float>(s.width()) / 48.0f);
    const int pageW = std::min(s.width() - 2 * shadow, (s.height() - 2 * shadow) * 4 / 3);
    const int pageH = pageW * 3 / 4;
    if (pageW < 8) return;
    const float unit = static_cast<float>(pageW) / kPageW;
    const int left = (s.width() - pageW - shadow) / 2;
    const int top = (s.height() - pageH - shadow) / 2;
    const auto box = [&s](int x0, int y0, int x1, int y1, COLORREF c) {
      s.Box(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1), static_cast<float>(y1), c);
    };
    const COLORREF accent = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF ink = selected ? accent : RGB(64, 64, 64);
    box(left + shadow, top + shadow, left + pageW + shadow, top + pageH + shadow, RGB(150, 150, 150));
    box(left, top, left + pageW, top + pageH, RGB(255, 255, 255));
    s.Frame(static_cast<float>(left), static_cast<float>(top), static_cast<float>(left + pageW),
            static_cast<float>(top + pageH), static_cast<float>(selected ? shadow + 1 : shadow),
            selected ? accent : RGB(128, 128, 128));
    const int pitch = std::max(3, px(kPitch * unit));
    const int gap = px(static_cast<float>(pitch) * 0.22f);
    const int margin = px(kMargin * unit) + shadow + 1;  // clear of the frame
    const auto character = [&](int x, int y) { box(x, y, x + pitch - gap, y + pitch - gap, ink); };
    const int across = (pageW - 2 * margin + gap) / pitch;
    const int down = (pageH - 2 * margin + gap) / pitch;
    if (which == 2) {
      constexpr int kCells = 5;
      const int x0 = left + (pageW - kCells * pitch + gap) / 2;
      for (int i = 0; i < kCells; ++i) character(x0 + i * pitch, top + (pageH - pitch + gap) / 2);
      return;
    }
    // The corner cell, then the row and the column that meet there.
    const bool topRight = which == 0;
    const int cornerX = topRight ? left + pageW - margin - pitch + gap : left + margin;
    const int cornerY = topRight ? top + margin : top + pageH - margin - pitch + gap;
    const int stepX = topRight ? -pitch : pitch;
    const int stepY = topRight ? pitch : -pitch;
    character(cornerX, cornerY);
    for (int i = 1; i < across; ++i) character(cornerX + i * stepX, cornerY);
    for (int j = 1; j < down; ++j) character(cornerX, cornerY + j * stepY);
  });
}

HCURSOR CreateDragCursor() {
  const int cx = std::max(GetSystemMetrics(SM_CXCURSOR), 16);
  const int cy = std::max(GetSystemMetrics(SM_CYCURSOR), 16);
  DibPage page(cx, cy);
  if (!page.ok()) return nullptr;
  // Drawn on a key colour that becomes transparent: the pixels are either
  // fully opaque or fully clear, so no premultiplication question arises.
  constexpr std::uint32_t kKey = 0xFF00FF;
  std::fill_n(page.bits(), static_cast<std::size_t>(cx) * cy, kKey);
  const float unit = static_cast<float>(std::min(cx, cy)) / 32.0f;
  const int penWidth = std::max(1, static_cast<int>(std::lround(unit)));
  // Keeps the outline of the tip inside the bitmap.
  const auto offset = static_cast<float>(penWidth / 2);
  const auto at = [&](float x, float y) {
    return POINT{static_cast<LONG>(std::lround(offset + x * unit)), static_cast<LONG>(std::lround(offset + y * unit))};
  };
  UniquePen pen(CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0)));
  UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
  UniqueBrush grey(CreateSolidBrush(RGB(96, 96, 96)));
  if (!pen || !white || !grey) return nullptr;
  {
    SelectionRestorer usePen(page.dc(), pen.get());
    SelectionRestorer useBrush(page.dc(), white.get());
    // The row being carried, under and to the right of the arrow.
    const POINT rowTopLeft = at(11.0f, 20.0f);
    const POINT rowBottomRight = at(28.0f, 29.0f);
    Rectangle(page.dc(), rowTopLeft.x, rowTopLeft.y, rowBottomRight.x, rowBottomRight.y);
    const POINT lineTopLeft = at(14.0f, 23.5f);
    const POINT lineBottomRight = at(25.0f, 25.5f);
    const RECT line{lineTopLeft.x, lineTopLeft.y, lineBottomRight.x, lineBottomRight.y};
    FillRect(page.dc(), &line, grey.get());
    const POINT arrow[] = {at(0, 0), at(0, 17), at(4, 13), at(7, 20), at(9.5f, 19), at(6.5f, 12.5f), at(12, 12.5f)};
    Polygon(page.dc(), arrow, static_cast<int>(std::size(arrow)));
  }
  GdiFlush();

  // AND mask: 1 keeps the screen; rows padded to 16 bits.
  const int maskStride = (cx + 15) / 16 * 2;
  std::vector<BYTE> mask(static_cast<std::size_t>(maskStride) * cy, 0);
  std::uint32_t* pixels = page.bits();
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      std::uint32_t& p = pixels[static_cast<std::size_t>(y) * cx + x];
      if ((p & 0xFFFFFF) == kKey) {
        p = 0;
        mask[static_cast<std::size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
      } else {
        p |= 0xFF000000u;
      }
    }
  }
  const POINT hot = at(0, 0);
  UniqueBitmap maskBitmap(CreateBitmap(cx, cy, 1, 1, mask.data()));
  UniqueBitmap colour = page.Release();
  if (!maskBitmap || !colour) return nullptr;
  ICONINFO info{};
  info.fIcon = FALSE;
  info.xHotspot = static_cast<DWORD>(std::max(0L, hot.x));
  info.yHotspot = static_cast<DWORD>(std::max(0L, hot.y));
  info.hbmMask = maskBitmap.get();
  info.hbmColor = colour.get();
  return CreateIconIndirect(&info);
}

}  // namespace zor::win
