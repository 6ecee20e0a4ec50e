#include "win/screen/screen_form.h"

#include <imm.h>

#include <algorithm>
#include <cstring>

#include "core/screen/changed_rects.h"
#include "core/screen/points_and_pixels.h"
#include "core/version.h"
#include "win/common/system.h"
#include "win/screen/image_pixels.h"
#include "win/screen/key_or_click.h"
#include "win/screen/loop_hold.h"

namespace zor::win {

namespace {

constexpr wchar_t kFormClass[] = L"ZoranteScreenForm";
constexpr UINT_PTR kDisplayTimer = 1;
constexpr UINT_PTR kParentWatch = 2;  // preview: notices a host that went away
constexpr UINT_PTR kSoakTimer = 3;    // diagnostics: the soak log's period
constexpr UINT_PTR kRehearsalTimer = 4;  // the next page rehearsed once this one is shown
constexpr UINT kRehearsalDelayMs = 50;
// Posted when the display wakes: the next page is drawn once the power
// notification has been answered.
constexpr UINT kNextPageMessage = WM_APP + 1;

// GUID_CONSOLE_DISPLAY_STATE's data: 0 off, 1 on, 2 dimmed.
constexpr DWORD kDisplayOn = 1;

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
  // Ended at once: no library detach or static destructor runs, so none can
  // wait for a thread of work stuck in a read (or for a lock it held).
  TerminateProcess(GetCurrentProcess(), 0);
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
  if (displayNotify_) UnregisterPowerSettingNotification(displayNotify_);
  covers_.Close();
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

  form->WatchDisplayPower();
  if (!form->controller_->LoadData(*form)) {
    form->Unload();
    return nullptr;
  }

  switch (options.mode) {
    case ScreenMode::kTestDisplay: form->Credit().caption = L"Click to end.   "; break;
    case ScreenMode::kPreview: form->Credit().caption.clear(); break;
    case ScreenMode::kSaver: form->Credit().caption = SaverCredit(); break;
  }

  if (preview) return form;  // the caller embeds and shows the form, and starts the timer

  ShowWindow(form->hwnd(), SW_SHOW);
  SetForegroundWindow(form->hwnd());
  if (options.mode == ScreenMode::kSaver) form->covers_.Open(*form);
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
    if (displayNotify_) UnregisterPowerSettingNotification(displayNotify_);
    displayNotify_ = nullptr;
    SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (HWND ime = ImmGetDefaultIMEWnd(hwnd())) SendMessageW(ime, WM_IME_CONTROL, IMC_OPENSTATUSWINDOW, 0);
    // Hidden until its owner destroys it: a tick may still be on the stack.
    ShowWindow(hwnd(), SW_HIDE);
  }
  covers_.Close();
  if (options_.mode != ScreenMode::kTestDisplay) PostQuitMessage(0);
}

