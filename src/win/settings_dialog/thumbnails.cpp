#include "win/settings_dialog/thumbnails.h"

#include <algorithm>
#include <cstdint>

#include "core/screen/page_frame.h"
#include "core/screen/area_shrinker.h"
#include "core/screen/saver_options.h"
#include "core/screen/sequencer.h"
#include "win/common/smooth_sketch.h"
#include "win/screen/gdi_surface.h"

namespace zor::win {

namespace {

constexpr float kTwipsPerPixel = 15.0f;
constexpr int kMaxSide = 4096;
// The page is drawn at least this wide and then averaged down, so that small
// type keeps its strokes.
constexpr int kDrawnWidth = 280;
constexpr int kMaxOversample = 3;

[[nodiscard]] int Oversample(int width) noexcept {
  return std::clamp((kDrawnWidth + width - 1) / width, 1, kMaxOversample);
}

// FNV-1a of the text: a message emphasised at random keeps its character
// from one drawing to the next.
[[nodiscard]] std::uint32_t SeedOf(std::wstring_view text) noexcept {
  std::uint32_t h = 2166136261u;
  for (const wchar_t c : text) {
    h ^= static_cast<std::uint32_t>(c) & 0xFFFFu;
    h *= 16777619u;
  }
  return h;
}

[[nodiscard]] COLORREF Ground(bool white) noexcept { return white ? RGB(255, 255, 255) : RGB(0, 0, 0); }

}  // namespace

UniqueBitmap RenderThumbnail(const ThumbnailInputs& in, int index, int width, int height) {
  if (index < 0 || index >= kThumbnailCount || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return UniqueBitmap();
  }
  const auto [layout, white] = TestThumbnail(index);
  DibPage thumbnail(width, height);
  if (!thumbnail.ok()) return UniqueBitmap();

  const int k = Oversample(width);
  DibPage page(width * k, height * k);
  if (!page.ok()) return UniqueBitmap();
  OffscreenHost host;
  GdiSurface surface(page.dc(), page.width(), page.height(), kTwipsPerPixel, kTwipsPerPixel, host);
  const SaverOptions options = SaverOptionsOf(in.header, in.settings);
  CardRequest request;
  request.text = ExpandKeywords(in.text, options.sequence.formalKanji, options.sequence.unitYear);
  request.format = FormatOfRecord(in.format);
  request.emphasis = options.sequence.emphasis;
  request.testDisplay = true;
  bool invert = white;
  if (request.text.empty()) {
    // Nothing to show (a message of blanks): the ground alone.
    surface.SetBackColour(TypeColour(!white));
    surface.Clear();
  } else {
    NoWaitClock clock;
    SeededRandom random(SeedOf(request.text));
    FrameState frame;
    NoBackground pictures;
    TitleCardRenderer renderer(surface, clock, pictures, random, frame);
    renderer.draw = options.draw;
    if (renderer.Render(layout, request, invert) == PageResult::kMissingFace || !host.missingFace.empty()) {
      return DrawLayoutSketch(index, width, height);
    }
  }
  GdiFlush();
  RowShrinker shrink(PixelSize{page.width(), page.height()}, PixelSize{width, height}, thumbnail.bits());
  for (int y = 0; y < page.height(); ++y) {
    shrink.AddRow(page.bits() + static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width()));
  }
  shrink.Finish();
  return thumbnail.Release();
}

UniqueBitmap DrawLayoutSketch(int index, int width, int height) {
  if (index < 0 || index >= kThumbnailCount || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return UniqueBitmap();
  }
  const auto [layout, white] = TestThumbnail(index);
  DibPage thumbnail(width, height);
  SmoothSketch sketch(width, height);
  if (!thumbnail.ok() || !sketch.ok()) return UniqueBitmap();
  sketch.Fill(Ground(white));
  // Whole pixels, laid out as the renderers lay out characters: 2 % margins,
  // an L filling both edges, a row in the middle.
  const COLORREF ink = white ? RGB(96, 96, 96) : RGB(176, 176, 176);
  const auto block = [&](int x, int y, int size) {
    const int inset = std::max(1, size / 8);
    sketch.Box(static_cast<float>(x + inset), static_cast<float>(y + inset), static_cast<float>(x + size - inset),
               static_cast<float>(y + size - inset), ink);
  };
  const auto share = [](int length, float part) { return static_cast<int>(static_cast<float>(length) * part); };
  if (layout == 'C') {
    constexpr int kCells = 6;
    const int size = std::max(2, std::min(share(width, 0.8f * 0.95f / kCells), share(height, 0.66f * 0.95f)));
    const int x0 = (width - kCells * size) / 2;
    for (int i = 0; i < kCells; ++i) block(x0 + i * size, (height - size) / 2, size);
  } else {
    const int size = std::max(2, share(std::min(width, height), 0.95f / 4.0f));
    const int left = share(width, 0.02f);
    const int top = share(height, 0.02f);
    const int right = width - left;
    const int bottom = height - top;
    const int across = std::max(1, (right - left) / size);
    const int down = std::max(1, (bottom - top) / size);
    for (int i = 0; i < down; ++i) {
      if (layout == 'A') {
        block(right - size, top + i * size, size);
      } else {
        block(left, bottom - (i + 1) * size, size);
      }
    }
    for (int i = 1; i < across; ++i) {
      if (layout == 'A') {
        block(right - (i + 1) * size, top, size);
      } else {
        block(left + i * size, bottom - size, size);
      }
    }
  }
  sketch.ShrinkInto(thumbnail.bits());
  return thumbnail.Release();
}

}  // namespace zor::win
