#include "win/common/dialog.h"

#include <utility>
#include <vector>

namespace zor::win {

Dialog::~Dialog() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

INT_PTR Dialog::Run(HWND owner) {
  modal_ = true;
  ended_ = false;
  const INT_PTR rc = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                                     &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
  return rc == -1 ? -1 : endCode_;
}

bool Dialog::Open(HWND owner) {
  modal_ = false;
  ended_ = false;
  HWND h = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &Dialog::Procedure,
                              reinterpret_cast<LPARAM>(this));
  if (!h) return false;
  ShowWindow(h, SW_SHOW);
  return true;
}

INT_PTR Dialog::RunOwnLoop(HWND owner) {
  if (!Open(owner)) return -1;
  ownLoop_ = true;
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  MSG msg{};
  while (!ended_ && hwnd_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // WM_QUIT belongs to the loop outside: handed on once the dialog is gone.
      End(IDCANCEL);
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ProcessMessage(msg);
  }
  // The owner is enabled before the dialog goes, so that it takes the activation back.
  if (disableOwner) EnableWindow(owner, TRUE);
  ownLoop_ = false;
  if (hwnd_) DestroyWindow(hwnd_);
  return endCode_;
}

void Dialog::ProcessMessage(MSG& msg) {
  bool handled = false;
  try {
    handled = PreTranslate(msg);
  } catch (...) {
    // Out of memory in a key handler: the key is dropped.
    handled = true;
  }
  if (handled || (hwnd_ && IsDialogMessageW(hwnd_, &msg))) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

std::wstring Dialog::ItemText(int id) const {
  HWND item = Item(id);
  const int n = GetWindowTextLengthW(item);
  if (n <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
  const int got = GetWindowTextW(item, buffer.data(), n + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void Dialog::SetItemText(int id, std::wstring_view text) const {
  const std::wstring t(text);
  // Setting the same text again would still send EN_CHANGE and repaint.
  if (ItemText(id) != t) SetDlgItemTextW(hwnd_, id, t.c_str());
}

void Dialog::EnableItem(int id, bool enabled) const {
  HWND item = Item(id);
  if (item && (IsWindowEnabled(item) != FALSE) != enabled) EnableWindow(item, enabled);
}

void Dialog::ShowItem(int id, bool visible) const {
  HWND item = Item(id);
  // The style bit, not IsWindowVisible: a control of a dialog not yet shown is not "visible".
  const bool now = item && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
  if (item && now != visible) ShowWindow(item, visible ? SW_SHOWNA : SW_HIDE);
}

bool Dialog::Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void Dialog::SetChecked(int id, bool checked) const {
  CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Dialog::OnCommand(int id, int, HWND) {
  if (id == IDCANCEL) {
    End(IDCANCEL);
    return true;
  }
  return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool ModelDialog::OnCommand(int id, int code, HWND control) {
  if (id == IDOK) {
    Confirm();
    return true;
  }
  if (!ToModel(id, code)) return Dialog::OnCommand(id, code, control);
  if (!Ended()) ShowModel();
  return true;
}

void Dialog::End(INT_PTR code) {
  if (ended_) return;
  ended_ = true;
  endCode_ = code;
  if (!hwnd_) return;
  if (modal_) {
    EndDialog(hwnd_, code);
  } else if (!ownLoop_) {
    DestroyWindow(hwnd_);
  }
}

void Dialog::CentreOnScreen() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  HMONITOR monitor = MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(monitor, &mi)) return;
  const RECT& w = mi.rcWork;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  int x = w.left + ((w.right - w.left) - width) / 2;
  int y = w.top + ((w.bottom - w.top) - height) / 2;
  // Keep the caption on the work area when the dialog is larger than it.
  if (x < w.left) x = w.left;
  if (y < w.top) y = w.top;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

DialogHelpHandler& HelpHandler() {
  static DialogHelpHandler handler;
  return handler;
}

}  // namespace

void SetDialogHelpHandler(DialogHelpHandler handler) { HelpHandler() = std::move(handler); }

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_HELP:
      // F1 on any control comes up to its dialog.
      if (HelpHandler()) {
        HelpHandler()(hwnd_, templateId_);
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      break;
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_DESTROY:
      OnClose();
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (!OnMessage(msg, wp, lp, &result)) return FALSE;
  // Messages whose answer is the procedure's own return value.
  switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  Dialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR rc = FALSE;
  try {
    rc = self->Dispatch(msg, wp, lp);
  } catch (...) {
    // Out of memory in a handler: the message is dropped, the dialog goes on.
    rc = FALSE;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    if (!self->ended_) {
      self->ended_ = true;
      self->endCode_ = IDCANCEL;
    }
  }
  return rc;
}

}  // namespace zor::win
