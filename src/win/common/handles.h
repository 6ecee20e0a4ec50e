// One move-only owner for Win32 handles, the release function in the type.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <utility>

namespace zor::win {

// The kinds of handle the owners below count while they hold one. The counts
// are process-wide; a long run reads them to see whether a kind keeps growing
// (win/common/diagnostics.h).
enum class Owned : int { kNone = -1, kFont, kBitmap, kBrush, kMemoryDc, kWindowDc, kKernelHandle, kWindow, kOther };
inline constexpr int kOwnedKinds = 8;

namespace detail {
inline std::atomic<std::int32_t> ownedLive[kOwnedKinds];
inline void CountOwned(Owned kind, std::int32_t step) noexcept {
  if (kind != Owned::kNone) ownedLive[static_cast<int>(kind)].fetch_add(step, std::memory_order_relaxed);
}
}  // namespace detail

// The live count of one kind of handle held by the owners of this header.
[[nodiscard]] inline std::int32_t OwnedLive(Owned kind) noexcept {
  return kind == Owned::kNone ? 0 : detail::ownedLive[static_cast<int>(kind)].load(std::memory_order_relaxed);
}

template <typename Handle, auto Release, Handle Invalid = Handle{}, Owned Kind = Owned::kOther>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : h_(h) {
    if (h_ != Invalid) detail::CountOwned(Kind, 1);
  }
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Invalid)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, Invalid);
    }
    return *this;
  }

  [[nodiscard]] Handle get() const noexcept { return h_; }
  [[nodiscard]] explicit operator bool() const noexcept { return h_ != Invalid; }
  // The caller takes the handle over: it no longer counts here.
  Handle release() noexcept {
    if (h_ != Invalid) detail::CountOwned(Kind, -1);
    return std::exchange(h_, Invalid);
  }
  void reset(Handle h = Invalid) noexcept {
    if (h_ != Invalid) {
      Release(h_);
      detail::CountOwned(Kind, -1);
    }
    h_ = h;
    if (h_ != Invalid) detail::CountOwned(Kind, 1);
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

using UniqueFont = UniqueHandle<HFONT, detail::DeleteFont, nullptr, Owned::kFont>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::DeleteBitmap, nullptr, Owned::kBitmap>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::DeleteBrush, nullptr, Owned::kBrush>;
using UniqueMemoryDc = UniqueHandle<HDC, detail::DeleteDc, nullptr, Owned::kMemoryDc>;
using UniqueKernelHandle = UniqueHandle<HANDLE, detail::Close, nullptr, Owned::kKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, detail::Destroy, nullptr, Owned::kWindow>;

// GetDC/ReleaseDC pair.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    if (dc_) detail::CountOwned(Owned::kWindowDc, 1);
  }
  ~WindowDc() {
    if (dc_) {
      ReleaseDC(hwnd_, dc_);
      detail::CountOwned(Owned::kWindowDc, -1);
    }
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
