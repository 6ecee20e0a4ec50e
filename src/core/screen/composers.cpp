#include "core/screen/composers.h"

#include <algorithm>
#include <cmath>

#include "core/screen/glyph_rules.h"
#include "core/text/cp932.h"
#include "core/text/measures.h"
#include "core/text/unicode.h"

namespace zor {

namespace {

constexpr std::wstring_view kBang = L"！";
constexpr float kShrink = 0.95f;
constexpr float kMargin = 0.02f;
constexpr float kUsable = 0.95f;
constexpr float kSingleShare = 0.66f;  // of the usable height, for one character
constexpr float kPairShare = 0.5f;     // for two characters

bool SensitiveAt(const std::vector<std::wstring>& chars, int k) {
  return k >= 1 && k <= static_cast<int>(chars.size()) && IsFoldSensitive(chars[static_cast<std::size_t>(k - 1)]);
}

// Size pair and corner of a fold kind.
LSizes SizesOfKind(float base, int fold, char kind) {
  switch (kind) {
    case 'A':
      return {1.5f * base, base, fold, true};
    case 'C':
      return {base, 1.5f * base, fold, true};
    case 'B':
      return {base, 1.5f * base, fold, false};
    case 'D':
      return {1.5f * base, base, fold, false};
    default:
      return {base, base, fold, true};
  }
}

// CP932 code of one character read as a signed 16-bit value.
int SignedCode(std::wstring_view ch) {
  const std::string bytes = ToCp932(ch);
  if (bytes.size() == 1) return static_cast<unsigned char>(bytes[0]);
  if (bytes.size() != 2) return 0;
  const auto code =
      static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]));
  return static_cast<std::int16_t>(code);
}

// 1 kanji, 2 katakana, symbols, full-width digits and letters, 3 hiragana,
// 0 none.
int EmphasisClass(std::wstring_view ch) {
  const int c = SignedCode(ch);
  if (c >= -30561) return 1;
  if ((c >= -31936 && c < -30575) || (c >= -32192 && c <= -32101)) return 2;
  if (c >= -32097 && c <= -32001) return 3;
  return 0;
}

bool Emphasised(const CardRequest& request, int k, int pick) {
  if (!request.emphasis.on) return false;
  if (request.format.emphasisMode == 'R') {
    const std::string& marks = request.format.emphasisMarks;
    // Characters after the 32nd have no mark.
    return k <= kMarkedCharacters && static_cast<std::size_t>(k) <= marks.size() &&
           marks[static_cast<std::size_t>(k - 1)] == 'A';
  }
  return request.format.emphasisMode == ' ' && k == pick;
}

// Prints the placed characters, switching fonts only when the face, size or
// italic state changes from one character to the next. In an L each
// character's em box is put in its cell (the centred row is printed from
// the cells' corners as they are).
PageResult DrawGlyphs(CardContext& context, const CardRequest& request, bool invertColours,
                      const std::vector<std::wstring>& chars, const std::vector<GlyphPlace>& places, int smear,
                      bool inL) {
  GlyphDrawer& drawer = context.drawer;
  Surface& surface = drawer.surface();
  const std::wstring& name = context.settings.typeFace;
  const std::int16_t pick = PickRandomEmphasis(request.text, request.format.foldPosition, request.format.foldKind,
                                               request.format.emphasisMode, context.random);
  const Rgb plain = TypeColour(invertColours);
  const Rgb emphasis = PaletteColour(NormaliseEmphasisColour(request.emphasis.colour));

  struct Kind {
    bool turned;
    float size;
    bool italic;
    bool operator==(const Kind&) const = default;
  };
  bool haveKind = false;
  Kind current{};
  PageResult result = PageResult::kDrawn;
  for (const GlyphPlace& place : places) {
    const std::wstring& ch = chars[static_cast<std::size_t>(place.index - 1)];
    const Kind kind{place.turned, place.size, ch == kBang};
    if (!haveKind || kind != current) {
      const std::wstring face = kind.turned ? L"@" + name : name;
      const bool sameFace = haveKind && face == drawer.FormFont().face;
      if (!drawer.SetDrawFont(sameFace ? std::wstring_view() : std::wstring_view(face),
                              haveKind && kind.size == current.size ? static_cast<float>(kKeep) : kind.size, kKeep,
                              kind.italic ? -1 : 0)) {
        result = PageResult::kMissingFace;
        break;
      }
      drawer.SelectRotatedFont(kind.turned ? 270.0f : 0.0f);
      current = kind;
      haveKind = true;
    }
    surface.SetForeColour(Emphasised(request, place.index, pick) ? emphasis : plain);
    const Offset cell = inL ? drawer.CellOffset(ch, place.turned) : Offset{};
    drawer.DrawDecorated(place.x + cell.dx, place.y + cell.dy, ch, smear, false);
  }
  drawer.RestoreFormFont();
  return result;
}

}  // namespace

