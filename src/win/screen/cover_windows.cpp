#include "win/screen/cover_windows.h"

#include "core/screen/monitors.h"
#include "win/screen/screen_form.h"

namespace zor::win {

namespace {

constexpr wchar_t kCoverClass[] = L"ZoranteCover";

class CoverWindow final : public Window {
 public:
  explicit CoverWindow(ScreenForm& form) : form_(form) {}
  [[nodiscard]] bool Open(const RECT& r) {
    return Create(kCoverClass, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", r.left, r.top,
                  r.right - r.left, r.bottom - r.top, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        form_.End();
        return 0;
      case WM_MOUSEMOVE: {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd(), &p);
        form_.PointerMoved(p);
        return 0;
      }
      case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
      default:
        return Window::HandleMessage(msg, wp, lp);
    }
  }

 private:
  ScreenForm& form_;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
  reinterpret_cast<std::vector<PixelRect>*>(data)->push_back({r->left, r->top, r->right, r->bottom});
  return TRUE;
}

}  // namespace

void CoverWindows::Open(ScreenForm& form) {
  std::vector<PixelRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT mine{};
  GetWindowRect(form.hwnd(), &mine);
  for (const PixelRect& m : MonitorsToCover(monitors, {mine.left, mine.top, mine.right, mine.bottom})) {
    auto cover = std::make_unique<CoverWindow>(form);
    if (cover->Open(RECT{m.left, m.top, m.right, m.bottom})) covers_.push_back(std::move(cover));
  }
}

}  // namespace zor::win
