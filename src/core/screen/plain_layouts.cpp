#include "core/screen/plain_layouts.h"

#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

constexpr float kMeasuringSize = 10.0f;
constexpr float kWidthShare = 0.95f;
constexpr float kMargin = 0.02f;
constexpr int kFitTries = 4;

PageResult DrawPlain(CardContext& context, const CardRequest& request, bool& invertColours, TextPlace place) {
  GlyphDrawer& drawer = context.drawer;
  Surface& surface = drawer.surface();
  PageFrame& frame = context.frame;
  const std::wstring& face = context.settings.typeFace;

  frame.Begin(request.testDisplay, invertColours);
  if (request.text.empty()) {
    // Nothing to print: the page shows its ground and background.
    frame.PaintPendingCorner(place, 0.0f, 0.0f);
    frame.Finish(place, invertColours);
    return PageResult::kDrawn;
  }

  const float width = surface.ScaleWidth();
  const float height = surface.ScaleHeight();
  const PlainLines lines = SplitPlainLines(request.text);

  // Measured once at 10 pt and scaled to fill 95 % of the width.
  if (!drawer.SetDrawFont(face, kMeasuringSize, kKeep, kKeep)) return PageResult::kMissingFace;
  const TextExtent measured = drawer.MeasureCaption(lines.first);
  const float cap = kWidthShare * height / 8.0f;
  float size = measured.width > 0.0f ? measured.size / measured.width * kWidthShare * width : cap;
  if (cap < size) size = cap;

  // Type of a few pixels is wider than the scaling says (each character
  // takes whole pixels): a line that would leave the screen, as on the
  // settings' small preview screen, is made smaller until it fits the 95 %.
  if (!drawer.SetDrawFont(face, size, kKeep, kKeep)) return PageResult::kMissingFace;
  float lineWidth = drawer.MeasureCaption(lines.first).width;
  for (int tries = 0; tries < kFitTries && lineWidth > (1.0f - kMargin) * width; ++tries) {
    size *= kWidthShare * width / lineWidth;
    if (!drawer.SetDrawFont(face, size, kKeep, kKeep)) return PageResult::kMissingFace;
    lineWidth = drawer.MeasureCaption(lines.first).width;
  }

  const auto count = static_cast<float>(lines.count);
  frame.PaintPendingCorner(place, count * size, 0.0f);
  frame.WaitBeforeText(request.testDisplay);

  float x = 0.0f;
  float top = 0.0f;
  switch (place) {
    case TextPlace::kBottomLeft:
      x = kMargin * width;
      top = (1.0f - kMargin) * height - count * size;
      break;
    case TextPlace::kTopRight:
      x = (1.0f - kMargin) * width - lineWidth;
      top = kMargin * height;
      break;
    case TextPlace::kCentre:
      x = (width - lineWidth) / 2.0f;
      top = (height - count * size) / 2.0f;
      break;
  }

  if (!drawer.SetDrawFont(face, size, kKeep, 0)) return PageResult::kMissingFace;
  {
    const RotatedFont upright(drawer, 0.0f);
    surface.SetForeColour(TypeColour(invertColours));
    // In a corner the em box stands where the line was reckoned; the centred
    // line is printed from its cell's corner as it is.
    if (place != TextPlace::kCentre) top += drawer.CellOffset(L"", false).dy;
    drawer.DrawDecorated(x, top, lines.first, 0, true);
    if (lines.count == 2 && !lines.second.empty()) drawer.DrawDecorated(x, top + size, lines.second, 0, true);
  }
  frame.Finish(place, invertColours);
  return PageResult::kDrawn;
}

}  // namespace

PlainLines SplitPlainLines(std::wstring_view text) {
  const int fold = GetFoldPos(text);
  if (fold < 0) return {std::wstring(text), {}, 1};
  PlainLines lines;
  lines.count = 2;
  int bytes = 0;
  for (char32_t cp : CodePoints(text)) {
    std::wstring one;
    AppendCodePoint(one, cp);
    if (bytes < fold) {
      bytes += static_cast<int>(Cp932Length(one));
      lines.first += one;
    } else {
      lines.second += one;
    }
  }
  return lines;
}

PageResult ZOR00b2(CardContext& context, const CardRequest& request, bool& invertColours) {
  return DrawPlain(context, request, invertColours, TextPlace::kBottomLeft);
}

PageResult ZOR01b2(CardContext& context, const CardRequest& request, bool& invertColours) {
  return DrawPlain(context, request, invertColours, TextPlace::kTopRight);
}

PageResult DrawCentred(CardContext& context, const CardRequest& request, bool& invertColours) {
  return DrawPlain(context, request, invertColours, TextPlace::kCentre);
}

}  // namespace zor
