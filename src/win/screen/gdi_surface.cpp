#include "win/screen/gdi_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "win/common/faces.h"

namespace zor::win {

GdiSurface::GdiSurface(HDC dc, int width, int height, float twipsPerPixelX, float twipsPerPixelY, SurfaceHost& host)
    : dc_(dc), width_(width), height_(height), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY), host_(host) {
  PrepareDc(dc_);
}

void GdiSurface::PrepareDc(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  // Drawing bounds tell Clear what differs from the ground.
  SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_RESET);
}

bool GdiSurface::ChangeToSpareImage() {
  if (!spare_.dc) {
    // Made only once a plain ground gives way to another plain one.
    if (spareAsked_ || !clean_) return false;
    spareAsked_ = true;
    spare_.dc = host_.SecondImage();
    if (!spare_.dc) return false;
    PrepareDc(spare_.dc);
  }
  if (!(spare_.clean && spare_.cleanColour == back_) && !clean_) return false;
  std::swap(dc_, spare_.dc);
  std::swap(imageChecked_, spare_.checked);
  std::swap(imageBits_, spare_.bits);
  std::swap(imageStride_, spare_.stride);
  std::swap(clean_, spare_.clean);
  std::swap(cleanColour_, spare_.cleanColour);
  std::swap(dirty_, spare_.dirty);
  if (hasSelected_ && selectedFont_) SelectObject(dc_, selectedFont_);
  host_.ShowImage(dc_);
  // The screen shows the other image: all of this one is to be shown.
  AddChanged(RECT{0, 0, width_, height_});
  return true;
}

int GdiSurface::PixelX(float points) const noexcept {
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0 / static_cast<double>(tppX_)));
}

int GdiSurface::PixelY(float points) const noexcept {
  return static_cast<int>(std::lround(static_cast<double>(points) * 20.0 / static_cast<double>(tppY_)));
}

void GdiSurface::Clear() {
  if (rehearsing_) {
    rehearsalGround_ = back_;
    return;
  }
  UniqueBrush brush(CreateSolidBrush(ToColorRef(back_)));
  if (!(clean_ && cleanColour_ == back_)) (void)ChangeToSpareImage();
  if (clean_ && cleanColour_ == back_) {
    // Only what was drawn since the last clear differs from the ground.
    for (const RECT& r : dirty_) {
      FillRect(dc_, &r, brush.get());
      AddChanged(r);
    }
  } else {
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush.get());
    AddChanged(all);
    // The drawing bounds must report the fill, or they cannot be trusted.
    RECT bounds{};
    clean_ = (GetBoundsRect(dc_, &bounds, 0) & DCB_SET) != 0 && EqualRect(&bounds, &all);
  }
  GetBoundsRect(dc_, nullptr, DCB_RESET);
  dirty_.clear();
  cleanColour_ = back_;
}

void GdiSurface::NoteDrawn() {
  RECT r{};
  if ((GetBoundsRect(dc_, &r, DCB_RESET) & DCB_SET) != 0) AddDirty(r);
}

void GdiSurface::AddDirty(RECT r) {
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, width_);
  r.bottom = std::min<LONG>(r.bottom, height_);
  if (r.left >= r.right || r.top >= r.bottom) return;
  AddChanged(r);
  dirty_.push_back(r);
  if (dirty_.size() > kMaxDirty) {
    RECT all = dirty_.front();
    for (const RECT& d : dirty_) UnionRect(&all, &all, &d);
    dirty_.assign(1, all);
  }
}

void GdiSurface::AddChanged(const RECT& given) {
  RECT r{std::max<LONG>(given.left, 0), std::max<LONG>(given.top, 0), std::min<LONG>(given.right, width_),
         std::min<LONG>(given.bottom, height_)};
  if (r.left >= r.right || r.top >= r.bottom) return;
  const auto area = [](LONG l, LONG t, LONG rr, LONG b) {
    return rr > l && b > t ? static_cast<long long>(rr - l) * static_cast<long long>(b - t) : 0LL;
  };
  // Drawing again over what is already noted (tiles, copies) adds nothing.
  for (const RECT& c : changed_) {
    if (r.left >= c.left && r.top >= c.top && r.right <= c.right && r.bottom <= c.bottom) return;
  }
  // Merged into a rectangle it overlaps or nearly adjoins when the union
  // wastes little: the glyphs of a run join into one band. Merging may make
  // a rectangle meet others, so it goes round again.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < changed_.size(); ++i) {
      const RECT& c = changed_[i];
      const RECT u{std::min(r.left, c.left), std::min(r.top, c.top), std::max(r.right, c.right),
                   std::max(r.bottom, c.bottom)};
      const long long shared = area(std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
                                    std::min(r.bottom, c.bottom));
      const long long own = area(r.left, r.top, r.right, r.bottom);
      if (area(u.left, u.top, u.right, u.bottom) * 4 <= (own + area(c.left, c.top, c.right, c.bottom) - shared) * 5 ||
          shared == own) {
        r = u;
        changed_[i] = changed_.back();
        changed_.pop_back();
        merged = true;
        break;
      }
    }
  }
  changed_.push_back(r);
  if (changed_.size() > kMaxChanged) {
    RECT all = changed_.front();
    for (const RECT& c : changed_) {
      all = RECT{std::min(all.left, c.left), std::min(all.top, c.top), std::max(all.right, c.right),
                 std::max(all.bottom, c.bottom)};
    }
    changed_.assign(1, all);
  }
}

