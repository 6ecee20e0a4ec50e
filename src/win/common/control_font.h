// A font for text drawn inside an owner-drawn control, its characters four
// fifths of the control's height; made again when that height changes (the
// dialog moved to a monitor of another DPI).
#pragma once

#include <windows.h>

#include <string_view>

#include "win/common/handles.h"

namespace zor::win {

class ControlFont {
 public:
  explicit constexpr ControlFont(std::wstring_view face) noexcept : face_(face) {}

  // The font for a control of this height in pixels; null when it cannot be made.
  [[nodiscard]] HFONT For(int height);
  // The height the font was last made for, 0 before.
  [[nodiscard]] int Height() const noexcept { return height_; }
  // Lets the font go; the next For makes it again.
  void Forget() noexcept { font_.reset(); }

 private:
  std::wstring_view face_;
  UniqueFont font_;
  int height_ = 0;
};

}  // namespace zor::win
