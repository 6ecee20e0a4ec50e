#include "win/settings_dialog/thumbnail_strip.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "core/text/measures.h"
#include "win/common/dialog.h"
#include "win/settings_dialog/settings_dialog_ids.h"

namespace zor::win {

namespace {

constexpr UINT_PTR kThumbnailTimer = 1;
// Thumbnails are drawn once the selection has settled (a drag or the arrow
// keys pass many rows).
constexpr UINT kThumbnailDelayMs = 60;

}  // namespace

Result<TestDisplayRequest> TestDisplayRequestFor(ListEditor& editor, int index, bool rightButton) {
  WaitCursor wait;
  Result<Message> message = editor.SelectedMessage();
  if (!message.ok()) return message.status();
  TestDisplayRequest request;
  request.text = Trim(message.value().text);
  // The thumbnail chooses the layout: the stored fixed layout is not read.
  MessageFormat format = message.value().format;
  format.layout = ' ';
  request.format = FormatOfRecord(format);
  request.layout = index;
  request.hideCredit = rightButton;
  return request;
}

void ThumbnailStrip::Attach(HWND dialog, Clicked clicked) {
  dialog_ = dialog;
  clicked_ = std::move(clicked);
  for (int i = 0; i < kThumbnailCount; ++i) {
    SetWindowSubclass(GetDlgItem(dialog_, IDC_THUMBNAIL + i), &ThumbnailStrip::PictureProc, static_cast<UINT_PTR>(i),
                      reinterpret_cast<DWORD_PTR>(this));
  }
  PictureGroup pictures;
  for (int i = 0; i < kThumbnailCount; ++i) pictures.controls.push_back(GetDlgItem(dialog_, IDC_THUMBNAIL + i));
  pictures.role = ChoiceRole::kButton;
  pictures.activated = [this](int index, bool shift) { clicked_(index, shift); };
  keys_.Add(std::move(pictures));
}

void ThumbnailStrip::Show(bool visible) {
  if (((GetWindowLongPtrW(GetDlgItem(dialog_, IDC_THUMBNAIL), GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
    // Seven controls shown or hidden at once: one repaint of their strip.
    HDWP moves = BeginDeferWindowPos(kThumbnailCount + 1);
    const UINT flags =
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    for (int i = -1; i < kThumbnailCount && moves; ++i) {
      moves = DeferWindowPos(moves, GetDlgItem(dialog_, i < 0 ? IDC_THUMBNAIL_CAPTION : IDC_THUMBNAIL + i), nullptr, 0,
                             0, 0, 0, flags);
    }
    if (moves) EndDeferWindowPos(moves);
  }
  if (visible) {
    Schedule();
  } else {
    for (UniqueBitmap& b : thumbnails_) b.reset();
  }
}

void ThumbnailStrip::Refresh() {
  if (editor_.View().thumbnailsVisible) Schedule();
}

void ThumbnailStrip::Schedule() {
  pending_ = true;
  SetTimer(dialog_, kThumbnailTimer, kThumbnailDelayMs, nullptr);
}

void ThumbnailStrip::Flush() {
  if (pending_) Draw();
}

HBITMAP ThumbnailStrip::Thumbnail(int index) const noexcept {
  return index >= 0 && index < kThumbnailCount ? thumbnails_[static_cast<std::size_t>(index)].get() : nullptr;
}

void ThumbnailStrip::Draw() {
  KillTimer(dialog_, kThumbnailTimer);
  pending_ = false;
  if (editor_.View().state != EditorState::kRowSelected) return;
  Result<Message> message = editor_.SelectedMessage();
  ThumbnailInputs in;
  if (message.ok()) {
    in.text = Trim(message.value().text);
    in.format = message.value().format;
  } else {
    in.text = Trim(editor_.View().selectedText);
  }
  in.format.layout = ' ';
  in.header = editor_.Header();
  in.settings = settings_;
  for (int i = 0; i < kThumbnailCount; ++i) {
    HWND picture = GetDlgItem(dialog_, IDC_THUMBNAIL + i);
    RECT r{};
    GetClientRect(picture, &r);
    thumbnails_[static_cast<std::size_t>(i)] = RenderThumbnail(in, i, r.right, r.bottom);
    InvalidateRect(picture, nullptr, FALSE);
  }
}

void ThumbnailStrip::Paint(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - IDC_THUMBNAIL;
  const RECT& r = item.rcItem;
  HBITMAP bitmap = thumbnails_[static_cast<std::size_t>(index)].get();
  if (!bitmap) {
    FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    return;
  }
  UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  SelectionRestorer select(memory.get(), bitmap);
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  BitBlt(item.hDC, r.left, r.top, std::min<LONG>(info.bmWidth, r.right - r.left),
         std::min<LONG>(info.bmHeight, r.bottom - r.top), memory.get(), 0, 0, SRCCOPY);
  // A white page needs an edge on the dialog's light ground.
  FrameRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}

bool ThumbnailStrip::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_DRAWITEM: {
      // The dialog's only owner-drawn controls are the pictures.
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      const int index = static_cast<int>(item.CtlID) - IDC_THUMBNAIL;
      if (index >= 0 && index < kThumbnailCount) Paint(item);
      *result = TRUE;
      return true;
    }
    case WM_TIMER:
      if (wp != kThumbnailTimer) return false;
      Draw();
      return true;
    case WM_DPICHANGED_AFTERPARENT:
    case WM_DPICHANGED:
      Refresh();
      return false;  // the dialog goes on with its own handling
    default:
      return false;
  }
}

LRESULT CALLBACK ThumbnailStrip::PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR self) noexcept {
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
    try {
      reinterpret_cast<ThumbnailStrip*>(self)->clicked_(static_cast<int>(id), msg == WM_RBUTTONDOWN);
    } catch (...) {
      // Out of memory: the click is dropped.
    }
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ThumbnailStrip::PictureProc, id);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace zor::win
