// Glyph drawing on the screen form: the font setter that keeps the form and
// its measuring label in step, centring of one character in its em cell,
// the decorated print every renderer uses, turned fonts, and the stopwatch
// that keeps the background alone on the screen before the text.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/screen/surface.h"

namespace zor {

// In font-setting calls this value leaves the attribute unchanged.
inline constexpr int kKeep = -999;

inline constexpr std::wstring_view kMessageTitle = L"ZORANTE";
inline constexpr std::wstring_view kMissingFaceMessage =
    L"指定のフォントがインストールされていない可能性があります。フォントの設定を確認してください";

// The measuring label's design font.
inline constexpr std::wstring_view kLabelDesignFace = L"@ＭＳ Ｐ明朝";
inline constexpr float kLabelDesignSize = 56.25f;

// Escapement in tenths of a degree for a turn of the given degrees: rounded,
// then the remainder of 3600 with the sign of the turn (270 -> 2700,
// 360 -> 0, -90 -> -900).
[[nodiscard]] int EscapementTenths(float degrees) noexcept;

// True for a face name of the vertical form ("@" + name).
[[nodiscard]] constexpr bool IsVerticalFace(std::wstring_view face) noexcept {
  return !face.empty() && face.front() == L'@';
}

// Where vertical typesetting moves a character printed upright in a column
// from where horizontal text has it, in ems (right, down), for a face with
// no vertical form of it: 、。，． to the cell's top-right corner, small kana
// a little up and to the right; nothing for any other character.
[[nodiscard]] Offset VerticalFormShift(std::wstring_view ch);

class GlyphDrawer {
 public:
  // The form starts with the given face and bold flag ("UseFont",
  // "UseFontBold"); the label with its design font, bold.
  GlyphDrawer(Surface& surface, std::int16_t decoration, std::wstring_view face, bool formBold);

  // Face, size (points), bold and italic of form and label; an empty face or
  // kKeep leaves that attribute alone. A face that is not installed is
  // reported through the surface and leaves the font unchanged: false.
  [[nodiscard]] bool SetDrawFont(std::wstring_view face, float size, int bold, int italic);

  // Lays the caption out on the measuring label.
  [[nodiscard]] TextExtent MeasureCaption(std::wstring_view caption);

  // Offsets that centre one character in its em cell: along x for a
  // horizontal face, along y for an "@" face; 0 for any other text.
  [[nodiscard]] float GetDiffX(std::wstring_view ch);
  [[nodiscard]] float GetDiffY(std::wstring_view ch);

  // What moves one character of an L's runs from its cell's corner so that
  // the face's em box fills the cell whatever room its lines hold: an
  // upright character up by the face's em-box drop, a turned one (the form
  // font in an "@" face) right by it, and a turned character the face has
  // no vertical form of to where vertical typesetting puts it.
  [[nodiscard]] Offset CellOffset(std::wstring_view ch, bool turned);

  // Prints text at (x, y) with the decoration. Smear direction 0 or 2 sends
  // extra-bold copies to the left, anything else to the right. Without
  // noCentring a single character is first centred in its cell.
  void DrawDecorated(float x, float y, std::wstring_view text, int smearDirection, bool noCentring);

  // Selects a copy of the form's font turned by the given degrees, or the
  // form's own font again.
  void SelectRotatedFont(float degrees);
  void RestoreFormFont();

  [[nodiscard]] const FontSpec& FormFont() const noexcept { return form_; }
  [[nodiscard]] const FontSpec& LabelFont() const noexcept { return label_; }
  [[nodiscard]] Surface& surface() noexcept { return surface_; }

 private:
  [[nodiscard]] float CentringOffset(std::wstring_view ch, bool vertical);

  Surface& surface_;
  std::int16_t decoration_;
  FontSpec form_;
  FontSpec label_;
};

// A turned copy of the form's font, selected for a run; the form's own font
// comes back at the end of the scope.
class RotatedFont {
 public:
  RotatedFont(GlyphDrawer& drawer, float degrees) : drawer_(drawer) { drawer_.SelectRotatedFont(degrees); }
  ~RotatedFont() { drawer_.RestoreFormFont(); }
  RotatedFont(const RotatedFont&) = delete;
  RotatedFont& operator=(const RotatedFont&) = delete;

 private:
  GlyphDrawer& drawer_;
};

// The display stopwatch: every layout starts it when the background is
// painted and waits on it before drawing text.
class Stopwatch {
 public:
  explicit Stopwatch(Clock& clock) : clock_(clock) {}
  void Start();
  // Returns when ms milliseconds have passed since Start, letting time pass
  // only through the clock's wait. A start that lies in the future (tick
  // count reset) returns at once.
  void WaitSince(std::int32_t ms);

 private:
  Clock& clock_;
  std::int32_t start_ = 0;
};

}  // namespace zor
