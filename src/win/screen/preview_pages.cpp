#include "win/screen/preview_pages.h"

#include <windows.h>

#include <iterator>

#include "win/screen/image_file.h"

namespace zor::win {

std::unique_ptr<PreviewPages> PreviewPages::FromEnvironment() {
  wchar_t folder[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"ZOR_PREVIEW_PAGES", folder, static_cast<DWORD>(std::size(folder)));
  if (n == 0 || n >= std::size(folder)) return nullptr;
  return std::make_unique<PreviewPages>(std::filesystem::path(folder));
}

PreviewPages::PreviewPages(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::wstring PreviewPages::Write(const ImagePixels& image) {
  if (written_ >= kMaxPages) return {};
  // A 32-bit DIB's rows follow one another without padding.
  if (!image || image.width < 1 || image.height < 1 || image.stride != image.width) {
    ++written_;
    return L"no image to write";
  }
  // What GDI still holds back belongs to the page.
  GdiFlush();
  const std::filesystem::path file = folder_ / (L"page-" + std::to_wstring(written_ + 1) + L".png");
  // The number is the page's own, written or not.
  ++written_;
  return WriteImageFile(file, image.bits, image.width, image.height);
}

}  // namespace zor::win