void GdiSurface::Refresh() {
  if (rehearsing_) return;
  // All of the image to show, and it is the plain ground but for what was
  // drawn since the clear: a fill and those rectangles show it for less.
  const bool whole = changed_.size() == 1 && changed_[0].left == 0 && changed_[0].top == 0 &&
                     changed_[0].right == width_ && changed_[0].bottom == height_;
  if (!(whole && clean_ && host_.RefreshOnGround(cleanColour_, dirty_))) host_.Refresh(changed_);
  changed_.clear();
}

bool GdiSurface::UntouchedGround(const RECT& r, Rgb colour) const {
  if (!clean_ || !(cleanColour_ == colour)) return false;
  for (const RECT& d : dirty_) {
    RECT overlap{};
    if (IntersectRect(&overlap, &d, &r)) return false;
  }
  return true;
}

void GdiSurface::Stamp::AddRuns(int row, const std::uint8_t* coverage, int from, int to) {
  for (int col = from; col <= to;) {
    if (coverage[col] == 0) {
      ++col;
      continue;
    }
    const bool full = coverage[col] == 255;
    int end = col + 1;
    while (end <= to && coverage[end] != 0 && (coverage[end] == 255) == full) ++end;
    runs.push_back(Run{row, col, end - col, full});
    col = end;
  }
}

bool GdiSurface::FaceInstalled(std::wstring_view face) {
  return Listed(face) != nullptr;
}

const std::wstring* GdiSurface::Listed(std::wstring_view face) {
  auto cached = faces_.find(face);
  if (cached == faces_.end()) cached = faces_.emplace(std::wstring(face), win::ListedFace(dc_, face)).first;
  return cached->second ? &*cached->second : nullptr;
}

HFONT GdiSurface::FontFor(const FontSpec& font) {
  const int pixels = std::max(1, PixelY(font.size));
  auto key = std::make_tuple(font.face, pixels, font.bold, font.italic, font.escapement);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  if (fonts_.size() >= kMaxFonts) {
    // Sizes change from message to message: a saver that runs for hours
    // would otherwise keep a font for every size it ever drew. None of the
    // fonts may stay selected when they go, and the stamps name them.
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    if (stamp_.dc()) SelectObject(stamp_.dc(), GetStockObject(SYSTEM_FONT));
    if (spare_.dc) SelectObject(spare_.dc, GetStockObject(SYSTEM_FONT));
    fonts_.clear();
    measures_.clear();
    printed_.clear();
    stamps_.clear();
    keptPrints_.clear();
    stampBytes_ = 0;
    selectedFont_ = nullptr;
  }
  LOGFONTW lf{};
  lf.lfHeight = -pixels;  // character height: the em is the font size
  lf.lfEscapement = font.escapement;
  lf.lfOrientation = font.escapement;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  // A face the system lists under another of its names is asked for by that name.
  const std::wstring* listed = Listed(font.face);
  const std::wstring_view face = listed ? std::wstring_view(*listed) : std::wstring_view(font.face);
  face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  UniqueFont created(CreateFontIndirectW(&lf));
  HFONT h = created.get();
  fonts_.emplace(std::move(key), std::move(created));
  return h;
}

void GdiSurface::SelectFont(const FontSpec& font) {
  selected_ = font;
  hasSelected_ = true;
  selectedFont_ = FontFor(font);
  if (selectedFont_) SelectObject(dc_, selectedFont_);
}

HFONT GdiSurface::SelectedFont() {
  if (!hasSelected_) return nullptr;
  if (!selectedFont_) selectedFont_ = FontFor(selected_);
  return selectedFont_;
}

