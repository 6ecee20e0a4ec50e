#include "win/screen/screen_form.h"

#include <imm.h>

#include "core/screen/monitors.h"
#include "win/common/dib.h"
#include "win/startup/app_state.h"

namespace zor::win {

namespace {

constexpr wchar_t kFormClass[] = L"ZoranteScreenForm";
constexpr wchar_t kCoverClass[] = L"ZoranteCover";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kParentWatch = 2;  // preview: notices a host that went away
constexpr int kLabelPoints = 9;       // size of the hidden "Dummy" label

ScreenForm* g_form = nullptr;
POINT g_pointer{0, 0};

// A black top-most window over a monitor the form does not cover; input on
// it ends the saver like input on the form.
class CoverWindow final : public Window {
 public:
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
        EndSaver();
        return 0;
      case WM_MOUSEMOVE: {
        POINT p{GET_X_LPARAM_COMPAT(lp), GET_Y_LPARAM_COMPAT(lp)};
        ClientToScreen(hwnd(), &p);
        PointerMoved(p);
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
  static int GET_X_LPARAM_COMPAT(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
  static int GET_Y_LPARAM_COMPAT(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
  reinterpret_cast<std::vector<PixelRect>*>(data)->push_back({r->left, r->top, r->right, r->bottom});
  return TRUE;
}

}  // namespace

void ResetPointerRule() { g_pointer = POINT{0, 0}; }

void PointerMoved(POINT p) {
  if (g_pointer.x == 0 && g_pointer.y == 0) {
    // The first event only records where the pointer stands. (Under Wine it
    // reports the position the X server started with, not the current one.)
    g_pointer = p;
    return;
  }
  if (p.x != g_pointer.x || p.y != g_pointer.y) EndSaver();
}

ScreenForm::ScreenForm(std::unique_ptr<ScreenController> controller) : controller_(std::move(controller)) {}

ScreenForm* ScreenForm::Current() noexcept { return g_form; }

bool ScreenForm::Load(std::unique_ptr<ScreenController> controller) {
  auto* form = new ScreenForm(std::move(controller));  // owned by g_form until Unload
  g_form = form;
  ResetPointerRule();
  const RunMode mode = App().runMode;
  const bool preview = mode == RunMode::kPreview;
  if (!form->CreateWindowAndImage()) {
    Unload();
    return false;
  }
  // Top-most, and no input-method status window over the page.
  if (!preview) SetWindowPos(form->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  if (HWND ime = ImmGetDefaultIMEWnd(form->hwnd())) SendMessageW(ime, WM_IME_CONTROL, IMC_CLOSESTATUSWINDOW, 0);

  if (!form->controller_->LoadData(*form)) {
    Unload();
    return false;
  }

  if (App().testDisplay) {
    form->label_.caption = L"Click to end.   ";
  } else if (preview) {
    form->label_.caption.clear();
  } else {
    form->label_.caption = L"\"ZORANTE ScreenSaver 32\" v1.07         \rTitle cards for your own words - the ZORANTE team";
  }

  if (preview) return true;  // the caller embeds and shows the form, and starts the timer

  ShowWindow(form->hwnd(), SW_SHOW);
  SetForegroundWindow(form->hwnd());
  form->CoverOtherMonitors();
  if (mode == RunMode::kSaver) ShowCursor(FALSE);
  form->ticking_ = true;
  form->controller_->Tick(*form);
  form->ticking_ = false;
  if (g_form == form) return true;
  delete form;  // unloaded by input during the first tick
  return false;
}

void ScreenForm::Unload() {
  ScreenForm* form = g_form;
  if (!form) return;
  g_form = nullptr;
  form->closing_ = true;
  if (form->hwnd()) {
    KillTimer(form->hwnd(), kTimer1);
    SetWindowPos(form->hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (HWND ime = ImmGetDefaultIMEWnd(form->hwnd())) SendMessageW(ime, WM_IME_CONTROL, IMC_OPENSTATUSWINDOW, 0);
  }
  form->covers_.clear();
  if (!App().testDisplay) PostQuitMessage(0);
  // A tick may still be on the stack (input during a wait): delete later.
  if (form->ticking_) {
    if (form->hwnd()) ShowWindow(form->hwnd(), SW_HIDE);
    return;
  }
  delete form;
}

bool ScreenForm::CreateWindowAndImage() {
  const bool preview = App().runMode == RunMode::kPreview;
  const int w = preview ? 1 : GetSystemMetrics(SM_CXSCREEN);
  const int h = preview ? 1 : GetSystemMetrics(SM_CYSCREEN);
  const DWORD exStyle = preview ? 0 : WS_EX_TOPMOST;
  // The preview is made a child of the host's window from the start: it never
  // shows as a window of its own before it is embedded.
  HWND parent = preview ? App().previewParent : nullptr;
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_CLIPCHILDREN;
  if (!Create(kFormClass, style, exStyle, preview ? L"Preview" : L"ZORANTE", 0, 0, w, h, parent)) return false;
  {
    WindowDc screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    tppX_ = dpiX > 0 ? 1440.0f / static_cast<float>(dpiX) : 15.0f;
    tppY_ = dpiY > 0 ? 1440.0f / static_cast<float>(dpiY) : 15.0f;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kLabelPoints, dpiY > 0 ? dpiY : 96, 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Times New Roman");
    labelFont_.reset(CreateFontIndirectW(&lf));
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  return ResizeImage(client.right, client.bottom);
}

bool ScreenForm::ResizeImage(int width, int height) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (imageDc_ && width == width_ && height == height_) return true;
  WindowDc screen(nullptr);
  UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!dc) return false;
  void* bits = nullptr;
  UniqueBitmap bitmap = CreateTopDownDib(screen.get(), width, height, &bits);
  if (!bitmap) return false;
  if (imageDc_ && oldBitmap_) SelectObject(imageDc_.get(), oldBitmap_);
  oldBitmap_ = SelectObject(dc.get(), bitmap.get());
  imageDc_ = std::move(dc);
  image_ = std::move(bitmap);
  bits_ = bits;
  width_ = width;
  height_ = height;
  PatBlt(imageDc_.get(), 0, 0, width, height, BLACKNESS);
  return true;
}

void ScreenForm::Refresh() {
  if (!hwnd()) return;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
}

SIZE ScreenForm::Label1SizePixels() {
  RECT r{0, 0, 0, 0};
  WindowDc dc(hwnd());
  SelectionRestorer font(dc.get(), labelFont_.get());
  DrawTextW(dc.get(), label_.caption.c_str(), static_cast<int>(label_.caption.size()), &r,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

float ScreenForm::Label1Width() { return static_cast<float>(Label1SizePixels().cx) * tppX_ / 20.0f; }
float ScreenForm::Label1Height() { return static_cast<float>(Label1SizePixels().cy) * tppY_ / 20.0f; }

void ScreenForm::DrawLabel(HDC dc) {
  if (!label_.visible || label_.caption.empty()) return;
  const SIZE size = Label1SizePixels();
  RECT r;
  r.left = static_cast<LONG>(label_.left * 20.0f / tppX_ + 0.5f);
  r.top = static_cast<LONG>(label_.top * 20.0f / tppY_ + 0.5f);
  r.right = r.left + size.cx;
  r.bottom = r.top + size.cy;
  SelectionRestorer font(dc, labelFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label_.colour);
  DrawTextW(dc, label_.caption.c_str(), static_cast<int>(label_.caption.size()), &r, DT_NOPREFIX | DT_LEFT);
}

void ScreenForm::OnPaint() {
  PaintDc paint(hwnd());
  const RECT& a = paint.area();
  BitBlt(paint.get(), a.left, a.top, a.right - a.left, a.bottom - a.top, imageDc_.get(), a.left, a.top, SRCCOPY);
  DrawLabel(paint.get());
}

void ScreenForm::SetTimerInterval(UINT ms) {
  if (!hwnd()) return;
  if (ms == 0) {
    KillTimer(hwnd(), kTimer1);
    timerOn_ = false;
  } else if (!timerOn_ || ms != interval_) {
    SetTimer(hwnd(), kTimer1, ms, nullptr);
    timerOn_ = true;
  }
  interval_ = ms;
  if (App().runMode == RunMode::kPreview && App().previewParent) SetTimer(hwnd(), kParentWatch, 500, nullptr);
}

bool ScreenForm::Wait(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  const bool pumpMessages = App().runMode != RunMode::kPreview;
  for (;;) {
    if (closing_) return false;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return true;
    const auto remaining = static_cast<DWORD>(deadline - now);
    if (!pumpMessages) {
      // The preview does not handle messages while it waits; it only sleeps.
      Sleep(remaining);
      continue;
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (closing_) return false;
    }
  }
}

void ScreenForm::OnInput() {
  if (App().testDisplay || App().runMode == RunMode::kSaver) EndSaver();
}

void ScreenForm::CoverOtherMonitors() {
  if (App().runMode != RunMode::kSaver) return;
  std::vector<PixelRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT mine{};
  GetWindowRect(hwnd(), &mine);
  for (const PixelRect& m : MonitorsToCover(monitors, {mine.left, mine.top, mine.right, mine.bottom})) {
    auto cover = std::make_unique<CoverWindow>();
    if (cover->Open(RECT{m.left, m.top, m.right, m.bottom})) covers_.push_back(std::move(cover));
  }
}

LRESULT ScreenForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      if (!ResizeImage(LOWORD(lp), HIWORD(lp))) return 0;
      return 0;
    case WM_TIMER:
      if (wp == kParentWatch) {
        if (!IsWindow(App().previewParent)) PostQuitMessage(0);
        return 0;
      }
      if (wp == kTimer1 && !ticking_ && !closing_) {
        ticking_ = true;
        controller_->Tick(*this);
        ticking_ = false;
        if (closing_ && g_form != this) delete this;
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnInput();
      return 0;
    case WM_MOUSEMOVE:
      if (!App().testDisplay && App().runMode == RunMode::kSaver) {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd(), &p);
        PointerMoved(p);
      }
      return 0;
    case WM_SETCURSOR:
      if (App().runMode == RunMode::kSaver) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      // The host must not start another saver over this one.
      if ((wp & 0xFFF0) == SC_SCREENSAVE || (wp & 0xFFF0) == SC_MONITORPOWER) return 0;
      break;
    case WM_DESTROY:
      // In the preview the host destroys its window and ours with it.
      if (App().runMode == RunMode::kPreview) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace zor::win