std::vector<std::wstring> SplitCharacters(std::wstring_view text) {
  std::vector<std::wstring> chars;
  for (char32_t cp : CodePoints(text)) {
    std::wstring one;
    AppendCodePoint(one, cp);
    chars.push_back(std::move(one));
  }
  return chars;
}

float CentredSize(float usableWidth, float usableHeight, int count) {
  return std::min(0.8f * usableWidth / static_cast<float>(count), kSingleShare * usableHeight);
}

LSizes StoredFoldSizes(LShape shape, float usableWidth, float usableHeight, int count, int fold, char foldKind) {
  if (count == 1) return {kSingleShare * usableHeight, kSingleShare * usableHeight, 1, true};
  if (count == 2) {
    LSizes sizes = SizesOfKind(kPairShare * usableHeight, fold, foldKind);
    sizes.size1 = sizes.size2 = kPairShare * usableHeight;
    return sizes;
  }
  const bool bottomLeft = shape == LShape::kBottomLeft;
  const float firstLength = bottomLeft ? usableHeight : usableWidth;
  const float secondLength = bottomLeft ? usableWidth : usableHeight;
  const auto beforeFold = static_cast<float>(fold - 1);
  const auto afterFold = static_cast<float>(count - fold);
  float fit = 1.0f;
  for (;;) {
    const float a = firstLength / static_cast<float>(fold) * fit;
    const float b = secondLength / (afterFold + 1.0f) * fit;
    const LSizes sizes = SizesOfKind(std::min(a, b), fold, foldKind);
    const float corner = sizes.cornerInFirst ? sizes.size1 : sizes.size2;
    const float firstRun = beforeFold * sizes.size1 + corner;
    const float secondRun = corner + afterFold * sizes.size2;
    const float vertical = bottomLeft ? firstRun : secondRun;
    const float horizontal = bottomLeft ? secondRun : firstRun;
    if (vertical <= usableHeight && horizontal <= usableWidth) return sizes;
    fit *= kShrink;
  }
}

LSizes AutomaticFoldSizes(LShape shape, float usableWidth, float usableHeight, const std::vector<std::wstring>& chars) {
  const int n = static_cast<int>(chars.size());
  if (n == 1) return {kSingleShare * usableHeight, kSingleShare * usableHeight, 1, true};
  const bool lastSensitive = SensitiveAt(chars, n);
  if (n == 2 || (n == 3 && lastSensitive)) {
    const float s = usableHeight / static_cast<float>(n);
    return {s, s, 1, true};
  }
  float fit = 1.0f;
  for (;;) {
    const float s = (usableHeight + usableWidth) / static_cast<float>(n + 1) * fit;
    // A screen taller than wide can hold more cells than there are
    // characters: the column never holds more than the message.
    const float cells = std::floor(usableHeight / s);
    const int v = cells >= static_cast<float>(n) ? n : static_cast<int>(cells);
    if (shape == LShape::kBottomLeft) {
      const int q = v;
      const int h = n - q + 1;
      if (static_cast<float>(h) * s <= usableWidth && !(lastSensitive && h == 2) && !(SensitiveAt(chars, q) && h > 2) &&
          q >= 2) {
        return {s, s, q, true};
      }
    } else {
      const int q = n - v + 1;
      if (static_cast<float>(q) * s <= usableWidth && !(SensitiveAt(chars, q) && q > 2) && !(lastSensitive && v < 3) &&
          v >= 2) {
        return {s, s, q, true};
      }
    }
    fit *= kShrink;
  }
}

