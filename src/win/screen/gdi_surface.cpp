#include "win/screen/gdi_surface.h"

#include <cmath>
#include <tuple>

namespace zor::win {

bool Canvas::Create(int width, int height) {
  if (width < 1 || height < 1) return false;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return false;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return false;
  if (dc_ && old_) SelectObject(dc_.get(), old_);
  old_ = SelectObject(dc.get(), bitmap.get());
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  bits_ = bits;
  width_ = width;
  height_ = height;
  return true;
}

Canvas::~Canvas() {
  if (dc_ && old_) SelectObject(dc_.get(), old_);
}

GdiSurface::GdiSurface(HDC dc, int width, int height, float twipsPerPixelX, float twipsPerPixelY, SurfaceHost& host)
    : dc_(dc), width_(width), height_(height), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY), host_(host) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

int GdiSurface::PixelX(float points) const noexcept {
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0 / static_cast<double>(tppX_)));
}

int GdiSurface::PixelY(float points) const noexcept {
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0 / static_cast<double>(tppY_)));
}

void GdiSurface::Clear() {
  UniqueBrush brush(CreateSolidBrush(ToColorRef(back_)));
  RECT r{0, 0, width_, height_};
  FillRect(dc_, &r, brush.get());
}

namespace {

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FamilyExists(HDC dc, std::wstring_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  face.copy(lf.lfFaceName, face.size());
  bool found = false;
  EnumFontFamiliesExW(dc, &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

bool GdiSurface::FaceInstalled(std::wstring_view face) {
  const auto cached = faces_.find(face);
  if (cached != faces_.end()) return cached->second;
  bool installed = FamilyExists(dc_, face);
  // Some systems do not list the vertical "@" families: the face behind it then decides.
  if (!installed && face.size() > 1 && face.front() == L'@') installed = FamilyExists(dc_, face.substr(1));
  faces_.emplace(std::wstring(face), installed);
  return installed;
}

HFONT GdiSurface::FontFor(const FontSpec& font) {
  const int pixels = std::max(1, PixelY(font.size));
  auto key = std::make_tuple(font.face, pixels, font.bold, font.italic, font.escapement);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  LOGFONTW lf{};
  lf.lfHeight = -pixels;  // character height: the em is the font size
  lf.lfEscapement = font.escapement;
  lf.lfOrientation = font.escapement;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  font.face.copy(lf.lfFaceName, std::min<std::size_t>(font.face.size(), LF_FACESIZE - 1));
  UniqueFont created(CreateFontIndirectW(&lf));
  HFONT h = created.get();
  fonts_.emplace(std::move(key), std::move(created));
  return h;
}

void GdiSurface::SelectFont(const FontSpec& font) {
  selected_ = font;
  hasSelected_ = true;
  if (HFONT h = FontFor(font)) SelectObject(dc_, h);
}

TextExtent GdiSurface::MeasureText(const FontSpec& font, std::wstring_view caption) {
  FontSpec upright = font;
  upright.escapement = 0;
  HFONT h = FontFor(upright);
  if (!h) return {};
  SelectionRestorer keep(dc_, h);
  SIZE size{};
  GetTextExtentPoint32W(dc_, caption.data(), static_cast<int>(caption.size()), &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  TextExtent extent;
  extent.width = static_cast<float>(size.cx) * tppX_ / 20.0f;
  // The size the platform gave: the em height in whole pixels, back in points.
  extent.size = static_cast<float>(tm.tmHeight - tm.tmInternalLeading) * tppY_ / 20.0f;
  return extent;
}

void GdiSurface::Print(float x, float y, std::wstring_view text) {
  if (text.empty()) return;
  if (hasSelected_) SelectObject(dc_, FontFor(selected_));
  SetTextColor(dc_, ToColorRef(fore_));
  TextOutW(dc_, PixelX(x), PixelY(y), text.data(), static_cast<int>(text.size()));
}

bool GdiSurface::LoadPicture(const std::filesystem::path&) { return false; }

PointSize GdiSurface::PictureSizePixels() const { return {}; }

void GdiSurface::PaintPicture(const Rect&, const Rect&) {}

}  // namespace zor::win
