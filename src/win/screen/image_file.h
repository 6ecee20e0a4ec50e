// Writing a page to an image file through WIC.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <filesystem>
#include <string>

namespace zor::win {

// Writes the 32-bit top-down pixels (0x00RRGGBB) as PNG, or as BMP when the
// file name ends in ".bmp"; the file is written beside and then moved over
// any old one. An empty result means success; otherwise the reason.
[[nodiscard]] std::wstring WriteImageFile(const std::filesystem::path& file, const std::uint32_t* pixels, int width,
                                          int height);

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
