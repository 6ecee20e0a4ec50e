// Times composing and presenting one 32-character title card with the
// outline decoration, against one full-screen blit of the same size.
// Usage: win_card_bench [WIDTH HEIGHT [PAGES]] (run on a display at least that large).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/screen/sequencer.h"
#include "win/screen/gdi_surface.h"

namespace {

using namespace zor;
using namespace zor::win;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int w = argc > 2 ? std::atoi(argv[1]) : 1920;
  const int h = argc > 2 ? std::atoi(argv[2]) : 1080;
  const int pages = argc > 3 ? std::atoi(argv[3]) : 15;

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CardBench";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"CardBench", L"CardBench", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                              nullptr, wc.hInstance, nullptr);
  HDC screen = GetDC(hwnd);

  DibImage canvas;
  if (!canvas.Create(w, h)) return 1;
  OffscreenHost host;
  GdiSurface surface(canvas.dc(), w, h, 15.0f, 15.0f, host);
  NoWaitClock clock;
  SeededRandom random(1);
  FrameState frame;
  NoBackground pictures;
  TitleCardRenderer renderer(surface, clock, pictures, random, frame);
  renderer.draw.typeFace = L"IPAMincho";
  renderer.draw.decorationStyle = 2;  // outline: 17 prints a character
  CardRequest request;
  request.text = L"夜明け前が一番暗いと言うけれど今日の空は明るく晴れて気持ちが良いですね";
  request.text.resize(32);
  request.testDisplay = true;
  request.emphasis.on = true;

  // Parts of a page: clearing the image, and the same card undecorated.
  std::vector<double> clear, plain;
  for (int i = 0; i < pages; ++i) {
    const double t0 = Now();
    surface.Clear();
    GdiFlush();
    clear.push_back(Now() - t0);
  }
  renderer.draw.decorationStyle = 0;
  for (int i = 0; i < pages + 2; ++i) {
    bool invert = false;
    const double t0 = Now();
    (void)renderer.Render('B', request, invert);
    GdiFlush();
    if (i >= 2) plain.push_back(Now() - t0);
  }
  renderer.draw.decorationStyle = 2;
  std::printf("card_bench %dx%d parts: clear %.1f ms, undecorated page %.1f ms\n", w, h, Median(clear), Median(plain));

  std::vector<double> compose, present, blit;
  for (int i = 0; i < pages + 2; ++i) {
    bool invert = (i % 2) == 1;
    const double t0 = Now();
    (void)renderer.Render('B', request, invert);
    GdiFlush();
    const double t1 = Now();
    BitBlt(screen, 0, 0, w, h, canvas.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    const double t2 = Now();
    BitBlt(screen, 0, 0, w, h, canvas.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    const double t3 = Now();
    if (i >= 2) {  // the first pages warm the font caches
      compose.push_back(t1 - t0);
      present.push_back(t2 - t1);
      blit.push_back(t3 - t2);
    }
  }
  const double page = Median(compose) + Median(present);
  std::printf("card_bench %dx%d outline 32 characters: compose %.1f ms, present %.1f ms, page %.1f ms; "
              "blit %.1f ms; page/blit %.2f (median of %d)\n",
              w, h, Median(compose), Median(present), page, Median(blit), page / Median(blit), pages);
  ReleaseDC(hwnd, screen);
  DestroyWindow(hwnd);
  return 0;
}
