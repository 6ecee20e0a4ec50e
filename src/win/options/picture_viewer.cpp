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
    case PictureLoad::kUnreadable: return L"ファイルを読み込めません。";
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
  // Kept no larger than what covers the box; the paint fits it in.
  picture_ = DecodePictureFile(file, box, {});
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

PictureViewer::PictureViewer() : Dialog(IDD_PICTURE_VIEWER) {}

PictureLoad PictureViewer::Load(const std::filesystem::path& file) {
  // The window with its caption and frame fits the work area.
  PixelSize area = WorkArea();
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  area.width -= frame.right - frame.left;
  area.height -= frame.bottom - frame.top;
  const PictureLoad result = picture_.Load(file, area);
  shown_ = result == PictureLoad::kLoaded ? FitWithin(picture_.OwnSize(), area) : PixelSize{};
  return result;
}

bool PictureViewer::OnInit() {
  if (shown_.width > 0) {
    RECT r{0, 0, shown_.width, shown_.height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CentreOnScreen();
  return true;
}

bool PictureViewer::OnCommand(int id, int code, HWND control) {
  if (id != IDOK) return Dialog::OnCommand(id, code, control);
  End(IDOK);
  return true;
}

bool PictureViewer::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
  switch (msg) {
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
    WaitCursor wait;
    loaded = viewer.Load(file);
  }
  if (loaded != PictureLoad::kLoaded) {
    services.Warn(owner, PictureLoadMessage(loaded, file));
    return loaded;
  }
  services.RunDialog(viewer, owner);
  return loaded;
}

}  // namespace zor::win
