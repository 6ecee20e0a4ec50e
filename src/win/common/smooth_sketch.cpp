#include "win/common/smooth_sketch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/screen/area_shrinker.h"
#include "win/common/dib.h"

namespace zor::win {

namespace {

constexpr wchar_t kLetterFace[] = L"Tahoma";

[[nodiscard]] UniqueFont LetterFont(int emPixels) {
  LOGFONTW lf{};
  lf.lfHeight = -std::max(emPixels, 1);
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(lf.lfFaceName, kLetterFace, LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&lf));
}

void DeletePen(HPEN pen) noexcept { DeleteObject(pen); }

[[nodiscard]] bool GlyphBox(HDC dc, wchar_t letter, GLYPHMETRICS& gm) {
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  return GetGlyphOutlineW(dc, letter, GGO_METRICS, &gm, 0, nullptr, &identity) != GDI_ERROR;
}

}  // namespace

SmoothSketch::SmoothSketch(int width, int height) : width_(width), height_(height) {
  if (width < 1 || height < 1 || width > 4096 || height > 4096) return;
  dc_.reset(CreateCompatibleDC(nullptr));
  if (!dc_) return;
  void* bits = nullptr;
  bitmap_ = CreateTopDownDib(dc_.get(), width * kOversample, height * kOversample, &bits);
  if (!bitmap_) return;
  old_ = SelectObject(dc_.get(), bitmap_.get());
  bits_ = static_cast<std::uint32_t*>(bits);
  SelectObject(dc_.get(), GetStockObject(NULL_PEN));
  SelectObject(dc_.get(), GetStockObject(DC_BRUSH));
  SetBkMode(dc_.get(), TRANSPARENT);
  SetPolyFillMode(dc_.get(), WINDING);
}

SmoothSketch::~SmoothSketch() {
  if (old_) SelectObject(dc_.get(), old_);
}

void SmoothSketch::SetUnits(float originX, float originY, float unit) noexcept {
  originX_ = originX;
  originY_ = originY;
  unit_ = unit;
}

int SmoothSketch::X(float x) const noexcept {
  return static_cast<int>(std::lround((originX_ + x * unit_) * static_cast<float>(kOversample)));
}

int SmoothSketch::Y(float y) const noexcept {
  return static_cast<int>(std::lround((originY_ + y * unit_) * static_cast<float>(kOversample)));
}

void SmoothSketch::Fill(COLORREF colour) {
  if (!ok()) return;
  GdiFlush();
  const std::uint32_t pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  std::fill_n(bits_, static_cast<std::size_t>(width_) * height_ * kOversample * kOversample, pixel);
}

void SmoothSketch::FillFrom(const std::uint32_t* pixels) {
  if (!ok()) return;
  GdiFlush();
  const int bigW = width_ * kOversample;
  for (int y = 0; y < height_ * kOversample; ++y) {
    const std::uint32_t* source = pixels + static_cast<std::size_t>(y / kOversample) * width_;
    std::uint32_t* row = bits_ + static_cast<std::size_t>(y) * bigW;
    for (int x = 0; x < bigW; ++x) row[x] = source[x / kOversample] & 0xFFFFFF;
  }
}

void SmoothSketch::Polygon(std::initializer_list<Point> points, COLORREF colour) {
  if (!ok() || points.size() < 3) return;
  std::vector<POINT> device;
  device.reserve(points.size());
  for (const Point& p : points) device.push_back({X(p.x), Y(p.y)});
  SetDCBrushColor(dc_.get(), colour);
  ::Polygon(dc_.get(), device.data(), static_cast<int>(device.size()));
}