TextExtent GdiSurface::MeasureText(const FontSpec& font, std::wstring_view caption) {
  FontSpec upright = font;
  upright.escapement = 0;
  HFONT h = FontFor(upright);
  if (!h) return {};
  // A font measures a caption the same every time: asked once.
  std::pair<std::uintptr_t, std::wstring> key{reinterpret_cast<std::uintptr_t>(h), std::wstring(caption)};
  if (const auto known = measures_.find(key); known != measures_.end()) return known->second;
  SelectionRestorer keep(dc_, h);
  SIZE size{};
  GetTextExtentPoint32W(dc_, caption.data(), static_cast<int>(caption.size()), &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  TextExtent extent;
  extent.width = static_cast<float>(size.cx) * tppX_ / 20.0f;
  // The size the platform gave: the em height in whole pixels, back in points.
  extent.size = static_cast<float>(tm.tmHeight - tm.tmInternalLeading) * tppY_ / 20.0f;
  if (measures_.size() >= kMaxMeasures) measures_.clear();
  measures_.emplace(std::move(key), extent);
  return extent;
}

void GdiSurface::Print(float x, float y, std::wstring_view text) {
  if (text.empty()) return;
  if (rehearsing_) {
    RehearsePrint(text);
    return;
  }
  HFONT font = SelectedFont();
  // A text printed a second time in a font at the same place onto the plain
  // ground is kept as the system's print gave it there, and copied from then
  // on: the same pixels, for less than the system's print. Type in the
  // colour of a plain ground (a shadow on it) often lands on pixels of that
  // colour alone: then it changes nothing and is not drawn at all. What is
  // printed once is printed as ever: keeping a print costs a look at what it drew.
  const int px = PixelX(x);
  const int py = PixelY(y);
  int stride = 0;
  std::uint32_t* image = font && clean_ ? ImageBits(stride) : nullptr;
  bool keep = false;
  if (image) {
    const PrintedKeyView key{reinterpret_cast<std::uintptr_t>(font), px, py, text};
    if (printed_.find(key) == printed_.end()) {
      if (printed_.size() >= kMaxMeasures) printed_.clear();
      printed_.insert(PrintedKey{key.font, px, py, std::wstring(text)});
      // Its footprint made ahead (a rehearsal) tells a first print in the
      // ground's colour that would change nothing.
      if (cleanColour_ == fore_) {
        const Stamp* footprint = KnownFootprint(font, text);
        if (footprint) GdiFlush();
        if (footprint && InkUnchanged(*footprint, px, py, image, stride)) return;
      }
    } else {
      GdiFlush();
      const KeptPrint* kept = KeptPrintAt(font, text, px, py);
      if (kept && UntouchedGround(RECT{px + kept->left, py + kept->top, px + kept->left + kept->w,
                                       py + kept->top + kept->h},
                                  cleanColour_)) {
        CopyKeptPrint(*kept, px, py, image, stride);
        return;
      }
      if (cleanColour_ == fore_) {
        bool blank = false;
        const POINT alone[1] = {{0, 0}};
        const Stamp* footprint = StampFor(font, text, alone, 0, blank);
        if (blank || (footprint && InkUnchanged(*footprint, px, py, image, stride))) return;
      }
      keep = kept == nullptr;
    }
  }
  if (font) SelectObject(dc_, font);
  SetTextColor(dc_, ToColorRef(fore_));
  TextOutW(dc_, px, py, text.data(), static_cast<int>(text.size()));
  // Kept from this print where all it drew on (its drawing bounds) was
  // plain ground before it.
  RECT drawn{};
  if (keep && (GetBoundsRect(dc_, &drawn, 0) & DCB_SET) != 0 && UntouchedGround(drawn, cleanColour_)) {
    GdiFlush();
    KeepPrint(font, text, px, py, drawn, image, stride);
  }
  NoteDrawn();
}

const GdiSurface::KeptPrint* GdiSurface::KeptPrintAt(HFONT font, std::wstring_view text, int refX, int refY) const {
  const KeptPrintKeyView view{reinterpret_cast<std::uintptr_t>(font), ToColorRef(fore_), ToColorRef(cleanColour_),
                              refX, refY, text};
  const auto known = keptPrints_.find(view);
  return known != keptPrints_.end() ? &known->second : nullptr;
}

void GdiSurface::KeepPrint(HFONT font, std::wstring_view text, int refX, int refY, const RECT& box,
                           const std::uint32_t* image, int stride) {
  // The pixels from the first to the last unlike the ground in each row,
  // and the box that holds them; a print without any keeps the whole box,
  // where it would change nothing.
  const int x0 = std::max<int>(box.left, 0), x1 = std::min<int>(box.right, width_);
  const int y0 = std::max<int>(box.top, 0), y1 = std::min<int>(box.bottom, height_);
  if (x0 >= x1 || y0 >= y1) return;
  const std::uint32_t ground = static_cast<std::uint32_t>(cleanColour_.r) << 16 | cleanColour_.g << 8 | cleanColour_.b;
  KeptPrint kept;
  int inkTop = y1, inkBottom = -1, inkLeft = x1, inkRight = -1;
  for (int row = y0; row < y1; ++row) {
    const std::uint32_t* line = image + static_cast<std::size_t>(row) * static_cast<std::size_t>(stride);
    int col = x0;
    while (col < x1 && ((line[col] ^ ground) & 0xFFFFFF) == 0) ++col;
    if (col == x1) continue;
    int end = x1;
    while (((line[end - 1] ^ ground) & 0xFFFFFF) == 0) --end;
    // One run a row, ground between the ink included: it is copied only
    // where the whole box is still plain ground.
    kept.runs.push_back(KeptPrint::Run{row, col, end - col, kept.pixels.size()});
    kept.pixels.insert(kept.pixels.end(), line + col, line + end);
    inkTop = std::min(inkTop, row);
    inkBottom = row;
    inkLeft = std::min(inkLeft, col);
    inkRight = std::max(inkRight, end - 1);
  }
  if (inkBottom < 0) {
    kept.left = x0 - refX;
    kept.top = y0 - refY;
    kept.w = x1 - x0;
    kept.h = y1 - y0;
  } else {
    kept.left = inkLeft - refX;
    kept.top = inkTop - refY;
    kept.w = inkRight - inkLeft + 1;
    kept.h = inkBottom - inkTop + 1;
    for (KeptPrint::Run& run : kept.runs) {
      run.row -= inkTop;
      run.col -= inkLeft;
    }
  }
  kept.runs.shrink_to_fit();
  kept.pixels.shrink_to_fit();
  const std::size_t bytes = kept.pixels.size() * 4 + kept.runs.size() * sizeof(KeptPrint::Run);
  if (stampBytes_ + bytes > kStampCacheBytes) {
    stamps_.clear();
    keptPrints_.clear();
    stampBytes_ = 0;
  }
  stampBytes_ += bytes;
  KeptPrintKey key{reinterpret_cast<std::uintptr_t>(font), ToColorRef(fore_), ToColorRef(cleanColour_), refX, refY,
                   std::wstring(text)};
  keptPrints_.insert_or_assign(std::move(key), std::move(kept));
}

void GdiSurface::CopyKeptPrint(const KeptPrint& kept, int refX, int refY, std::uint32_t* image, int stride) {
  if (kept.runs.empty()) return;
  const int left = refX + kept.left;
  const int top = refY + kept.top;
  AddDirty(RECT{left, top, left + kept.w, top + kept.h});
  for (const KeptPrint::Run& run : kept.runs) {
    const int y = top + run.row;
    if (y < 0 || y >= height_) continue;
    const int from = std::max(left + run.col, 0);
    const int to = std::min(left + run.col + run.length, width_);  // one past
    if (from >= to) continue;
    std::memcpy(image + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + from,
                kept.pixels.data() + run.first + static_cast<std::size_t>(from - left - run.col),
                static_cast<std::size_t>(to - from) * sizeof(std::uint32_t));
  }
}

std::uint32_t* GdiSurface::ImageBits(int& stride) {
  // The image behind the DC stays the same for the surface's life.
  if (imageChecked_) {
    stride = imageStride_;
    return imageBits_;
  }
  imageChecked_ = true;
  imageBits_ = ReadImageBits(imageStride_);
  stride = imageStride_;
  return imageBits_;
}

std::uint32_t* GdiSurface::ReadImageBits(int& stride) {
  DIBSECTION dib{};
  HGDIOBJ bitmap = GetCurrentObject(dc_, OBJ_BITMAP);
  if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits ||
      dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth != width_ || dib.dsBm.bmHeight != height_) {
    return nullptr;
  }
  // Every image of the program is a top-down DIB (the reported height is not
  // signed on every system, so the orientation is not read back here).
  stride = dib.dsBm.bmWidthBytes / 4;
  return static_cast<std::uint32_t*>(dib.dsBm.bmBits);
}