void ScreenForm::End() {
  if (options_.endAction == EndAction::kEndProcess) {
    // With work still running the window goes before the process: a thread
    // stuck in a read the file system already took (a share that went to
    // sleep) keeps the process, and so its connection to the display,
    // until the read ends. Hidden without activating another window.
    if (RunningWork() > 0) {
      covers_.Close();
      if (hwnd()) {
        SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
      }
      // Looking at the queue sends what the display was told (Wine's X11 driver).
      MSG msg;
      (void)PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    EndSaver();
  }
  Unload();
}

void ScreenForm::StartSoakLog() {
  soakLog_ = SoakLog::FromEnvironment();
  crashTestInTimer_ = options_.mode == ScreenMode::kSaver && CrashTestInTimer();
  if (!soakLog_) return;
  (void)soakLog_->Append(soakTicks_);
  SetTimer(hwnd(), kSoakTimer, soakLog_->PeriodMs(), nullptr);
}

void ScreenForm::WatchDisplayPower() {
  // The test display shows one page and has no timer to stop.
  if (options_.mode == ScreenMode::kTestDisplay || !hwnd()) return;
  // Wine accepts the registration but never sends the notification.
  displayNotify_ = RegisterPowerSettingNotification(hwnd(), &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void ScreenForm::OnPowerBroadcast(WPARAM event, LPARAM data) {
  const bool resting = Resting();
  switch (event) {
    case PBT_POWERSETTINGCHANGE: {
      const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
      if (!setting || !IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) ||
          setting->DataLength < sizeof(DWORD)) {
        return;
      }
      DWORD state = 0;
      memcpy(&state, setting->Data, sizeof state);
      displayOff_ = state != kDisplayOn;
      break;
    }
    case PBT_APMSUSPEND: suspended_ = true; break;
    case PBT_APMRESUMEAUTOMATIC: suspended_ = false; break;
    default: return;
  }
  if (Resting()) {
    Rest();
  } else if (resting || event != PBT_POWERSETTINGCHANGE) {
    PostMessageW(hwnd(), kNextPageMessage, 0, 0);
  }
}

void ScreenForm::Rest() {
  KillTimer(hwnd(), kDisplayTimer);
  KillTimer(hwnd(), kRehearsalTimer);
  timerOn_ = false;
}

void ScreenForm::NextPageNow() {
  if (closing_ || Resting() || options_.mode == ScreenMode::kTestDisplay) return;
  // The period starts again from now: a tick that fell due while asleep
  // would otherwise fire at once after this page.
  Rest();
  RunTick();
  // A tick that did not set the timer (the size guard) leaves it as it was.
  if (!closing_ && !timerOn_ && interval_ > 0) SetTimerInterval(interval_);
}

void ScreenForm::CountTick() noexcept {
  if (options_.countTicks && ++tickCount_ > 2000000000) tickCount_ = 1000000000;
}

void ScreenForm::RunTick() {
  if (ticking_ || closing_ || Resting()) return;
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
    credit_.MakeFont(dpiY);
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  return ResizeImage(client.right, client.bottom);
}

bool ScreenForm::ResizeImage(int width, int height) {
  // With the size the second image goes; the surface drawing on the images
  // is made again for the new size.
  return images_.Resize(std::max(width, 1), std::max(height, 1));
}

void ScreenForm::Refresh() {
  if (!hwnd()) return;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
}

void ScreenForm::Present(std::span<const PixelRect> changed) {
  if (!hwnd()) return;
  for (const PixelRect& r : changed) {
    const RECT area = ToRect(r);
    InvalidateRect(hwnd(), &area, FALSE);
  }
  // The label is drawn over the image on the screen alone.
  credit_.InvalidateChanged(hwnd(), tppX_, tppY_);
  UpdateWindow(hwnd());
}

void ScreenForm::PresentOnGround(COLORREF ground, std::span<const PixelRect> drawn) {
  if (!hwnd()) return;
  groundFill_ = ground;
  groundDrawn_.assign(drawn.begin(), drawn.end());
  groundFillPending_ = true;
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
  // A paint that did not come now (a hidden window) copies the image as ever.
  groundFillPending_ = false;
}

bool ScreenForm::CopyAsShown(DibImage& page) const {
  const int w = PixelWidth();
  const int h = PixelHeight();
  if (!page.Create(w, h) || !BitBlt(page.dc(), 0, 0, w, h, images_.ShownDc(), 0, 0, SRCCOPY)) return false;
  credit_.DrawOver(hwnd(), page.dc(), tppX_, tppY_);
  GdiFlush();
  return true;
}

float ScreenForm::ScaleWidth() const noexcept { return PixelsToPoints(static_cast<float>(PixelWidth()), tppX_); }
float ScreenForm::ScaleHeight() const noexcept { return PixelsToPoints(static_cast<float>(PixelHeight()), tppY_); }

PointSize ScreenForm::CreditSize() const {
  const SIZE size = credit_.SizePixels(hwnd());
  return {PixelsToPoints(static_cast<float>(size.cx), tppX_), PixelsToPoints(static_cast<float>(size.cy), tppY_)};
}

void ScreenForm::OnPaint() {
  PaintDc paint(hwnd());
  const RECT& a = paint.area();
  HDC image = images_.ShownDc();
  if (groundFillPending_) {
    groundFillPending_ = false;
    UniqueBrush brush(CreateSolidBrush(groundFill_));
    FillRect(paint.get(), &a, brush.get());
    for (const PixelRect& r : groundDrawn_) {
      const PixelRect part = Intersection(r, ToPixelRect(a));
      if (!IsEmpty(part)) {
        BitBlt(paint.get(), part.left, part.top, part.width(), part.height(), image, part.left, part.top, SRCCOPY);
      }
    }
  } else {
    BitBlt(paint.get(), a.left, a.top, a.right - a.left, a.bottom - a.top, image, a.left, a.top, SRCCOPY);
  }
  credit_.Draw(hwnd(), paint.get(), tppX_, tppY_);
}

void ScreenForm::SetTimerInterval(UINT ms) {
  if (!hwnd() || closing_ || options_.mode == ScreenMode::kTestDisplay) return;
  if (Resting()) {
    interval_ = ms;  // taken up when the display wakes
    return;
  }
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
    loop_hold::Idle();
    MsgWaitForMultipleObjectsEx(0, nullptr, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    loop_hold::Busy();
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

bool ScreenForm::WaitFor(HANDLE done, DWORD ms) {
  if (options_.mode == ScreenMode::kPreview) return WaitForSingleObject(done, ms) == WAIT_OBJECT_0;
  return WaitAnswering(done, ms, [this] { return closing_; });
}

LRESULT ScreenForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const loop_hold::Handling handling;
  if (IsKeyOrClick(msg)) {
    // The preview ignores input.
    if (options_.mode != ScreenMode::kPreview) End();
    return 0;
  }
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
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wp, lp);
      return TRUE;
    case kNextPageMessage:
      NextPageNow();
      return 0;
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