LSizes LSizesFor(LShape shape, float usableWidth, float usableHeight, const std::vector<std::wstring>& chars,
                 const CurrentFormat& format) {
  const int n = static_cast<int>(chars.size());
  const int fold = format.foldPosition;
  if (fold >= 1 && fold <= kMarkedCharacters && fold <= n) {
    return StoredFoldSizes(shape, usableWidth, usableHeight, n, fold, format.foldKind);
  }
  return AutomaticFoldSizes(shape, usableWidth, usableHeight, chars);
}

std::vector<GlyphPlace> PlaceL(LShape shape, const std::vector<std::wstring>& chars, const LSizes& sizes,
                               float scaleWidth, float scaleHeight) {
  const int n = static_cast<int>(chars.size());
  const int q = sizes.fold;
  const float s1 = sizes.size1;
  const float s2 = sizes.size2;
  const bool first = sizes.cornerInFirst;
  auto bang = [&](int k) { return chars[static_cast<std::size_t>(k - 1)] == kBang; };
  auto f = [](int v) { return static_cast<float>(v); };
  std::vector<GlyphPlace> places;

  if (shape == LShape::kBottomLeft) {
    const float left = kMargin * scaleWidth;
    const float bottom = (1.0f - kMargin) * scaleHeight;
    // Down the left edge: a turned character stands by its cell's right edge.
    for (int i = 0; i < q - 1; ++i) {
      const float y = first ? bottom - f(q - i) * s1 : bottom - s2 - f(q - 1 - i) * s1;
      places.push_back({i + 1, bang(i + 1) ? left : left + s1, y, s1, !bang(i + 1)});
    }
    if (first) {
      places.push_back({q, bang(q) ? left : left + s1, bottom - s1, s1, !bang(q)});
    } else {
      places.push_back({q, left, bottom - s2, s2, false});
    }
    const float start = left + (first ? s1 : s2);
    for (int k = q + 1; k <= n; ++k) places.push_back({k, start + f(k - q - 1) * s2, bottom - s2, s2, false});
  } else {
    const float right = (1.0f - kMargin) * scaleWidth;
    const float top = kMargin * scaleHeight;
    for (int i = 0; i < q - 1; ++i) {
      const float x = first ? right - f(q - i) * s1 : right - s2 - f(q - 1 - i) * s1;
      places.push_back({i + 1, x, top, s1, false});
    }
    if (first) {
      places.push_back({q, right - s1, top, s1, false});
    } else {
      places.push_back({q, bang(q) ? right - s2 : right, top, s2, !bang(q)});
    }
    const float start = top + (first ? s1 : s2);
    for (int k = q + 1; k <= n; ++k) {
      places.push_back({k, bang(k) ? right - s2 : right, start + f(k - q - 1) * s2, s2, !bang(k)});
    }
  }
  return places;
}

std::vector<GlyphPlace> PlaceCentred(int count, float size, float scaleWidth, float scaleHeight) {
  std::vector<GlyphPlace> places;
  const float left = (scaleWidth - static_cast<float>(count) * size) / 2.0f;
  const float top = (scaleHeight - size) / 2.0f;
  for (int i = 0; i < count; ++i) places.push_back({i + 1, left + size * static_cast<float>(i), top, size, false});
  return places;
}

