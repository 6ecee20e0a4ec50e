// Writing a page to an image file through WIC.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "win/common/com.h"

namespace zor::win {

// Writes the 32-bit top-down pixels (0x00RRGGBB) as PNG, or as BMP when the
// file name ends in ".bmp"; the file is written beside and then moved over
// any old one. An empty result means success; otherwise the reason.
[[nodiscard]] std::wstring WriteImageFile(const std::filesystem::path& file, const std::uint32_t* pixels, int width,
                                          int height);


}  // namespace zor::win
