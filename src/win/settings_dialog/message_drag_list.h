// The message list of the settings dialog: the rows as the list editor lists
// them (only the rows that differ are replaced), its selection, and the drag
// of a row to another place with the insert mark and the drag cursor.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "win/common/handles.h"

namespace zor::win {

class MessageDragList {
 public:
  // May a drag begin now (the list holds rows of a file)?
  using CanDrag = std::function<bool()>;
  // A row dropped: fromRow moves to toRow (the same row when it did not move).
  using Dropped = std::function<void(int fromRow, int toRow)>;

  MessageDragList() = default;
  MessageDragList(const MessageDragList&) = delete;
  MessageDragList& operator=(const MessageDragList&) = delete;

  // The list box listId of dialog.
  void Attach(HWND dialog, int listId) noexcept;
  // The list shows rows; selected (-1 for none) is selected unless it already is.
  void Show(const std::vector<std::wstring>& rows, int selected);
  // The selected row, -1 for none.
  [[nodiscard]] int SelectedRow() const noexcept;
  // From now on rows can be dragged. Made after the first fill: each list
  // message through the drag list's subclass costs more (under Wine a server
  // round trip).
  void StartDragging(CanDrag canDrag, Dropped dropped);

  // The drag list's notifications; true when the message was one.
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

 private:
  void Fill(const std::vector<std::wstring>& rows);
  LRESULT OnDragList(const DRAGLISTINFO& info);
  void EndInsertMark();

  static void DestroyCursorNow(HCURSOR cursor) noexcept { DestroyCursor(cursor); }
  using UniqueCursor = UniqueHandle<HCURSOR, DestroyCursorNow>;

  HWND dialog_ = nullptr;
  HWND list_ = nullptr;
  int listId_ = 0;
  std::vector<std::wstring> listed_;  // rows as the list box shows them
  CanDrag canDrag_;
  Dropped dropped_;
  UniqueCursor dragCursor_;
  int dragStartRow_ = -1;
  int dragOver_ = -1;
};

}  // namespace zor::win
