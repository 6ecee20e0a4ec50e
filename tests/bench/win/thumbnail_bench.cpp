// Times the six layout thumbnails of one message, as the list editor redraws
// them on every selection change.
// Usage: win_thumbnail_bench [WIDTH HEIGHT [ROUNDS]]     (default 96 72 20)
//        win_thumbnail_bench sheet FILE.png               every dialog picture on one sheet
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win/common/com.h"
#include "win/screen/image_file.h"
#include "win/common/drawings.h"
#include "win/common/smooth_sketch.h"
#include "win/settings_dialog/thumbnails.h"

namespace {

using namespace zor;
using namespace zor::win;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

ThumbnailInputs Message(std::wstring text, std::int16_t decoration) {
  ThumbnailInputs in;
  in.text = std::move(text);
  in.settings.typeFace = L"IPAMincho";
  in.settings.decorationStyle = decoration;
  in.header.options.emphasisOn = -1;
  in.header.options.colour = 12;
  return in;
}

// Six rounds of six thumbnails: the first call, then the median of the rest.
int Time(int w, int h, int rounds) {
  const ThumbnailInputs in = Message(L"夜明け前が一番暗いと言うけれど", 0);
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const double t0 = Now();
    for (int i = 0; i < kThumbnailCount; ++i) {
      if (!RenderThumbnail(in, i, w, h)) {
        std::fprintf(stderr, "thumbnail %d failed\n", i);
        return 1;
      }
    }
    times.push_back(Now() - t0);
  }
  const double first = times.front();
  std::vector<double> rest(times.begin() + 1, times.end());
  std::sort(rest.begin(), rest.end());
  std::printf("six thumbnails of %dx%d: first %.1f ms, then median %.1f ms (min %.1f, max %.1f) over %zu rounds\n", w,
              h, first, rest.empty() ? first : rest[rest.size() / 2], rest.empty() ? first : rest.front(),
              rest.empty() ? first : rest.back(), rest.size());
  return 0;
}

void Put(HDC sheet, HBITMAP bitmap, int x, int y) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HDC source = CreateCompatibleDC(sheet);
  HGDIOBJ old = SelectObject(source, bitmap);
  BitBlt(sheet, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void Fill(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  const RECT r{x0, y0, x1, y1};
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Rows: thumbnails of three messages (all full-width with random emphasis;
// with a half-width character and a shadow; two characters with an
// outline), the fallback sketches, the fold markers at 16 and 24 pixels,
// the layout pictures plain and selected at 48x36 and 72x54, and the drag
// cursor.
int Sheet(const wchar_t* file) {
  ComScope com;
  constexpr int kW = 96;
  constexpr int kH = 72;
  constexpr int kGap = 12;
  const int width = kGap + kThumbnailCount * (kW + kGap);
  const int height = 4 * (kH + kGap) + 24 + kGap + 36 + kGap + 54 + kGap + 48 + kGap * 2;
  DibPage sheet(width, height);
  if (!sheet.ok()) return 1;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  Fill(sheet.dc(), 0, 0, width, height, face);
  int y = kGap;
  const ThumbnailInputs messages[] = {Message(L"今日は良い天気ですね", 0), Message(L"Rome was not built in a day.", 3),
                                      Message(L"\\date", 2)};
  for (const ThumbnailInputs& in : messages) {
    for (int i = 0; i < kThumbnailCount; ++i) {
      UniqueBitmap b = RenderThumbnail(in, i, kW, kH);
      if (!b) return 1;
      Put(sheet.dc(), b.get(), kGap + i * (kW + kGap), y);
    }
    y += kH + kGap;
  }
  for (int i = 0; i < kThumbnailCount; ++i) {
    UniqueBitmap b = DrawLayoutSketch(i, kW, kH);
    if (!b) return 1;
    Put(sheet.dc(), b.get(), kGap + i * (kW + kGap), y);
  }
  y += kH + kGap;
  int x = kGap;
  for (const int size : {16, 24}) {
    for (int p = 0; p < kMarkerPictureCount; ++p) {
      Fill(sheet.dc(), x - 1, y - 1, x + size + 1, y + size + 1, RGB(255, 255, 255));
      DrawFoldMarker(sheet.dc(), RECT{x, y, x + size, y + size}, p);
      x += size + kGap;
    }
    x += kGap;
  }
  y += 24 + kGap;
  for (const auto& [w, h] : {std::pair{48, 36}, std::pair{72, 54}}) {
    x = kGap;
    for (const bool selected : {false, true}) {
      for (int which = 0; which < kLayoutPictureCount; ++which) {
        DrawLayoutPicture(sheet.dc(), RECT{x, y, x + w, y + h}, which, selected);
        x += w + kGap / 2;
      }
      x += kGap;
    }
    y += h + kGap;
  }
  HCURSOR cursor = CreateDragCursor();
  if (!cursor) return 1;
  Fill(sheet.dc(), kGap, y, kGap + 48, y + 48, RGB(255, 255, 255));
  DrawIconEx(sheet.dc(), kGap + 8, y + 8, cursor, 0, 0, 0, nullptr, DI_NORMAL);
  Fill(sheet.dc(), kGap + 60, y, kGap + 108, y + 48, RGB(0, 90, 160));
  DrawIconEx(sheet.dc(), kGap + 68, y + 8, cursor, 0, 0, 0, nullptr, DI_NORMAL);
  DestroyCursor(cursor);
  GdiFlush();
  const std::wstring error = WriteImageFile(file, sheet.bits(), width, height);
  if (!error.empty()) {
    std::fwprintf(stderr, L"%ls\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "sheet") {
    const std::string name = argv[2];
    return Sheet(std::wstring(name.begin(), name.end()).c_str());
  }
  const int w = argc > 2 ? std::atoi(argv[1]) : 96;
  const int h = argc > 2 ? std::atoi(argv[2]) : 72;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 20;
  if (w < 1 || h < 1 || rounds < 1) return 2;
  return Time(w, h, rounds);
}
