// One move-only owner for Win32 handles, the release function in the type.
#pragma once

#include <windows.h>

#include <utility>

namespace zor::win {

template <typename Handle, auto Release, Handle Invalid = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  [[nodiscard]] Handle get() const noexcept { return h_; }
  [[nodiscard]] explicit operator bool() const noexcept { return h_ != Invalid; }
  Handle release() noexcept { return std::exchange(h_, Invalid); }
  void reset(Handle h = Invalid) noexcept {
    if (h_ != Invalid) Release(h_);
    h_ = h;
  }

 private:
  Handle h_ = Invalid;
};

namespace detail {
inline void DeleteFont(HFONT h) noexcept { DeleteObject(h); }
inline void DeleteBitmap(HBITMAP h) noexcept { DeleteObject(h); }
inline void DeleteBrush(HBRUSH h) noexcept { DeleteObject(h); }
inline void DeleteDc(HDC h) noexcept { DeleteDC(h); }
inline void Close(HANDLE h) noexcept { CloseHandle(h); }
inline void Destroy(HWND h) noexcept { DestroyWindow(h); }
}  // namespace detail

using UniqueFont = UniqueHandle<HFONT, detail::DeleteFont>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::DeleteBitmap>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::DeleteBrush>;
using UniqueMemoryDc = UniqueHandle<HDC, detail::DeleteDc>;
using UniqueKernelHandle = UniqueHandle<HANDLE, detail::Close>;
using UniqueWindow = UniqueHandle<HWND, detail::Destroy>;

// GetDC/ReleaseDC pair.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  [[nodiscard]] HDC get() const noexcept { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  [[nodiscard]] HDC get() const noexcept { return dc_; }
  [[nodiscard]] const RECT& area() const noexcept { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC for a scope and puts the previous one back.
class SelectionRestorer {
 public:
  SelectionRestorer(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectionRestorer() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectionRestorer(const SelectionRestorer&) = delete;
  SelectionRestorer& operator=(const SelectionRestorer&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace zor::win
