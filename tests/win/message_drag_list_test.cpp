// The message list view on a list box of its own: the rows it shows, its
// selection and the drag list's notifications.
#include "win/settings_dialog/message_drag_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zor::win {
namespace {

constexpr int kListId = 77;

class MessageDragListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent_);
    list_ = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 200,
                            250, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(list_);
    view_.Attach(parent_, kListId);
  }
  void TearDown() override { DestroyWindow(parent_); }

  std::vector<std::wstring> Shown() const {
    std::vector<std::wstring> rows;
    const int n = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buffer[100] = {};
      SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
      rows.emplace_back(buffer);
    }
    return rows;
  }
  // A drag list notification with the pointer over row (screen coordinates).
  LRESULT Notify(UINT what, int row, bool* handled = nullptr) {
    const int itemHeight = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    DRAGLISTINFO info{};
    info.uNotification = what;
    info.hWnd = list_;
    info.ptCursor = {5, row * itemHeight + itemHeight / 2};
    ClientToScreen(list_, &info.ptCursor);
    LRESULT result = -1;
    const bool was = view_.OnMessage(RegisterWindowMessageW(DRAGLISTMSGSTRING), kListId,
                                     reinterpret_cast<LPARAM>(&info), &result);
    if (handled) *handled = was;
    return result;
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  MessageDragList view_;
};

using Rows = std::vector<std::wstring>;

TEST_F(MessageDragListTest, ShowsTheRowsAndTheSelection) {
  view_.Show({L"a", L"b", L"c", L"d"}, -1);
  EXPECT_EQ(Shown(), (Rows{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(view_.SelectedRow(), -1);
  view_.Show({L"a", L"x", L"c", L"d"}, 1);
  EXPECT_EQ(Shown(), (Rows{L"a", L"x", L"c", L"d"}));
  EXPECT_EQ(view_.SelectedRow(), 1);
  view_.Show({L"a", L"c", L"d"}, 1);  // a delete
  EXPECT_EQ(Shown(), (Rows{L"a", L"c", L"d"}));
  view_.Show({L"c", L"a", L"d", L"e"}, 3);  // a move and an add
  EXPECT_EQ(Shown(), (Rows{L"c", L"a", L"d", L"e"}));
  EXPECT_EQ(view_.SelectedRow(), 3);
  view_.Show({}, -1);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(view_.SelectedRow(), -1);
}

TEST_F(MessageDragListTest, ADragMovesTheRowItBeganOnToTheRowItEndsOn) {
  view_.Show({L"a", L"b", L"c", L"d"}, -1);
  bool can = true;
  std::vector<std::pair<int, int>> dropped;
  view_.StartDragging([&] { return can; }, [&](int from, int to) { dropped.emplace_back(from, to); });

  bool handled = false;
  EXPECT_EQ(Notify(DL_BEGINDRAG, 1, &handled), TRUE);
  EXPECT_TRUE(handled);
  EXPECT_EQ(Notify(DL_DRAGGING, 2), 0) << "the drag cursor is set";
  EXPECT_EQ(Notify(DL_DROPPED, 3), 0);
  EXPECT_EQ(dropped, (std::vector<std::pair<int, int>>{{1, 3}}));

  // A cancelled drag drops nothing; the next drop without a begin starts from no row.
  EXPECT_EQ(Notify(DL_BEGINDRAG, 0), TRUE);
  EXPECT_EQ(Notify(DL_CANCELDRAG, 0), 0);
  EXPECT_EQ(Notify(DL_DROPPED, 2), 0);
  EXPECT_EQ(dropped.back(), std::make_pair(-1, 2));

  can = false;
  EXPECT_EQ(Notify(DL_BEGINDRAG, 1), FALSE) << "no drag without a file";
  view_.Show({}, -1);
  can = true;
  EXPECT_EQ(Notify(DL_BEGINDRAG, 0), FALSE) << "no drag in an empty list";
}

TEST_F(MessageDragListTest, OtherMessagesAreNotTheLists) {
  LRESULT result = 5;
  EXPECT_FALSE(view_.OnMessage(WM_TIMER, 1, 0, &result));
  DRAGLISTINFO info{};
  EXPECT_FALSE(view_.OnMessage(RegisterWindowMessageW(DRAGLISTMSGSTRING), kListId + 1,
                               reinterpret_cast<LPARAM>(&info), &result))
      << "another list's drag";
  EXPECT_EQ(result, 5);
}

}  // namespace
}  // namespace zor::win
