#include "win/options/picture_viewer.h"

#include <algorithm>

#include "win/options/picture_viewer_ids.h"
#include "win/screen/key_or_click.h"

namespace zor::win {

namespace {

PixelSize WorkArea() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

PixelSize FitWithin(PixelSize own, PixelSize box) noexcept {
  if (own.width < 1 || own.height < 1 || box.width < 1 || box.height < 1) return {};
  if (own.width <= box.width && own.height <= box.height) return own;
  const auto w = static_cast<std::int64_t>(own.width);
  const auto h = static_cast<std::int64_t>(own.height);
  // The side that limits: compare box.w / w with box.h / h without fractions.
  if (static_cast<std::int64_t>(box.width) * h <= static_cast<std::int64_t>(box.height) * w) {
    return {box.width, static_cast<int>(std::max<std::int64_t>(1, h * box.width / w))};
  }
  return {static_cast<int>(std::max<std::int64_t>(1, w * box.height / h)), box.height};
}

namespace {

// Why a picture could not be shown; empty when it was loaded.
std::wstring_view PictureLoadReason(PictureLoad why) {
  switch (why) {
    case PictureLoad::kLoaded: return {};
    case PictureLoad::kUnreadable:
    case PictureLoad::kNotReady: return L"ファイルを読み込めません。";
    case PictureLoad::kRefusedSize: return L"画像が大きすぎるため表示できません。";
    case PictureLoad::kNotAPicture: return L"画像ファイルとして読み込めません。";
    case PictureLoad::kOutOfMemory: return L"メモリが不足しているため表示できません。";
  }
  return {};
}

}  // namespace

std::wstring PictureLoadMessage(PictureLoad why, const std::filesystem::path& file) {
  if (why == PictureLoad::kLoaded) return {};
  return std::wstring(PictureLoadReason(why)) + L"\n" + file.wstring();
}

PictureLoad FittedPicture::Load(const std::filesystem::path& file, PixelSize box) {
  Start(file, box);
  if (!work_) return PictureLoad::kUnreadable;
  WaitForSingleObject(work_->Done(), INFINITE);
  return Take();
}

void FittedPicture::Start(const std::filesystem::path& file, PixelSize box, HWND notify, UINT msg) {
  Clear();
  // Kept no larger than what covers the box; the paint fits it in.
  work_ = StartWork([file, box](const std::atomic<bool>& wanted) { return DecodePictureFile(file, box, {}, &wanted); },
                    notify, msg);
  if (!work_) picture_ = DecodedPicture(PictureLoad::kUnreadable);
}

PictureLoad FittedPicture::Take() {
  if (!work_) return picture_.result == PictureLoad::kLoaded ? PictureLoad::kLoaded : PictureLoad::kNotReady;
  if (!work_->Ended()) return PictureLoad::kNotReady;
  picture_ = std::move(work_->Result());
  work_.reset();
  return picture_.result;
}

void FittedPicture::Paint(HDC dc, const RECT& r) const {
  if (Empty()) return;
  const PixelSize fit = FitWithin(picture_.own, {r.right - r.left, r.bottom - r.top});
  if (fit.width < 1) return;
  const int x = r.left + (r.right - r.left - fit.width) / 2;
  const int y = r.top + (r.bottom - r.top - fit.height) / 2;
  const DibImage& kept = picture_.kept;
  if (kept.width() == fit.width && kept.height() == fit.height) {
    BitBlt(dc, x, y, fit.width, fit.height, kept.dc(), 0, 0, SRCCOPY);
    return;
  }
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT origin{};
  SetBrushOrgEx(dc, 0, 0, &origin);
  StretchBlt(dc, x, y, fit.width, fit.height, kept.dc(), 0, 0, kept.width(), kept.height(), SRCCOPY);
  SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
}

namespace {
// Looks for the end of a decode that outlasted the wait before the window.
constexpr UINT_PTR kReadTimer = 1;
constexpr UINT kReadPollMs = 50;
}  // namespace

PictureViewer::PictureViewer() : Dialog(IDD_PICTURE_VIEWER) {}

PictureLoad PictureViewer::Load(const std::filesystem::path& file) {
  Start(file);
  return Wait(INFINITE);
}

void PictureViewer::Start(const std::filesystem::path& file) {
  // The window with its caption and frame fits the work area.
  area_ = WorkArea();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  area_.width -= frame.right - frame.left;
  area_.height -= frame.bottom - frame.top;
  outcome_ = PictureLoad::kNotReady;
  shown_ = {};
  picture_.Start(file, area_);
}

PictureLoad PictureViewer::Wait(DWORD ms) {
  if (HANDLE ended = picture_.ReadEnded()) (void)WaitAnswering(ended, ms, {});
  return Settle(picture_.Take());
}

PictureLoad PictureViewer::Settle(PictureLoad outcome) {
  outcome_ = outcome;
  shown_ = outcome_ == PictureLoad::kLoaded ? FitWithin(picture_.OwnSize(), area_) : PixelSize{};
  return outcome_;
}

bool PictureViewer::OnInit() {
  // A picture still being read: the window opens empty and looks for it.
  if (picture_.Reading()) SetTimer(hwnd(), kReadTimer, kReadPollMs, nullptr);
  FitWindow();
  CentreOnScreen();
  return true;
}

void PictureViewer::FitWindow() {
  if (shown_.width > 0) {
    RECT r{0, 0, shown_.width, shown_.height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool PictureViewer::OnCommand(int id, int code, HWND control) {
  if (id != IDOK) return Dialog::OnCommand(id, code, control);
  End(IDOK);
  return true;
}

bool PictureViewer::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
  switch (msg) {
    case WM_TIMER: {
      if (wp != kReadTimer) return false;
      const PictureLoad read = picture_.Take();
      if (read == PictureLoad::kNotReady) return true;
      KillTimer(hwnd(), kReadTimer);
      (void)Settle(read);
      // One that cannot be shown is told after the window closes.
      if (outcome_ != PictureLoad::kLoaded) {
        End(IDCANCEL);
      } else {
        FitWindow();
        CentreOnScreen();
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      *result = 0;
      return true;
    }
    case WM_PAINT: {
      PaintDc paint(hwnd());
      RECT r{};
      GetClientRect(hwnd(), &r);
      picture_.Paint(paint.get(), r);
      *result = 0;
      return true;
    }
    default:
      // Any key or click closes. The dialog has no control, so keys come to
      // the dialog itself (Esc and Enter arrive as IDCANCEL and IDOK).
      if (!IsKeyOrClick(msg)) return false;
      End(IDOK);
      *result = 0;
      return true;
  }
}

PictureLoad ShowPictureViewer(DialogServices& services, HWND owner, const std::filesystem::path& file) {
  PictureViewer viewer;
  PictureLoad loaded = PictureLoad::kUnreadable;
  {
    // The owner answers its messages while the picture is read, but takes
    // no input, as under the viewer; a read that does not end in time
    // opens the viewer empty, and it closes with any key as ever.
    WaitCursor wait;
    const bool enabled = owner && IsWindowEnabled(owner);
    if (enabled) EnableWindow(owner, FALSE);
    viewer.Start(file);
    loaded = viewer.Wait(kPictureWaitMs);
    if (enabled) EnableWindow(owner, TRUE);
  }
  if (loaded != PictureLoad::kLoaded && loaded != PictureLoad::kNotReady) {
    services.Warn(owner, PictureLoadMessage(loaded, file));
    return loaded;
  }
  services.RunDialog(viewer, owner);
  loaded = viewer.Outcome();
  if (loaded != PictureLoad::kLoaded && loaded != PictureLoad::kNotReady) {
    services.Warn(owner, PictureLoadMessage(loaded, file));
  }
  return loaded;
}

}  // namespace zor::win
