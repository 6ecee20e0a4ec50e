// The screen form's two images of the screen's size: the first, drawn on
// from the start, and a second made when first asked for; painting shows
// the one last told.
#pragma once

#include <windows.h>

#include "win/common/dib.h"

namespace zor::win {

class FormImages {
 public:
  // Both images of the new size; the second goes, and the first is shown.
  [[nodiscard]] bool Resize(int width, int height) {
    if (width != first_.width() || height != first_.height()) {
      second_.Reset();
      shown_ = nullptr;
    }
    return first_.Create(width, height);
  }
  [[nodiscard]] HDC FirstDc() const noexcept { return first_.dc(); }
  // Null when it cannot be made.
  [[nodiscard]] HDC SecondDc() {
    if (!second_.dc() && !second_.Create(first_.width(), first_.height())) return nullptr;
    return second_.dc();
  }
  void Show(HDC image) noexcept { shown_ = image; }
  [[nodiscard]] HDC ShownDc() const noexcept { return shown_ ? shown_ : first_.dc(); }
  [[nodiscard]] int Width() const noexcept { return first_.width(); }
  [[nodiscard]] int Height() const noexcept { return first_.height(); }

 private:
  DibImage first_;
  DibImage second_;
  HDC shown_ = nullptr;  // null: the first
};

}  // namespace zor::win