bool GdiSurface::InkUnchanged(const Stamp& stamp, int refX, int refY, const std::uint32_t* image, int stride) const {
  // Copies in the colour the pixels under them already have change nothing
  // (an outline in the ground colour on a plain ground): a quick look first.
  const RECT box{refX + stamp.left, refY + stamp.top, refX + stamp.left + stamp.w, refY + stamp.top + stamp.h};
  if (UntouchedGround(box, fore_)) return true;
  const std::uint32_t solid = static_cast<std::uint32_t>(fore_.r) << 16 | fore_.g << 8 | fore_.b;
  for (int row = 0; row < stamp.h; ++row) {
    const int y = refY + stamp.top + row;
    if (y < 0 || y >= height_) continue;
    const int from = std::max(refX + stamp.left + stamp.spans[static_cast<std::size_t>(row)].first, 0);
    const int to = std::min(refX + stamp.left + stamp.spans[static_cast<std::size_t>(row)].second, width_ - 1);
    const std::uint32_t* line = image + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    std::uint32_t differs = 0;
    for (int col = from; col <= to; ++col) differs |= (line[col] ^ solid) & 0xFFFFFF;
    if (differs != 0) return false;
  }
  return true;
}

namespace {

// Blends columns [from, to) of a run of the stamp's coverage in the colour
// onto a row whose stamp column 0 is at base. Full coverage is a fill, the
// edges are blended; (x + 1 + (x >> 8)) >> 8 is x / 255 for x < 65281.
template <class Stamp>
void BlendRun(const Stamp& stamp, const typename Stamp::Run& run, std::uint32_t* base, int from, int to, Rgb colour) {
  const std::uint32_t r = colour.r, g = colour.g, b = colour.b;
  if (run.solid) {
    std::fill(base + from, base + to, r << 16 | g << 8 | b);
    return;
  }
  const auto mix = [](std::uint32_t dst, std::uint32_t src, std::uint32_t alpha) {
    const std::uint32_t x = dst * (255 - alpha) + src * alpha + 127;
    return (x + 1 + (x >> 8)) >> 8;
  };
  const std::uint8_t* a = stamp.alpha.data() + static_cast<std::size_t>(run.row) * static_cast<std::size_t>(stamp.w);
  for (int col = from; col < to; ++col) {
    const std::uint32_t alpha = a[col];
    const std::uint32_t px = base[col];
    base[col] = mix((px >> 16) & 0xFF, r, alpha) << 16 | mix((px >> 8) & 0xFF, g, alpha) << 8 | mix(px & 0xFF, b, alpha);
  }
}

}  // namespace

