#pragma once
// A 24-bit bitmap file of the given size, its pixels grey.

#include <cstdint>
#include <string>

namespace qz::test {

inline std::string BitmapFile(int width, int height) {
  auto le32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::uint32_t size = static_cast<std::uint32_t>(((width * 24 + 31) / 32) * 4 * height);
  std::string file = "BM" + le32(54 + size) + le32(0) + le32(54) + le32(40) + le32(static_cast<std::uint32_t>(width)) +
                     le32(static_cast<std::uint32_t>(height)) + std::string("\x01\x00\x18\x00", 4) + le32(0) +
                     le32(size) + le32(2835) + le32(2835) + le32(0) + le32(0);
  return file + std::string(size, '\x40');
}

}  // namespace qz::test
