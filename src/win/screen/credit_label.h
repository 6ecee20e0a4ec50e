// The credit label: a caption drawn over the image on the screen alone,
// placed in points.
#pragma once

#include <windows.h>

#include <string>

#include "win/common/handles.h"

namespace zor::win {

struct CreditLabel {
  std::wstring caption;
  bool visible = false;
  float left = 0;  // points
  float top = 0;
  COLORREF colour = RGB(255, 255, 255);
};

// The label in its font on a window, and where it was last drawn there.
class CreditLabelView {
 public:
  CreditLabel label;

  // The label's font at the screen's dots per inch.
  void MakeFont(int dpiY);
  // The caption's size in pixels as it lays out in the label's font.
  [[nodiscard]] SIZE SizePixels(HWND window) const;
  // Marks for painting where the label was and where it is now, when it
  // moved, changed or went: the image under it is shown again.
  void InvalidateChanged(HWND window, float twipsPerPixelX, float twipsPerPixelY);
  // Draws the label over what was painted.
  void Draw(HWND window, HDC dc, float twipsPerPixelX, float twipsPerPixelY);
  // Draws it as Draw would on another picture of the window; the window's
  // own showing is left as it stands.
  void DrawOver(HWND window, HDC dc, float twipsPerPixelX, float twipsPerPixelY) const;

 private:
  // Where the label stands on the window (empty when hidden).
  [[nodiscard]] RECT Where(HWND window, float twipsPerPixelX, float twipsPerPixelY) const;
  void Print(HDC dc, RECT r) const;
  UniqueFont font_;
  RECT shown_{0, 0, 0, 0};
  COLORREF shownColour_ = 0;
  std::wstring shownCaption_;
};

}  // namespace zor::win
