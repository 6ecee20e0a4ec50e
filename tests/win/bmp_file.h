// A 24-bit BMP of one colour, for the tests of the picture dialogs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "../core/temp_folder.h"

namespace zor::win::testing {

// Integers as the bytes of a file, least or most significant byte first.
inline std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
inline std::string Be16(unsigned v) { return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

inline void WriteBmp(const std::filesystem::path& file, int width, int height, std::uint32_t colour = 0x3080C0) {
  const int stride = (width * 3 + 3) & ~3;
  const std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * height);
  std::string b(size, '\0');
  auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (std::size_t i = 54; i + 2 < b.size(); i += 3) put(i, colour, 3);
  zor::testing::WriteBytes(file, b);
}

}  // namespace zor::win::testing
