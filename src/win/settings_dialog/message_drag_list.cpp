#include "win/settings_dialog/message_drag_list.h"

#include <utility>

#include "core/settings_dialog/list_editor.h"
#include "win/common/drawings.h"

namespace zor::win {

namespace {

UINT DragListMessage() {
  static const UINT message = RegisterWindowMessageW(DRAGLISTMSGSTRING);
  return message;
}

}  // namespace

void MessageDragList::Attach(HWND dialog, int listId) noexcept {
  dialog_ = dialog;
  listId_ = listId;
  list_ = GetDlgItem(dialog, listId);
}

void MessageDragList::Show(const std::vector<std::wstring>& rows, int selected) {
  Fill(rows);
  const int current = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  if (current != selected) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int MessageDragList::SelectedRow() const noexcept {
  const int row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  return row == LB_ERR ? -1 : row;
}

void MessageDragList::Fill(const std::vector<std::wstring>& rows) {
  if (rows == listed_) return;
  // Only the rows that differ are replaced: a move or a delete touches a few
  // rows, and each list message costs more through the drag list's subclass.
  std::size_t head = 0;
  while (head < rows.size() && head < listed_.size() && rows[head] == listed_[head]) ++head;
  std::size_t tail = 0;
  while (tail < rows.size() - head && tail < listed_.size() - head &&
         rows[rows.size() - 1 - tail] == listed_[listed_.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t removed = listed_.size() - head - tail;
  const std::size_t added = rows.size() - head - tail;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  if (head == 0 && tail == 0) {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    std::size_t chars = 0;
    for (const std::wstring& r : rows) chars += r.size() + 1;
    SendMessageW(list_, LB_INITSTORAGE, rows.size(), chars * sizeof(wchar_t));
  } else {
    for (std::size_t i = 0; i < removed; ++i) SendMessageW(list_, LB_DELETESTRING, head, 0);
  }
  for (std::size_t i = 0; i < added; ++i) {
    SendMessageW(list_, LB_INSERTSTRING, head + i, reinterpret_cast<LPARAM>(rows[head + i].c_str()));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  listed_ = rows;
}

void MessageDragList::StartDragging(CanDrag canDrag, Dropped dropped) {
  canDrag_ = std::move(canDrag);
  dropped_ = std::move(dropped);
  dragCursor_.reset(CreateDragCursor());
  MakeDragList(list_);
}

void MessageDragList::EndInsertMark() {
  DrawInsert(dialog_, list_, -1);
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  dragOver_ = -1;
}

LRESULT MessageDragList::OnDragList(const DRAGLISTINFO& info) {
  POINT p = info.ptCursor;
  ScreenToClient(list_, &p);
  const int itemHeight = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
  const int rows = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
  switch (info.uNotification) {
    case DL_BEGINDRAG:
      if (rows == 0 || !canDrag_()) return FALSE;
      dragStartRow_ = RowAtY(p.y, itemHeight, top, rows);
      return TRUE;
    case DL_DRAGGING: {
      const int over = LBItemFromPt(list_, info.ptCursor, TRUE);
      if (over != dragOver_) {
        // The insert mark is drawn on the dialog over the list's edge; the
        // list repaints what the previous mark left on it.
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        DrawInsert(dialog_, list_, over);
        dragOver_ = over;
      }
      if (dragCursor_) {
        SetCursor(dragCursor_.get());
        return 0;  // DL_CURSORSET
      }
      return DL_MOVECURSOR;
    }
    case DL_DROPPED: {
      EndInsertMark();
      const int from = std::exchange(dragStartRow_, -1);
      dropped_(from, RowAtY(p.y, itemHeight, top, rows));
      return 0;
    }
    case DL_CANCELDRAG:
      EndInsertMark();
      dragStartRow_ = -1;
      return 0;
    default:
      return 0;
  }
}

bool MessageDragList::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg != DragListMessage() || wp != static_cast<WPARAM>(listId_)) return false;
  *result = OnDragList(*reinterpret_cast<const DRAGLISTINFO*>(lp));
  return true;
}

}  // namespace zor::win
