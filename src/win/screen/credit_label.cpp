#include "win/screen/credit_label.h"

#include "core/screen/points_and_pixels.h"

namespace zor::win {

namespace {
constexpr int kLabelPoints = 9;  // size of the hidden "Dummy" label
}  // namespace

void CreditLabelView::MakeFont(int dpiY) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(kLabelPoints, dpiY > 0 ? dpiY : 96, 72);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  wcscpy_s(lf.lfFaceName, L"Times New Roman");
  font_.reset(CreateFontIndirectW(&lf));
}

SIZE CreditLabelView::SizePixels(HWND window) const {
  RECT r{0, 0, 0, 0};
  WindowDc dc(window);
  SelectionRestorer font(dc.get(), font_.get());
  DrawTextW(dc.get(), label.caption.c_str(), static_cast<int>(label.caption.size()), &r,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT CreditLabelView::Where(HWND window, float twipsPerPixelX, float twipsPerPixelY) const {
  if (!label.visible || label.caption.empty()) return RECT{0, 0, 0, 0};
  const SIZE size = SizePixels(window);
  RECT r;
  r.left = PointsToPixels(label.left, twipsPerPixelX);
  r.top = PointsToPixels(label.top, twipsPerPixelY);
  r.right = r.left + size.cx;
  r.bottom = r.top + size.cy;
  return r;
}

void CreditLabelView::InvalidateChanged(HWND window, float twipsPerPixelX, float twipsPerPixelY) {
  const RECT now = Where(window, twipsPerPixelX, twipsPerPixelY);
  if (EqualRect(&now, &shown_) && shownColour_ == label.colour && shownCaption_ == label.caption) return;
  if (!IsRectEmpty(&shown_)) InvalidateRect(window, &shown_, FALSE);
  if (!IsRectEmpty(&now)) InvalidateRect(window, &now, FALSE);
}

void CreditLabelView::Draw(HWND window, HDC dc, float twipsPerPixelX, float twipsPerPixelY) {
  RECT r = Where(window, twipsPerPixelX, twipsPerPixelY);
  shown_ = r;
  shownColour_ = label.colour;
  shownCaption_ = label.caption;
  Print(dc, r);
}

void CreditLabelView::DrawOver(HWND window, HDC dc, float twipsPerPixelX, float twipsPerPixelY) const {
  Print(dc, Where(window, twipsPerPixelX, twipsPerPixelY));
}

void CreditLabelView::Print(HDC dc, RECT r) const {
  if (IsRectEmpty(&r)) return;
  SelectionRestorer font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.colour);
  DrawTextW(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &r, DT_NOPREFIX | DT_LEFT);
}

}  // namespace zor::win
