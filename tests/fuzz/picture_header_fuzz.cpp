// libFuzzer target: the picture-header reader on arbitrary file bytes (the
// Exif block of a JPEG among them), the area shrink on small sizes and rows
// taken from the same bytes, and a blend over the ground and a turn of them.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/screen/area_shrinker.h"
#include "core/screen/picture_header.h"
#include "core/screen/picture_orientation.h"

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

  // The shrunk pixels turned as the header's tag says, and a part of the
  // turned picture mapped back inside the stored one.
  const zor::Orientation o = zor::OrientationFromTag(h.orientationTag ? h.orientationTag : data[4] % 10u);
  const zor::PixelSize up = zor::UprightSize(to, o);
  std::vector<std::uint32_t> turned(out.size(), 0xFF000000u);
  zor::OrientPixels(out.data(), to.width, to.height, o, turned.data());
  for (const std::uint32_t v : turned) {
    if (v > 0xFFFFFFu) __builtin_trap();
  }
  const int x0 = data[0] % up.width;
  const int y0 = data[1] % up.height;
  const zor::PixelRect part{x0, y0, x0 + 1 + data[2] % (up.width - x0), y0 + 1 + data[3] % (up.height - y0)};
  const zor::PixelRect s = zor::StoredRect(part, to, o);
  if (s.left < 0 || s.top < 0 || s.right > to.width || s.bottom > to.height ||
      s.width() * s.height() != part.width() * part.height()) {
    __builtin_trap();
  }

  // A row of the bytes as see-through pixels over a ground from them.
  std::vector<std::uint8_t> bgra(data, data + (size & ~std::size_t{3}));
  zor::CompositeRowOverGround(bgra.data(), static_cast<int>(bgra.size() / 4), zor::Rgb{data[0], data[1], data[2]});
  for (std::size_t i = 3; i < bgra.size(); i += 4) {
    if (bgra[i] != 0) __builtin_trap();
  }
  return 0;
}
