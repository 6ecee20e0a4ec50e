// The preview's pages written as pictures, where the host's screen cannot
// show them: Wine does not paint a child window that belongs to another
// process. ZOR_PREVIEW_PAGES names the folder; page-1.png, page-2.png, …
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "win/common/com.h"
#include "win/screen/image_pixels.h"

namespace zor::win {

class PreviewPages {
 public:
  static constexpr int kMaxPages = 20;

  // The folder the environment names, read once; nullptr when it names none.
  [[nodiscard]] static std::unique_ptr<PreviewPages> FromEnvironment();
  explicit PreviewPages(std::filesystem::path folder);

  // Writes the image as the next page, up to the 20th; later pages are not
  // written. Empty when written or past the last; otherwise the reason (the
  // page keeps its number: page-N is always the N-th page drawn).
  [[nodiscard]] std::wstring Write(const ImagePixels& image);
  [[nodiscard]] int Pages() const noexcept { return written_; }  // pages seen, up to 20

 private:
  ComScope com_;
  std::filesystem::path folder_;
  int written_ = 0;
};

}  // namespace zor::win
