#include "tests/support/sample_bytes.hpp"

#include <cstdint>

#include "tools/encoder/encoder.hpp"

namespace testsupport {

Bytes text_bytes(std::size_t size, unsigned seed) {
  const std::string words = "screen saver aurora lumivane data ";
  Bytes bytes;
  for (std::size_t i = 0; bytes.size() < size; ++i) {
    const bool letter = i % (11 + seed) == 0;
    bytes.push_back(static_cast<std::uint8_t>(letter ? 'A' + i % 26 : words[i % words.size()]));
  }
  return bytes;
}

Bytes pattern_bytes(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
  }
  return bytes;
}

PayloadEntry compressed(const Bytes& original, const std::string& extension) {
  return {encoder::compress(original.data(), original.size()),
          static_cast<std::uint32_t>(original.size()), extension};
}

}  // namespace testsupport