void GdiSurface::BlendStamp(const Stamp& stamp, int refX, int refY, std::uint32_t* image, int stride) {
  if (InkUnchanged(stamp, refX, refY, image, stride)) return;
  const RECT box{refX + stamp.left, refY + stamp.top, refX + stamp.left + stamp.w, refY + stamp.top + stamp.h};
  AddDirty(box);
  const int left = refX + stamp.left;
  const int top = refY + stamp.top;
  // Only the inked runs are visited.
  for (const Stamp::Run& run : stamp.runs) {
    const int y = top + run.row;
    if (y < 0 || y >= height_) continue;
    const int from = std::max(run.col, -left);
    const int to = std::min(run.col + run.length, width_ - left);  // one past
    if (from >= to) continue;
    BlendRun(stamp, run, image + static_cast<std::ptrdiff_t>(y) * stride + left, from, to, fore_);
  }
}

int GdiSurface::CopyShifts(float x, float y, std::span<const Offset> offsets, std::vector<POINT>& shifts) const {
  const int refX = PixelX(x);
  const int refY = PixelY(y);
  int reach = 0;
  shifts.clear();
  shifts.reserve(offsets.size());
  for (const Offset& o : offsets) {
    const POINT p{PixelX(x + o.dx) - refX, PixelY(y + o.dy) - refY};
    reach = std::max({reach, static_cast<int>(std::abs(p.x)), static_cast<int>(std::abs(p.y))});
    shifts.push_back(p);
  }
  return reach;
}

void GdiSurface::PrintCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) {
  if (text.empty() || offsets.empty()) return;
  if (rehearsing_) {
    RehearseCopies(x, y, text, offsets);
    return;
  }
  int stride = 0;
  std::uint32_t* image = offsets.size() > 2 && hasSelected_ ? ImageBits(stride) : nullptr;
  HFONT font = SelectedFont();
  if (!image || !font) {
    Surface::PrintCopies(x, y, text, offsets);
    return;
  }
  // Where each copy lands, in whole pixels, exactly as its own print would.
  const int refX = PixelX(x);
  const int refY = PixelY(y);
  std::vector<POINT> shifts;
  const int reach = CopyShifts(x, y, offsets, shifts);

  GdiFlush();  // the image's pixels are read and written directly below
  bool blank = false;
  const Stamp* stamp = StampFor(font, text, shifts, reach, blank);
  if (blank) return;  // nothing to draw (blanks)
  if (!stamp) {
    Surface::PrintCopies(x, y, text, offsets);
    return;
  }
  // On plain ground the blend is copied from the one kept for these colours.
  const RECT box{refX + stamp->left, refY + stamp->top, refX + stamp->left + stamp->w, refY + stamp->top + stamp->h};
  if (UntouchedGround(box, cleanColour_)) {
    if (!(fore_ == cleanColour_)) CopyKeptPrint(StampOnGround(*stamp, cleanColour_), refX, refY, image, stride);
    return;
  }
  BlendStamp(*stamp, refX, refY, image, stride);
}