std::int16_t PickRandomEmphasis(std::wstring_view text, std::int16_t foldPosition, char foldKind, char emphasisMode,
                                RandomSource& random) {
  if (emphasisMode == 'R') return -1;
  const std::vector<std::wstring> chars = SplitCharacters(text);
  const int d = static_cast<int>(chars.size());
  const int q = foldPosition;
  int lo = 1;
  int hi = d;
  if (!ContainsHalfWidth(text) && q >= 1 && q <= kMarkedCharacters) {
    switch (foldKind) {
      case 'A':
        hi = q;
        break;
      case 'B':
        lo = q;
        break;
      case 'C':
        if (q + 1 <= d) lo = q + 1;
        break;
      case 'D':
        if (q >= 2) hi = q - 1;
        break;
      default:
        break;
    }
    // A fold beyond the message narrows nothing.
    hi = std::min(hi, d);
    if (lo > hi) {
      lo = 1;
      hi = d;
    }
  }
  for (int wanted = 1; wanted <= 3; ++wanted) {
    std::vector<int> members;
    for (int k = lo; k <= hi; ++k) {
      if (EmphasisClass(chars[static_cast<std::size_t>(k - 1)]) == wanted) members.push_back(k);
    }
    if (!members.empty()) {
      const int r = random.Rand(static_cast<int>(members.size()));
      return static_cast<std::int16_t>(members[static_cast<std::size_t>(r)]);
    }
  }
  return -1;
}

namespace {

PageResult ComposeL(CardContext& context, const CardRequest& request, bool& invertColours, LShape shape) {
  Surface& surface = context.drawer.surface();
  PageFrame& frame = context.frame;
  const bool bottomLeft = shape == LShape::kBottomLeft;
  const TextPlace place = bottomLeft ? TextPlace::kBottomLeft : TextPlace::kTopRight;

  frame.Begin(request.testDisplay, invertColours);
  const std::vector<std::wstring> chars = SplitCharacters(request.text);
  const int n = static_cast<int>(chars.size());
  if (n == 0) {
    // A message that trims to nothing: the page shows its ground.
    frame.PaintPendingCorner(place, 0.0f, 0.0f);
    frame.Finish(place, invertColours);
    return PageResult::kDrawn;
  }
  const float width = surface.ScaleWidth();
  const float height = surface.ScaleHeight();
  const LSizes sizes = LSizesFor(shape, kUsable * width, kUsable * height, chars, request.format);
  if (bottomLeft) {
    frame.PaintPendingCorner(place, n == 1 ? sizes.size2 / 2.0f : sizes.size2, sizes.size1);
  } else {
    frame.PaintPendingCorner(place, n <= 2 ? sizes.size1 / 2.0f : sizes.size1, sizes.size2);
  }
  frame.WaitBeforeText(request.testDisplay);
  const PageResult result = DrawGlyphs(context, request, invertColours, chars,
                                       PlaceL(shape, chars, sizes, width, height), bottomLeft ? 0 : 1, true);
  if (result != PageResult::kDrawn) return result;
  frame.Finish(place, invertColours);
  return result;
}

}  // namespace

PageResult ComposeLBottomLeft(CardContext& context, const CardRequest& request, bool& invertColours) {
  return ComposeL(context, request, invertColours, LShape::kBottomLeft);
}

PageResult ComposeLTopRight(CardContext& context, const CardRequest& request, bool& invertColours) {
  return ComposeL(context, request, invertColours, LShape::kTopRight);
}

PageResult ComposeCentred(CardContext& context, const CardRequest& request, bool& invertColours) {
  Surface& surface = context.drawer.surface();
  PageFrame& frame = context.frame;
  frame.Begin(request.testDisplay, invertColours);
  const std::vector<std::wstring> chars = SplitCharacters(request.text);
  const int n = static_cast<int>(chars.size());
  if (n == 0) {
    frame.PaintPendingCorner(TextPlace::kCentre, 0.0f, 0.0f);
    frame.Finish(TextPlace::kCentre, invertColours);
    return PageResult::kDrawn;
  }
  const float width = surface.ScaleWidth();
  const float height = surface.ScaleHeight();
  const float s = CentredSize(kUsable * width, kUsable * height, n);
  frame.PaintPendingCorner(TextPlace::kCentre, n <= 2 ? s / 2.0f : s, s);
  frame.WaitBeforeText(request.testDisplay);
  const PageResult result = DrawGlyphs(context, request, invertColours, chars, PlaceCentred(n, s, width, height), 1, false);
  if (result != PageResult::kDrawn) return result;
  frame.Finish(TextPlace::kCentre, invertColours);
  return result;
}

}  // namespace zor
