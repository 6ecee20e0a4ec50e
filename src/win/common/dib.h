// 32-bit top-down device-independent bitmaps: every image the program draws on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "win/common/handles.h"

namespace zor::win {

// A width × height DIB section whose pixels (0x00RRGGBB, rows from the top)
// are returned in bits; empty on failure.
[[nodiscard]] inline UniqueBitmap CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  *bits = nullptr;
  if (width < 1 || height < 1) return UniqueBitmap();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  UniqueBitmap bitmap(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
  if (!*bits) bitmap.reset();
  return bitmap;
}

// A top-down DIB section selected into a memory DC of its own. The DC's
// first bitmap is put back before the DC and the section are let go.
class DibImage {
 public:
  DibImage() = default;
  DibImage(DibImage&& other) noexcept { *this = std::move(other); }
  DibImage& operator=(DibImage&& other) noexcept {
    if (this != &other) {
      Reset();
      dc_ = std::move(other.dc_);
      bitmap_ = std::move(other.bitmap_);
      old_ = std::exchange(other.old_, nullptr);
      pixels_ = std::exchange(other.pixels_, nullptr);
      width_ = std::exchange(other.width_, 0);
      height_ = std::exchange(other.height_, 0);
    }
    return *this;
  }
  DibImage(const DibImage&) = delete;
  DibImage& operator=(const DibImage&) = delete;
  ~DibImage() { Reset(); }

  // A new black image of the size; one of that size already held is kept as
  // it is. On failure the image held before stays.
  [[nodiscard]] bool Create(int width, int height) {
    if (width < 1 || height < 1) return false;
    if (pixels_ && width == width_ && height == height_) return true;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownDib(dc.get(), width, height, &bits);
    if (!bitmap) return false;
    Reset();
    old_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    pixels_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
  }

  void Reset() noexcept {
    if (dc_ && old_) SelectObject(dc_.get(), old_);
    old_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    pixels_ = nullptr;
    width_ = 0;
    height_ = 0;
  }

  [[nodiscard]] HDC dc() const noexcept { return dc_.get(); }
  // Pixels as 0x00RRGGBB, row after row from the top; null when empty. GDI
  // may still be drawing: GdiFlush before reading what it drew.
  [[nodiscard]] std::uint32_t* pixels() const noexcept { return pixels_; }
  [[nodiscard]] int width() const noexcept { return width_; }
  [[nodiscard]] int height() const noexcept { return height_; }

 private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zor::win
