#include "win/screen/screen_form.h"

#include <imm.h>

#include <algorithm>

#include "core/screen/monitors.h"
#include "core/version.h"
#include "win/common/dib.h"
#include "win/common/system.h"

namespace zor::win {

namespace {

constexpr wchar_t kFormClass[] = L"ZoranteScreenForm";
constexpr wchar_t kCoverClass[] = L"ZoranteCover";
constexpr UINT_PTR kDisplayTimer = 1;
constexpr UINT_PTR kParentWatch = 2;  // preview: notices a host that went away
constexpr UINT_PTR kSoakTimer = 3;    // diagnostics: the soak log's period
constexpr UINT_PTR kRehearsalTimer = 4;  // the next page rehearsed once this one is shown
constexpr UINT kRehearsalDelayMs = 50;
constexpr int kLabelPoints = 9;       // size of the hidden "Dummy" label

// A black top-most window over a monitor the form does not cover; input on
// it ends the saver like input on the form.
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
        POINT p{GET_X_LPARAM_COMPAT(lp), GET_Y_LPARAM_COMPAT(lp)};
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
  static int GET_X_LPARAM_COMPAT(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
  static int GET_Y_LPARAM_COMPAT(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT r, LPARAM data) {
  reinterpret_cast<std::vector<PixelRect>*>(data)->push_back({r->left, r->top, r->right, r->bottom});
  return TRUE;
}

// The saver's credit line: the version, nine blanks, a carriage return
// alone and the maker's line.
std::wstring SaverCredit() {
  return L"\"ZORANTE ScreenSaver 32\" v" + std::wstring(kVersion) +
         L"         \rTitle cards for your own words - the ZORANTE team";
}

// A real access violation in this module, as a bug would make one.
void CrashOnPurpose() {
  static int* volatile nowhere = nullptr;
  *nowhere = 1;
}

}  // namespace

void EndSaver() {
  ShowCursor(TRUE);
  SetScreenSaverActive(true);
  ExitProcess(0);
}

void ScreenForm::PointerMoved(POINT p) {
  if (pointer_.x == 0 && pointer_.y == 0) {
    // The first event only records where the pointer stands. (Under Wine it
    // reports the position the X server started with, not the current one.)
    pointer_ = p;
    return;
  }
  if (p.x != pointer_.x || p.y != pointer_.y) End();
}

ScreenForm::ScreenForm(const ScreenFormOptions& options, std::unique_ptr<ScreenController> controller)
    : options_(options), controller_(std::move(controller)) {}

// What draws on the image goes before the image.
ScreenForm::~ScreenForm() {
  covers_.clear();
  controller_.reset();
}

std::unique_ptr<ScreenForm> ScreenForm::Load(const ScreenFormOptions& options,
                                             std::unique_ptr<ScreenController> controller) {
  std::unique_ptr<ScreenForm> form(new ScreenForm(options, std::move(controller)));
  const bool preview = options.mode == ScreenMode::kPreview;
  if (!form->CreateWindowAndImage()) {
    form->Unload();
    return nullptr;
  }
  // Top-most, and no input-method status window over the page.
  if (!preview) SetWindowPos(form->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  if (HWND ime = ImmGetDefaultIMEWnd(form->hwnd())) SendMessageW(ime, WM_IME_CONTROL, IMC_CLOSESTATUSWINDOW, 0);

  if (!form->controller_->LoadData(*form)) {
    form->Unload();
    return nullptr;
  }

  switch (options.mode) {
    case ScreenMode::kTestDisplay: form->label_.caption = L"Click to end.   "; break;
    case ScreenMode::kPreview: form->label_.caption.clear(); break;
    case ScreenMode::kSaver: form->label_.caption = SaverCredit(); break;
  }

  if (preview) return form;  // the caller embeds and shows the form, and starts the timer

  ShowWindow(form->hwnd(), SW_SHOW);
  SetForegroundWindow(form->hwnd());
  form->CoverOtherMonitors();
  if (options.mode == ScreenMode::kSaver) {
    ShowCursor(FALSE);
    form->StartSoakLog();
  }
  form->RunTick();
  return form;
}

void ScreenForm::Unload() {
  if (closing_) return;
  closing_ = true;
  if (hwnd()) {
    KillTimer(hwnd(), kDisplayTimer);
    KillTimer(hwnd(), kParentWatch);
    KillTimer(hwnd(), kSoakTimer);
    KillTimer(hwnd(), kRehearsalTimer);
    timerOn_ = false;
    SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (HWND ime = ImmGetDefaultIMEWnd(hwnd())) SendMessageW(ime, WM_IME_CONTROL, IMC_OPENSTATUSWINDOW, 0);
    // Hidden until its owner destroys it: a tick may still be on the stack.
    ShowWindow(hwnd(), SW_HIDE);
  }
  covers_.clear();
  if (options_.mode != ScreenMode::kTestDisplay) PostQuitMessage(0);
}

void ScreenForm::End() {
  if (options_.endAction == EndAction::kEndProcess) EndSaver();
  Unload();
}

void ScreenForm::StartSoakLog() {
  soakLog_ = SoakLog::FromEnvironment();
  crashTestInTimer_ = options_.mode == ScreenMode::kSaver && CrashTestInTimer();
  if (!soakLog_) return;
  (void)soakLog_->Append(soakTicks_);
  SetTimer(hwnd(), kSoakTimer, soakLog_->PeriodMs(), nullptr);
}

void ScreenForm::CountTick() noexcept {
  if (options_.countTicks && ++tickCount_ > 2000000000) tickCount_ = 1000000000;
}

void ScreenForm::RunTick() {
  if (ticking_ || closing_) return;
  ticking_ = true;
  if (soakLog_) ++soakTicks_;
  controller_->Tick(*this);
  ticking_ = false;
  // The saver's next page is rehearsed when the queue is next idle (a timer
  // comes after input and painting), well before its own tick.
  if (options_.mode == ScreenMode::kSaver && !closing_ && timerOn_ && hwnd()) {
    SetTimer(hwnd(), kRehearsalTimer, kRehearsalDelayMs, nullptr);
  }
}

bool ScreenForm::CreateWindowAndImage() {
  const bool preview = options_.mode == ScreenMode::kPreview;
  const int w = preview ? 1 : GetSystemMetrics(SM_CXSCREEN);
  const int h = preview ? 1 : GetSystemMetrics(SM_CYSCREEN);
  const DWORD exStyle = preview ? 0 : WS_EX_TOPMOST;
  // The preview is made a child of the host's window from the start: it never
  // shows as a window of its own before it is embedded.
  // The test display's popup is owned by the settings dialog, which gets the
  // activation back when the popup goes.
  HWND parent = preview ? options_.previewParent : nullptr;
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_CLIPCHILDREN;
  HWND owner = options_.mode == ScreenMode::kTestDisplay ? options_.owner : parent;
  if (!Create(kFormClass, style, exStyle, preview ? L"Preview" : L"ZORANTE", 0, 0, w, h, owner)) return false;
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
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width != image_.width() || height != image_.height()) {
    // The second image goes with the size; the surface drawing on it is
    // made again for the new size.
    secondImage_.Reset();
    shownImage_ = nullptr;
  }
  return image_.Create(width, height);
}

HDC ScreenForm::SecondImageDc() {
  if (!secondImage_.dc() && !secondImage_.Create(image_.width(), image_.height())) return nullptr;
  return secondImage_.dc();
}

void ScreenForm::Refresh() {
  if (!hwnd()) return;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
}

RECT ScreenForm::LabelRect() {
  if (!label_.visible || label_.caption.empty()) return RECT{0, 0, 0, 0};
  const SIZE size = CreditSizePixels();
  RECT r;
  r.left = static_cast<LONG>(label_.left * 20.0f / tppX_ + 0.5f);
  r.top = static_cast<LONG>(label_.top * 20.0f / tppY_ + 0.5f);
  r.right = r.left + size.cx;
  r.bottom = r.top + size.cy;
  return r;
}

void ScreenForm::Present(std::span<const RECT> changed) {
  if (!hwnd()) return;
  for (const RECT& r : changed) InvalidateRect(hwnd(), &r, FALSE);
  // The label is drawn over the image on the screen alone: where it moved,
  // changed or went, the image under it is shown again.
  const RECT label = LabelRect();
  if (!EqualRect(&label, &labelShown_) || labelShownColour_ != label_.colour || labelShownCaption_ != label_.caption) {
    if (!IsRectEmpty(&labelShown_)) InvalidateRect(hwnd(), &labelShown_, FALSE);
    if (!IsRectEmpty(&label)) InvalidateRect(hwnd(), &label, FALSE);
  }
  UpdateWindow(hwnd());
}

void ScreenForm::PresentOnGround(COLORREF ground, std::span<const RECT> drawn) {
  if (!hwnd()) return;
  groundFill_ = ground;
  groundDrawn_.assign(drawn.begin(), drawn.end());
  groundFillPending_ = true;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
  // A paint that did not come now (a hidden window) copies the image as ever.
  groundFillPending_ = false;
}

SIZE ScreenForm::CreditSizePixels() {
  RECT r{0, 0, 0, 0};
  WindowDc dc(hwnd());
  SelectionRestorer font(dc.get(), labelFont_.get());
  DrawTextW(dc.get(), label_.caption.c_str(), static_cast<int>(label_.caption.size()), &r,
            DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

float ScreenForm::CreditWidth() { return static_cast<float>(CreditSizePixels().cx) * tppX_ / 20.0f; }
float ScreenForm::CreditHeight() { return static_cast<float>(CreditSizePixels().cy) * tppY_ / 20.0f; }

void ScreenForm::DrawLabel(HDC dc) {
  RECT r = LabelRect();
  labelShown_ = r;
  labelShownColour_ = label_.colour;
  labelShownCaption_ = label_.caption;
  if (IsRectEmpty(&r)) return;
  SelectionRestorer font(dc, labelFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label_.colour);
  DrawTextW(dc, label_.caption.c_str(), static_cast<int>(label_.caption.size()), &r, DT_NOPREFIX | DT_LEFT);
}

void ScreenForm::OnPaint() {
  PaintDc paint(hwnd());
  const RECT& a = paint.area();
  HDC image = shownImage_ ? shownImage_ : image_.dc();
  if (groundFillPending_) {
    groundFillPending_ = false;
    UniqueBrush brush(CreateSolidBrush(groundFill_));
    FillRect(paint.get(), &a, brush.get());
    for (const RECT& r : groundDrawn_) {
      RECT part{};
      if (IntersectRect(&part, &r, &a)) {
        BitBlt(paint.get(), part.left, part.top, part.right - part.left, part.bottom - part.top, image, part.left,
               part.top, SRCCOPY);
      }
    }
  } else {
    BitBlt(paint.get(), a.left, a.top, a.right - a.left, a.bottom - a.top, image, a.left, a.top, SRCCOPY);
  }
  DrawLabel(paint.get());
}

void ScreenForm::SetTimerInterval(UINT ms) {
  if (!hwnd() || closing_ || options_.mode == ScreenMode::kTestDisplay) return;
  if (ms == 0) {
    KillTimer(hwnd(), kDisplayTimer);
    timerOn_ = false;
  } else if (!timerOn_ || ms != interval_) {
    SetTimer(hwnd(), kDisplayTimer, ms, nullptr);
    timerOn_ = true;
  }
  interval_ = ms;
  if (options_.mode == ScreenMode::kPreview && options_.previewParent) SetTimer(hwnd(), kParentWatch, 500, nullptr);
}

bool ScreenForm::Wait(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  const bool pumpMessages = options_.mode != ScreenMode::kPreview;
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

void ScreenForm::CoverOtherMonitors() {
  if (options_.mode != ScreenMode::kSaver) return;
  std::vector<PixelRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  RECT mine{};
  GetWindowRect(hwnd(), &mine);
  for (const PixelRect& m : MonitorsToCover(monitors, {mine.left, mine.top, mine.right, mine.bottom})) {
    auto cover = std::make_unique<CoverWindow>(*this);
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
        if (!IsWindow(options_.previewParent)) PostQuitMessage(0);
        return 0;
      }
      if (wp == kDisplayTimer && crashTestInTimer_) CrashOnPurpose();
      if (wp == kDisplayTimer) RunTick();
      if (wp == kSoakTimer && soakLog_) (void)soakLog_->Append(soakTicks_);
      if (wp == kRehearsalTimer) {
        KillTimer(hwnd(), kRehearsalTimer);
        if (!ticking_ && !closing_) controller_->Rehearse(*this);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The preview ignores input.
      if (options_.mode != ScreenMode::kPreview) End();
      return 0;
    case WM_MOUSEMOVE:
      if (options_.mode == ScreenMode::kSaver) {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd(), &p);
        PointerMoved(p);
      }
      return 0;
    case WM_SETCURSOR:
      if (options_.mode == ScreenMode::kSaver) {
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
      if (options_.mode == ScreenMode::kPreview) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace zor::win
