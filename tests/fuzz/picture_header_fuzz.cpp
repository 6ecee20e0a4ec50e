// libFuzzer target: the picture-header reader on arbitrary file bytes, and
// the area shrink on small sizes and rows taken from the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/screen/area_shrinker.h"
#include "core/screen/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t reads = 0;
  const zor::PictureHeader h = zor::ReadPictureHeader([&](std::uint64_t offset, void* buffer, std::size_t n) {
    if (++reads > 100000) __builtin_trap();  // the marker walk must end
    if (offset >= size) return std::size_t{0};
    const std::size_t got = std::min<std::size_t>(n, size - static_cast<std::size_t>(offset));
    std::memcpy(buffer, data + offset, got);
    return got;
  });
  if (h.valid && h.format == zor::PictureFormat::kUnknown) __builtin_trap();

  if (size < 5) return 0;
  const zor::PixelSize from{1 + data[0] % 64, 1 + data[1] % 64};
  const zor::PixelSize to{1 + data[2] % from.width, 1 + data[3] % from.height};
  const auto layout = static_cast<zor::RowLayout>(data[4] % 3 == 0 ? 1 : data[4] % 3 == 1 ? 3 : 4);
  const std::size_t stride = static_cast<std::size_t>(from.width) * static_cast<std::size_t>(zor::BytesPerPixel(layout));
  std::vector<std::uint8_t> row(stride);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(to.width) * static_cast<std::size_t>(to.height), 0xFF000000u);
  zor::RowShrinker shrink(from, to, out.data(), layout);
  const int given = from.height - data[4] % 3;  // sometimes short, as a truncated file is
  for (int y = 0; y < given; ++y) {
    for (std::size_t i = 0; i < stride; ++i) row[i] = data[(5 + static_cast<std::size_t>(y) * stride + i) % size];
    shrink.AddRow(row.data());
  }
  shrink.Finish();
  for (const std::uint32_t v : out) {
    if (v > 0xFFFFFFu) __builtin_trap();  // every pixel written, and in range
  }
  return 0;
}