void SmoothSketch::Box(float x0, float y0, float x1, float y1, COLORREF colour) {
  if (!ok()) return;
  SetDCBrushColor(dc_.get(), colour);
  const RECT r{X(x0), Y(y0), X(x1), Y(y1)};
  FillRect(dc_.get(), &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void SmoothSketch::Frame(float x0, float y0, float x1, float y1, float thickness, COLORREF colour) {
  Box(x0, y0, x1, y0 + thickness, colour);
  Box(x0, y1 - thickness, x1, y1, colour);
  Box(x0, y0 + thickness, x0 + thickness, y1 - thickness, colour);
  Box(x1 - thickness, y0 + thickness, x1, y1 - thickness, colour);
}

void SmoothSketch::Letter(wchar_t letter, float x, float baseline, float capHeight, float heavier, COLORREF colour) {
  if (!ok()) return;
  // The em size that gives the cap height asked for, from the face's own "H";
  // the outline stroke adds to the height, so the fill is made that much smaller.
  const float strokePixels = heavier * unit_ * static_cast<float>(kOversample);
  const float capPixels = std::max(capHeight * unit_ * static_cast<float>(kOversample) - strokePixels, 1.0f);
  constexpr int kProbeEm = 200;
  int em = static_cast<int>(std::lround(capPixels / 0.72f));
  {
    UniqueFont probe = LetterFont(kProbeEm);
    SelectionRestorer selected(dc_.get(), probe.get());
    GLYPHMETRICS gm{};
    if (probe && GlyphBox(dc_.get(), L'H', gm) && gm.gmBlackBoxY > 0) {
      em = static_cast<int>(std::lround(capPixels * kProbeEm / static_cast<float>(gm.gmBlackBoxY)));
    }
  }
  UniqueFont font = LetterFont(em);
  if (!font) return;
  SelectionRestorer selected(dc_.get(), font.get());
  GLYPHMETRICS gm{};
  if (!GlyphBox(dc_.get(), letter, gm)) return;
  const int left = X(x) - gm.gmptGlyphOrigin.x - static_cast<int>(gm.gmBlackBoxX) / 2;
  const int baselineY = Y(baseline) - static_cast<int>(std::lround(strokePixels / 2.0f));
  SetTextAlign(dc_.get(), TA_LEFT | TA_BASELINE);
  SetTextColor(dc_.get(), colour);
  const int penWidth = static_cast<int>(std::lround(strokePixels));
  if (penWidth < 1) {
    TextOutW(dc_.get(), left, baselineY, &letter, 1);
    return;
  }
  // The glyph's outline filled and stroked: a heavier letter than the face's bold.
  SetDCBrushColor(dc_.get(), colour);
  LOGBRUSH brush{BS_SOLID, colour, 0};
  UniqueHandle<HPEN, DeletePen> pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                                 static_cast<DWORD>(penWidth), &brush, 0, nullptr));
  if (!pen) return;
  SelectionRestorer usePen(dc_.get(), pen.get());
  BeginPath(dc_.get());
  TextOutW(dc_.get(), left, baselineY, &letter, 1);
  EndPath(dc_.get());
  StrokeAndFillPath(dc_.get());
}

void SmoothSketch::ShrinkInto(std::uint32_t* pixels) const {
  if (!ok()) return;
  GdiFlush();
  const PixelSize big{width_ * kOversample, height_ * kOversample};
  RowShrinker shrink(big, PixelSize{width_, height_}, pixels);
  for (int y = 0; y < big.height; ++y) shrink.AddRow(bits_ + static_cast<std::size_t>(y) * big.width);
  shrink.Finish();
}

DibPage::DibPage(int width, int height) : width_(width), height_(height) {
  dc_.reset(CreateCompatibleDC(nullptr));
  if (!dc_) return;
  void* bits = nullptr;
  bitmap_ = CreateTopDownDib(dc_.get(), width, height, &bits);
  if (!bitmap_) return;
  old_ = SelectObject(dc_.get(), bitmap_.get());
  bits_ = static_cast<std::uint32_t*>(bits);
}

DibPage::~DibPage() {
  if (old_) SelectObject(dc_.get(), old_);
}

UniqueBitmap DibPage::Release() {
  GdiFlush();
  if (old_) SelectObject(dc_.get(), old_);
  old_ = nullptr;
  bits_ = nullptr;
  return std::move(bitmap_);
}

}  // namespace zor::win
