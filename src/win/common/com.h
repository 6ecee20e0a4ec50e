// COM for WIC: an owner for interface pointers and a per-thread initialiser.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace zor::win {

// Releases a COM interface at the end of its scope.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** put() noexcept { return &p_; }
  void reset() noexcept {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* operator->() const noexcept { return p_; }
  T* get() const noexcept { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for this thread, for as long as the object lives.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

}  // namespace zor::win