const GdiSurface::KeptPrint& GdiSurface::StampOnGround(const Stamp& stamp, Rgb groundColour) {
  const std::pair<COLORREF, COLORREF> colours{ToColorRef(fore_), ToColorRef(groundColour)};
  for (const auto& [known, kept] : stamp.onGround) {
    if (known == colours) return kept;
  }
  const std::uint32_t ground = static_cast<std::uint32_t>(groundColour.r) << 16 | groundColour.g << 8 | groundColour.b;
  KeptPrint kept;
  kept.left = stamp.left;
  kept.top = stamp.top;
  kept.w = stamp.w;
  kept.h = stamp.h;
  for (int row = 0; row < stamp.h; ++row) {
    const auto [from, to] = stamp.spans[static_cast<std::size_t>(row)];
    if (from > to) continue;
    kept.runs.push_back(KeptPrint::Run{row, from, to - from + 1, kept.pixels.size()});
    kept.pixels.insert(kept.pixels.end(), static_cast<std::size_t>(to - from + 1), ground);
  }
  // The same blend as onto the image, onto rows of the ground.
  std::vector<std::uint32_t*> rows(static_cast<std::size_t>(stamp.h), nullptr);
  for (const KeptPrint::Run& run : kept.runs) {
    rows[static_cast<std::size_t>(run.row)] = kept.pixels.data() + run.first - static_cast<std::size_t>(run.col);
  }
  for (const Stamp::Run& run : stamp.runs) {
    BlendRun(stamp, run, rows[static_cast<std::size_t>(run.row)], run.col, run.col + run.length, fore_);
  }
  const std::size_t bytes = kept.pixels.size() * 4 + kept.runs.size() * sizeof(KeptPrint::Run);
  stampBytes_ += bytes;  // counted against the stamps' budget at the next stamp made
  stamp.onGround.emplace_back(colours, std::move(kept));
  return stamp.onGround.back().second;
}

