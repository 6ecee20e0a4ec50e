// 32-bit top-down device-independent bitmaps: every image the program draws on.
#pragma once

#include <windows.h>

#include "win/common/handles.h"

namespace zor::win {

// A width × height DIB section whose pixels (0x00RRGGBB, rows from the top)
// are returned in bits; empty on failure.
[[nodiscard]] inline UniqueBitmap CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  *bits = nullptr;
  if (width < 1 || height < 1) return UniqueBitmap();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  UniqueBitmap bitmap(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
  if (!*bits) bitmap.reset();
  return bitmap;
}

}  // namespace zor::win
