// Base of every window: the object is found from the handle (stored at
// WM_NCCREATE), messages go to a virtual handler, and no exception leaves the
// window procedure.
#pragma once

#include <windows.h>

namespace zor::win {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

 protected:
  // Registers the class on first use and creates the window.
  [[nodiscard]] bool Create(const wchar_t* className, DWORD style, DWORD exStyle, const wchar_t* title, int x, int y,
                            int width, int height, HWND parent);

  // Messages not handled go to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Called once the handle is gone (after WM_NCDESTROY).
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  HWND hwnd_ = nullptr;
};

}  // namespace zor::win
