// Picture files before decoding: the format by its signature and the size
// its header claims (BMP, GIF, JPEG, PNG), read before any decoder runs so that
// hostile sizes are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace zor {

enum class PictureFormat { kUnknown, kBmp, kGif, kJpeg, kPng };

struct PictureHeader {
  PictureFormat format = PictureFormat::kUnknown;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool valid = false;  // the format was recognised and its size read
  // A BMP's fourth byte of a pixel is alpha only where the header gives an
  // alpha mask (bit fields); in a plain 32-bit BMP it is padding.
  bool bmpAlpha = false;
  // The orientation tag of a JPEG's Exif block before its frame header
  // (0: none), as read, whatever its value.
  std::uint32_t orientationTag = 0;
};

// Reads up to size bytes at offset into buffer; returns the count read.
using ByteReader = std::function<std::size_t(std::uint64_t offset, void* buffer, std::size_t size)>;

// The format by its signature and the size its header claims. A JPEG is
// walked marker by marker to its frame header.
[[nodiscard]] PictureHeader ReadPictureHeader(const ByteReader& read);

// Pictures are refused beyond these: a side over 32767 pixels or more than
// 64 megapixels (a decoder would need gigabytes for what a header can claim).
inline constexpr std::uint32_t kMaxPictureSide = 32767;
inline constexpr std::uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;
[[nodiscard]] bool AcceptablePictureSize(std::uint64_t width, std::uint64_t height) noexcept;

}  // namespace zor
