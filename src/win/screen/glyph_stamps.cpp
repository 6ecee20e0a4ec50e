#include "win/screen/glyph_stamps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/screen/points_and_pixels.h"
#include "win/common/palette_colours.h"

namespace zor::win {

namespace {

// Blends columns [from, to) of a run of the stamp's coverage in the colour
// onto a row whose stamp column 0 is at base. Full coverage is a fill, the
// edges are blended; (x + 1 + (x >> 8)) >> 8 is x / 255 for x < 65281.
void BlendRun(const GlyphStamp& stamp, const GlyphStamp::Run& run, std::uint32_t* base, int from, int to, Rgb colour) {
  if (run.solid) {
    std::fill(base + from, base + to, PackRgb(colour));
    return;
  }
  const std::uint32_t r = colour.r, g = colour.g, b = colour.b;
  const auto mix = [](std::uint32_t dst, std::uint32_t src, std::uint32_t alpha) {
    const std::uint32_t x = dst * (255 - alpha) + src * alpha + 127;
    return (x + 1 + (x >> 8)) >> 8;
  };
  const std::uint8_t* a = stamp.alpha.data() + static_cast<std::size_t>(run.row) * static_cast<std::size_t>(stamp.w);
  for (int col = from; col < to; ++col) {
    const std::uint32_t alpha = a[col];
    const std::uint32_t px = base[col];
    base[col] =
        mix((px >> 16) & 0xFF, r, alpha) << 16 | mix((px >> 8) & 0xFF, g, alpha) << 8 | mix(px & 0xFF, b, alpha);
  }
}

}  // namespace

void GlyphStamp::AddRuns(int row, const std::uint8_t* coverage, int from, int to) {
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

int CopyShifts(float x, float y, std::span<const Offset> offsets, float twipsPerPixelX, float twipsPerPixelY,
               std::vector<POINT>& shifts) {
  const int refX = PointsToPixels(x, twipsPerPixelX);
  const int refY = PointsToPixels(y, twipsPerPixelY);
  int reach = 0;
  shifts.clear();
  shifts.reserve(offsets.size());
  for (const Offset& o : offsets) {
    const POINT p{PointsToPixels(x + o.dx, twipsPerPixelX) - refX, PointsToPixels(y + o.dy, twipsPerPixelY) - refY};
    reach = std::max({reach, static_cast<int>(std::abs(p.x)), static_cast<int>(std::abs(p.y))});
    shifts.push_back(p);
  }
  return reach;
}

void BlendStamp(const GlyphStamp& stamp, int refX, int refY, Rgb colour, const ImagePixels& image) {
  const int left = refX + stamp.left;
  const int top = refY + stamp.top;
  for (const GlyphStamp::Run& run : stamp.runs) {
    const int y = top + run.row;
    if (y < 0 || y >= image.height) continue;
    const int from = std::max(run.col, -left);
    const int to = std::min(run.col + run.length, image.width - left);  // one past
    if (from >= to) continue;
    BlendRun(stamp, run, image.Row(y) + left, from, to, colour);
  }
}

bool InkAlreadyOfColour(const GlyphStamp& stamp, int refX, int refY, Rgb colour, const ImagePixels& image) {
  const std::uint32_t solid = PackRgb(colour);
  for (int row = 0; row < stamp.h; ++row) {
    const int y = refY + stamp.top + row;
    if (y < 0 || y >= image.height) continue;
    const int from = std::max(refX + stamp.left + stamp.spans[static_cast<std::size_t>(row)].first, 0);
    const int to = std::min(refX + stamp.left + stamp.spans[static_cast<std::size_t>(row)].second, image.width - 1);
    const std::uint32_t* line = image.Row(y);
    std::uint32_t differs = 0;
    for (int col = from; col <= to; ++col) differs |= (line[col] ^ solid) & 0xFFFFFF;
    if (differs != 0) return false;
  }
  return true;
}

const KeptPrint& StampOnGround(const GlyphStamp& stamp, Rgb type, Rgb groundColour, std::size_t& bytesAdded) {
  bytesAdded = 0;
  const std::pair<COLORREF, COLORREF> colours{ToColorRef(type), ToColorRef(groundColour)};
  for (const auto& [known, kept] : stamp.onGround) {
    if (known == colours) return kept;
  }
  const std::uint32_t ground = PackRgb(groundColour);
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
  for (const GlyphStamp::Run& run : stamp.runs) {
    BlendRun(stamp, run, rows[static_cast<std::size_t>(run.row)], run.col, run.col + run.length, type);
  }
  bytesAdded = kept.Bytes();
  stamp.onGround.emplace_back(colours, std::move(kept));
  return stamp.onGround.back().second;
}

const GlyphStamp* GlyphStamps::Find(FontId font, std::wstring_view text, std::span<const POINT> shifts) {
  shiftKeys_.clear();
  for (const POINT& p : shifts) shiftKeys_.push_back(p.x * 65536 + p.y);
  const auto known = stamps_.find(KeyView{font, text, shiftKeys_});
  return known != stamps_.end() ? &known->second : nullptr;
}

const GlyphStamp& GlyphStamps::Keep(FontId font, std::wstring_view text, GlyphStamp&& stamp) {
  return stamps_.emplace(Key{font, std::wstring(text), shiftKeys_}, std::move(stamp)).first->second;
}

bool GlyphStamps::TextBox(HDC measuring, HFONT font, int escapement, std::wstring_view text, int reach, int& ox,
                          int& oy, int& w, int& h, bool margin) {
  // The box the text can cover around its reference point, turned with the font.
  SelectObject(measuring, font);
  SIZE extent{};
  GetTextExtentPoint32W(measuring, text.data(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW tm{};
  GetTextMetricsW(measuring, &tm);
  const double around = margin ? tm.tmHeight / 8.0 + tm.tmOverhang + 2 : 0.0;
  const double angle = escapement * 3.14159265358979323846 / 1800.0;
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
  if (scratch_.width() < w || scratch_.height() < h) {
    if (!scratch_.Create(std::max(w, scratch_.width()), std::max(h, scratch_.height()))) return false;
    SetTextAlign(scratch_.dc(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  }
  return true;
}

void GlyphStamps::MakeGlyphs(HDC measuring, HFONT font, int escapement, std::wstring_view text) {
  int ox = 0, oy = 0, w = 0, h = 0;
  if (!TextBox(measuring, font, escapement, text, 0, ox, oy, w, h)) return;
  RECT box{0, 0, w, h};
  SelectionRestorer keep(scratch_.dc(), font);
  ExtTextOutW(scratch_.dc(), -ox, -oy, ETO_OPAQUE, &box, text.data(), static_cast<UINT>(text.size()), nullptr);
}

bool GlyphStamps::Make(HDC measuring, HFONT font, int escapement, std::wstring_view text, std::span<const POINT> shifts,
                       int reach, bool& blank, GlyphStamp& stamp) {
  int ox = 0, oy = 0, w = 0, h = 0;
  if (!TextBox(measuring, font, escapement, text, reach, ox, oy, w, h)) return false;
  // The text once, white on black (the box cleared by the same call): its
  // green channel is the coverage.
  RECT box{0, 0, w, h};
  SelectionRestorer keep(scratch_.dc(), font);
  SetTextColor(scratch_.dc(), RGB(255, 255, 255));
  SetBkColor(scratch_.dc(), RGB(0, 0, 0));
  ExtTextOutW(scratch_.dc(), -ox, -oy, ETO_OPAQUE, &box, text.data(), static_cast<UINT>(text.size()), nullptr);
  GdiFlush();

  // Coverage, and the box that holds ink.
  const std::size_t uw = static_cast<std::size_t>(w);
  coverage_.resize(uw * static_cast<std::size_t>(h));
  const std::uint32_t* scratchPixels = scratch_.pixels();
  const auto scratchStride = static_cast<std::size_t>(scratch_.width());
  int inkTop = h, inkBottom = -1, inkLeft = w, inkRight = -1;
  for (int row = 0; row < h; ++row) {
    const std::uint32_t* __restrict src = scratchPixels + static_cast<std::size_t>(row) * scratchStride;
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
    return false;
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
      std::uint8_t* __restrict dst =
          merged_.data() + static_cast<std::size_t>(row) * uw + static_cast<std::size_t>(colFrom);
      for (std::size_t i = 0; i < count; ++i) dst[i] = dst[i] > src[i] ? dst[i] : src[i];
    }
  }

  // The merge, cropped to its box.
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
  return true;
}

}  // namespace zor::win
