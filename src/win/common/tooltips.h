// Tooltips of a dialog's controls: one tooltip window, owned by the dialog,
// that follows the mouse over each control it was given.
#pragma once

#include <windows.h>

#include <string_view>

namespace zor::win {

class Tooltips {
 public:
  Tooltips() = default;
  ~Tooltips() { Destroy(); }
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;

  // Shows text while the mouse rests on control, a child of dialog. The
  // window is made on first use; when it cannot be made the tip is left out.
  void Add(HWND dialog, HWND control, std::wstring_view text);
  // Before the dialog goes: the system would destroy the owned window with
  // it, and its handle must not be destroyed a second time.
  void Destroy() noexcept;

  [[nodiscard]] HWND hwnd() const noexcept { return window_; }

 private:
  HWND window_ = nullptr;
};

}  // namespace zor::win
