#include "core/screen/glyph_drawing.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/screen/card_inputs.h"
#include "core/screen/glyph_rules.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

bool IsOneCharacter(std::wstring_view text) { return !text.empty() && CodePoints(text).size() == 1; }

// Milliseconds from one tick count to a later one, across the 32-bit wrap.
std::int32_t TicksBetween(std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from));
}

// Outline and shadow are drawn in the ground colour's own extreme.
Rgb DecorationColour(Rgb back) {
  return back == PaletteColour(kPaletteBlack) ? PaletteColour(kPaletteBlack) : PaletteColour(kPaletteWhite);
}

}  // namespace

int EscapementTenths(float degrees) noexcept {
  return static_cast<int>(std::lround(static_cast<double>(degrees) * 10.0) % 3600);
}

GlyphDrawer::GlyphDrawer(Surface& surface, std::int16_t decoration, std::wstring_view face, bool formBold)
    : surface_(surface),
      decoration_(decoration),
      form_{std::wstring(face), 10.0f, formBold, false, 0},
      label_{std::wstring(kLabelDesignFace), kLabelDesignSize, true, false, 0} {}

bool GlyphDrawer::SetDrawFont(std::wstring_view face, float size, int bold, int italic) {
  if (!face.empty()) {
    if (!surface_.FaceInstalled(face)) {
      surface_.ReportMissingFace(kMissingFaceMessage);
      return false;
    }
    form_.face = face;
    label_.face = face;
  }
  if (size != static_cast<float>(kKeep)) {
    form_.size = size;
    label_.size = size;
  }
  if (bold != kKeep) {
    form_.bold = bold != 0;
    label_.bold = bold != 0;
  }
  if (italic != kKeep) {
    form_.italic = italic != 0;
    label_.italic = italic != 0;
  }
  surface_.SelectFont(form_);
  return true;
}

TextExtent GlyphDrawer::MeasureCaption(std::wstring_view caption) { return surface_.MeasureText(label_, caption); }

float GlyphDrawer::CentringOffset(std::wstring_view ch, bool vertical) {
  // Only the axis of the face is centred: the other is not measured at all.
  if (IsVerticalFace(label_.face) != vertical || !IsOneCharacter(ch)) return 0.0f;
  const TextExtent extent = MeasureCaption(ch);
  return (extent.size - extent.width) / 2.0f;
}

float GlyphDrawer::GetDiffX(std::wstring_view ch) { return CentringOffset(ch, false); }
float GlyphDrawer::GetDiffY(std::wstring_view ch) { return CentringOffset(ch, true); }

Offset VerticalFormShift(std::wstring_view ch) {
  static constexpr std::wstring_view kCommas = L"、。，．";
  static constexpr std::wstring_view kSmallKana = L"ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ";
  if (ch.size() != 1) return {};
  if (kCommas.find(ch[0]) != std::wstring_view::npos) return {0.6f, -0.6f};
  if (kSmallKana.find(ch[0]) != std::wstring_view::npos) return {0.1f, -0.1f};
  return {};
}

Offset GlyphDrawer::CellOffset(std::wstring_view ch, bool turned) {
  const float drop = surface_.EmBoxDrop(form_);
  if (!turned) return {0.0f, -drop};
  Offset offset{drop, 0.0f};
  const Offset shift = VerticalFormShift(ch);
  if ((shift.dx != 0.0f || shift.dy != 0.0f) && !surface_.HasVerticalForm(form_, ch)) {
    offset.dx += shift.dx * form_.size;
    offset.dy += shift.dy * form_.size;
  }
  return offset;
}

void GlyphDrawer::DrawDecorated(float x, float y, std::wstring_view text, int smearDirection, bool noCentring) {
  if (!noCentring) {
    x += GetDiffX(text);
    y += GetDiffY(text);
  }
  const float tppx = surface_.TwipsPerPixelX();
  const float tppy = surface_.TwipsPerPixelY();
  const float size = form_.size;

  int n = 0;
  if (decoration_ == kDecorationExtraBold) {
    n = static_cast<std::int16_t>(RoundOff(size * 0.05f * 20.0f / tppx));
  }
  const bool toLeft = smearDirection == 0 || smearDirection == 2;
  const int first = toLeft ? -n : 0;
  const int last = toLeft ? 0 : n;

  if (decoration_ == kDecorationOutline || decoration_ == kDecorationShadow) {
    const Rgb type = surface_.ForeColour();
    surface_.SetForeColour(DecorationColour(surface_.BackColour()));
    if (decoration_ == kDecorationOutline) {
      std::array<Offset, 16> ring;
      for (int d = 0; d < 8; ++d) {
        for (int k = 1; k <= 2; ++k) {
          const auto step = static_cast<float>(k);
          ring[static_cast<std::size_t>(d * 2 + k - 1)] = {step * OutlineDX(d) * tppx / 20.0f,
                                                           step * OutlineDY(d) * tppy / 20.0f};
        }
      }
      surface_.PrintCopies(x, y, text, ring);
    } else {
      // The pixel count of 5 % of the size, applied as a distance in points.
      surface_.Print(x + size * 0.05f * 20.0f / tppx, y + size * 0.05f * 20.0f / tppy, text);
    }
    surface_.SetForeColour(type);
  }

  if (first == last) {
    surface_.Print(x + static_cast<float>(first) * tppx / 20.0f, y, text);
    return;
  }
  std::vector<Offset> smear;
  smear.reserve(static_cast<std::size_t>(last - first + 1));
  for (int i = first; i <= last; ++i) smear.push_back({static_cast<float>(i) * tppx / 20.0f, 0.0f});
  surface_.PrintCopies(x, y, text, smear);
}

void GlyphDrawer::SelectRotatedFont(float degrees) {
  FontSpec turned = form_;
  turned.escapement = EscapementTenths(degrees);
  surface_.SelectFont(turned);
}

void GlyphDrawer::RestoreFormFont() { surface_.SelectFont(form_); }

void Stopwatch::Start() { start_ = clock_.TickCount(); }

void Stopwatch::WaitSince(std::int32_t ms) {
  const std::int32_t t0 = clock_.TickCount();
  const std::int32_t elapsed = TicksBetween(start_, t0);
  if (elapsed >= ms || elapsed < 0) return;
  const std::int32_t remaining = ms - elapsed;
  for (;;) {
    const std::int32_t passed = TicksBetween(t0, clock_.TickCount());
    if (passed < 0 || remaining - passed <= 0) return;
    clock_.Wait(remaining - passed);
  }
}

}  // namespace zor
