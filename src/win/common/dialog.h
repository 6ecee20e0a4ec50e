// Base of every dialog: the object is found from the handle (stored at
// WM_INITDIALOG), small virtual handlers, no exception leaves the procedure.
// Run shows the dialog modally; Open creates it modeless (tests drive it
// with control messages and never wait on a modal loop).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/data/status.h"

namespace zor::win {

// What F1 (WM_HELP) in any dialog does: given the dialog and its template
// id. None is set until the program sets one; a test sets its own.
using DialogHelpHandler = std::function<void(HWND dialog, int templateId)>;
void SetDialogHelpHandler(DialogHelpHandler handler);

class Dialog {
 public:
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Modal: returns the code given to End (IDCANCEL when closed, -1 when the
  // dialog could not be created).
  INT_PTR Run(HWND owner);
  // Modeless: created and shown; false when it could not be created.
  [[nodiscard]] bool Open(HWND owner);
  // Modal like Run, but through a message loop of the dialog's own, where
  // PreTranslate sees every message first (keyboard accelerators).
  INT_PTR RunOwnLoop(HWND owner);
  // One message of that loop: the dialog's own keys, then the dialog
  // keyboard (Tab, Enter, Esc), then the message's window. Tests feed the
  // keys they press through it.
  void ProcessMessage(MSG& msg);

  [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }
  [[nodiscard]] bool Ended() const noexcept { return ended_; }
  [[nodiscard]] INT_PTR EndCode() const noexcept { return endCode_; }

  // Control helpers.
  [[nodiscard]] HWND Item(int id) const noexcept { return GetDlgItem(hwnd_, id); }
  [[nodiscard]] std::wstring ItemText(int id) const;
  void SetItemText(int id, std::wstring_view text) const;
  void EnableItem(int id, bool enabled) const;
  void ShowItem(int id, bool visible) const;
  [[nodiscard]] bool Checked(int id) const;
  void SetChecked(int id, bool checked) const;

 protected:
  explicit Dialog(int templateId) noexcept : templateId_(templateId) {}

  // WM_INITDIALOG; false means the handler set the focus itself.
  virtual bool OnInit() { return true; }
  // WM_COMMAND; true when handled. IDCANCEL (Esc, the close box) ends the
  // dialog unless handled here.
  virtual bool OnCommand(int id, int code, HWND control);
  // Any other message; return true and set *result to handle it (the result
  // goes to DWLP_MSGRESULT where the message has one).
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // The window is about to go (WM_DESTROY).
  virtual void OnClose() {}
  // A message of RunOwnLoop before anyone else sees it; true when handled.
  virtual bool PreTranslate(MSG& /*msg*/) { return false; }

  // Ends a modal run, or destroys a modeless dialog.
  void End(INT_PTR code);
  // Centres the window on the monitor that holds most of it (the primary
  // monitor when it has no owner yet).
  void CentreOnScreen() const;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  int templateId_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool ownLoop_ = false;  // RunOwnLoop destroys the window once it ends
  bool ended_ = false;
  INT_PTR endCode_ = IDCANCEL;
};

// A click on a notifying static control: fast repeated clicks arrive as
// double clicks.
[[nodiscard]] inline bool IsStaticClick(int code) noexcept { return code == STN_CLICKED || code == STN_DBLCLK; }

// A dialog that shows a model: a command of one of the model's controls goes
// to the model, then the controls show the model again. OK confirms.
class ModelDialog : public Dialog {
 public:
  // What the dialog wrote as it closed: the first failure; ok when all went
  // through or nothing was written.
  [[nodiscard]] const Status& Outcome() const noexcept { return outcome_; }

 protected:
  using Dialog::Dialog;

  void SetOutcome(Status written) noexcept { outcome_ = std::move(written); }
  // Ends with OK after the write that gave written.
  void EndWritten(Status written) noexcept {
    SetOutcome(std::move(written));
    End(IDOK);
  }

  // The model's state into the controls.
  virtual void ShowModel() = 0;
  // A command of one of the model's controls given to the model; false when
  // id is none of them.
  virtual bool ToModel(int id, int code) = 0;
  // OK (Enter, the default button): ends the dialog unless overridden.
  virtual void Confirm() { End(IDOK); }

  bool OnCommand(int id, int code, HWND control) override;

 private:
  Status outcome_;
};

// The hourglass for the life of the object.
class WaitCursor {
 public:
  WaitCursor() noexcept : old_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}
  ~WaitCursor() { SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace zor::win