bool GdiSurface::TextBox(HFONT font, std::wstring_view text, int reach, int& ox, int& oy, int& w, int& h,
                         bool margin) {
  // The box the text can cover around its reference point, turned with the font.
  SelectObject(dc_, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  const double around = margin ? tm.tmHeight / 8.0 + tm.tmOverhang + 2 : 0.0;
  const double angle = selected_.escapement * 3.14159265358979323846 / 1800.0;
  const double c = std::cos(angle);
  const double sn = std::sin(angle);
  double bx0 = 1e9, by0 = 1e9, bx1 = -1e9, by1 = -1e9;
  for (const double u : {-around, extent.cx + around}) {
    for (const double v : {-around, tm.tmHeight + around}) {
      const double px = u * c + v * sn;
      const double py = -u * sn + v * c;
      bx0 = std::min(bx0, px);
      bx1 = std::max(bx1, px);
      by0 = std::min(by0, py);
      by1 = std::max(by1, py);
    }
  }
  ox = static_cast<int>(std::floor(bx0)) - reach;
  oy = static_cast<int>(std::floor(by0)) - reach;
  w = static_cast<int>(std::ceil(bx1)) + reach - ox + 1;
  h = static_cast<int>(std::ceil(by1)) + reach - oy + 1;
  if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > 64LL * 1024 * 1024) return false;
  if (stamp_.width() < w || stamp_.height() < h) {
    if (!stamp_.Create(std::max(w, stamp_.width()), std::max(h, stamp_.height()))) return false;
    SetTextAlign(stamp_.dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  }
  return true;
}

const GdiSurface::Stamp* GdiSurface::StampFor(HFONT font, std::wstring_view text, std::span<const POINT> shifts,
                                              int reach, bool& blank) {
  // A text stamped before in the same font with the same copies is blended
  // from the merge kept then.
  // Fonts live as long as the surface, so the handle names the font.
  shiftKeys_.clear();
  for (const POINT& p : shifts) shiftKeys_.push_back(p.x * 65536 + p.y);
  const StampKeyView view{reinterpret_cast<std::uintptr_t>(font), text, shiftKeys_};
  if (const auto known = stamps_.find(view); known != stamps_.end()) return &known->second;
  StampKey key{view.font, std::wstring(text), shiftKeys_};

  int ox = 0, oy = 0, w = 0, h = 0;
  if (!TextBox(font, text, reach, ox, oy, w, h)) return nullptr;
  // The text once, white on black (the box cleared by the same call): its
  // green channel is the coverage.
  RECT box{0, 0, w, h};
  SelectionRestorer keep(stamp_.dc(), font);
  SetTextColor(stamp_.dc(), RGB(255, 255, 255));
  SetBkColor(stamp_.dc(), RGB(0, 0, 0));
  ExtTextOutW(stamp_.dc(), -ox, -oy, ETO_OPAQUE, &box, text.data(), static_cast<UINT>(text.size()), nullptr);
  GdiFlush();

  // Coverage, and the box that holds ink.
  const std::size_t uw = static_cast<std::size_t>(w);
  coverage_.resize(uw * static_cast<std::size_t>(h));
  const std::uint32_t* stampPixels = stamp_.pixels();
  const auto stampStride = static_cast<std::size_t>(stamp_.width());
  int inkTop = h, inkBottom = -1, inkLeft = w, inkRight = -1;
  for (int row = 0; row < h; ++row) {
    const std::uint32_t* __restrict src = stampPixels + static_cast<std::size_t>(row) * stampStride;
    std::uint8_t* __restrict dst = coverage_.data() + static_cast<std::size_t>(row) * uw;
    std::uint32_t any = 0;
    for (int col = 0; col < w; ++col) {
      const std::uint32_t g = (src[col] >> 8) & 0xFF;
      dst[col] = static_cast<std::uint8_t>(g);
      any |= g;
    }
    if (!any) continue;
    inkTop = std::min(inkTop, row);
    inkBottom = row;
    int l = 0;
    while (dst[l] == 0) ++l;
    int r = w - 1;
    while (dst[r] == 0) --r;
    inkLeft = std::min(inkLeft, l);
    inkRight = std::max(inkRight, r);
  }
  if (inkBottom < 0) {
    blank = true;
    return nullptr;
  }

  // The copies merged over the ink box widened by the reach: strongest wins.
  const int mx0 = std::max(0, inkLeft - reach), mx1 = std::min(w - 1, inkRight + reach);
  const int my0 = std::max(0, inkTop - reach), my1 = std::min(h - 1, inkBottom + reach);
  merged_.resize(coverage_.size());
  for (int row = my0; row <= my1; ++row) {
    std::fill_n(merged_.data() + static_cast<std::size_t>(row) * uw + static_cast<std::size_t>(mx0),
                static_cast<std::size_t>(mx1 - mx0 + 1), std::uint8_t{0});
  }
  for (const POINT& p : shifts) {
    const int dx = static_cast<int>(p.x), dy = static_cast<int>(p.y);
    const int rowFrom = std::max(my0, inkTop + dy), rowTo = std::min(my1, inkBottom + dy);
    const int colFrom = std::max(mx0, inkLeft + dx), colTo = std::min(mx1, inkRight + dx);
    if (colFrom > colTo) continue;
    const auto count = static_cast<std::size_t>(colTo - colFrom + 1);
    for (int row = rowFrom; row <= rowTo; ++row) {
      const std::uint8_t* __restrict src =
          coverage_.data() + static_cast<std::size_t>(row - dy) * uw + static_cast<std::size_t>(colFrom - dx);
      std::uint8_t* __restrict dst = merged_.data() + static_cast<std::size_t>(row) * uw + static_cast<std::size_t>(colFrom);
      for (std::size_t i = 0; i < count; ++i) dst[i] = dst[i] > src[i] ? dst[i] : src[i];
    }
  }

  // Keep the merge, cropped to its box, and blend it.
  Stamp stamp;
  stamp.left = ox + mx0;
  stamp.top = oy + my0;
  stamp.w = mx1 - mx0 + 1;
  stamp.h = my1 - my0 + 1;
  stamp.alpha.resize(static_cast<std::size_t>(stamp.w) * static_cast<std::size_t>(stamp.h));
  for (int row = 0; row < stamp.h; ++row) {
    std::memcpy(stamp.alpha.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(stamp.w),
                merged_.data() + static_cast<std::size_t>(my0 + row) * uw + static_cast<std::size_t>(mx0),
                static_cast<std::size_t>(stamp.w));
  }
  stamp.spans.resize(static_cast<std::size_t>(stamp.h), {0, -1});
  for (int row = 0; row < stamp.h; ++row) {
    const std::uint8_t* a = stamp.alpha.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(stamp.w);
    int from = 0;
    while (from < stamp.w && a[from] == 0) ++from;
    int to = stamp.w - 1;
    while (to >= from && a[to] == 0) --to;
    stamp.spans[static_cast<std::size_t>(row)] = {from, to};
    stamp.AddRuns(row, a, from, to);
  }
  stamp.runs.shrink_to_fit();
  const std::size_t bytes = stamp.alpha.size() + stamp.runs.size() * sizeof(Stamp::Run);
  if (stampBytes_ + bytes > kStampCacheBytes) {
    stamps_.clear();
    keptPrints_.clear();
    stampBytes_ = 0;
  }
  stampBytes_ += bytes;
  return &stamps_.emplace(std::move(key), std::move(stamp)).first->second;
}


GdiSurface::Rehearsal::Rehearsal(GdiSurface& surface)
    : surface_(surface),
      fore_(surface.fore_),
      back_(surface.back_),
      selected_(surface.selected_),
      hasSelected_(surface.hasSelected_) {
  surface_.rehearsing_ = true;
  surface_.rehearsalGround_ = surface.clean_ ? surface.cleanColour_ : surface.back_;
}

GdiSurface::Rehearsal::~Rehearsal() {
  surface_.rehearsing_ = false;
  surface_.fore_ = fore_;
  surface_.back_ = back_;
  surface_.selected_ = selected_;
  surface_.hasSelected_ = hasSelected_;
  // The font may have gone with the others while rehearsing: found again when asked for.
  surface_.selectedFont_ = nullptr;
  if (surface_.hasSelected_) (void)surface_.SelectedFont();
}

void GdiSurface::RehearsePrint(std::wstring_view text) {
  HFONT font = SelectedFont();
  if (!font) return;
  if (fore_ == rehearsalGround_) {
    // Type in the ground's colour (a shadow): its footprint, which also makes the glyphs.
    bool blank = false;
    const POINT alone[1] = {{0, 0}};
    if (StampFor(font, text, alone, 0, blank) || blank) return;
  }
  RehearseGlyphs(font, text);
}

const GdiSurface::Stamp* GdiSurface::KnownFootprint(HFONT font, std::wstring_view text) {
  shiftKeys_.assign(1, 0);
  const StampKeyView view{reinterpret_cast<std::uintptr_t>(font), text, shiftKeys_};
  const auto known = stamps_.find(view);
  return known != stamps_.end() ? &known->second : nullptr;
}

void GdiSurface::RehearseGlyphs(HFONT font, std::wstring_view text) {
  int ox = 0, oy = 0, w = 0, h = 0;
  if (!TextBox(font, text, 0, ox, oy, w, h)) return;
  RECT box{0, 0, w, h};
  SelectionRestorer keep(stamp_.dc(), font);
  ExtTextOutW(stamp_.dc(), -ox, -oy, ETO_OPAQUE, &box, text.data(), static_cast<UINT>(text.size()), nullptr);
}

void GdiSurface::RehearseCopies(float x, float y, std::wstring_view text, std::span<const Offset> offsets) {
  HFONT font = SelectedFont();
  if (offsets.size() <= 2 || !font) {
    RehearsePrint(text);
    return;
  }
  std::vector<POINT> shifts;
  const int reach = CopyShifts(x, y, offsets, shifts);
  bool blank = false;
  const Stamp* stamp = StampFor(font, text, shifts, reach, blank);
  if (stamp && !(fore_ == rehearsalGround_)) (void)StampOnGround(*stamp, rehearsalGround_);
}

bool GdiSurface::LoadPicture(const std::filesystem::path& file, const PictureUse& use) {
  if (rehearsing_) return false;
  return picture_->Load(file, {width_, height_}, use) == PictureLoad::kLoaded;
}

void GdiSurface::PrefetchPicture(const std::filesystem::path& file, const PictureUse& use) {
  if (rehearsing_) return;
  picture_->Prefetch(file, {width_, height_}, use);
}

PointSize GdiSurface::PictureSizePixels() const {
  const PixelSize own = picture_->OwnSize();
  return {static_cast<float>(own.width), static_cast<float>(own.height)};
}

void GdiSurface::PaintPicture(const Rect& sourcePixels, const Rect& destination) {
  if (rehearsing_) return;
  const float kx = 20.0f / tppX_;
  const float ky = 20.0f / tppY_;
  picture_->Paint(dc_, width_, height_, sourcePixels,
                  {destination.x * kx, destination.y * ky, destination.width * kx, destination.height * ky});
  NoteDrawn();
  // The whole destination counts as drawn, whatever the bounds reported.
  const double x0 = std::floor(static_cast<double>(destination.x * kx)) - 1;
  const double y0 = std::floor(static_cast<double>(destination.y * ky)) - 1;
  const double x1 = std::ceil(static_cast<double>((destination.x + destination.width) * kx)) + 1;
  const double y1 = std::ceil(static_cast<double>((destination.y + destination.height) * ky)) + 1;
  const auto clamp = [](double v) { return static_cast<LONG>(std::clamp(v, -1.0e9, 1.0e9)); };
  AddDirty(RECT{clamp(x0), clamp(y0), clamp(x1), clamp(y1)});
}

}  // namespace zor::win
