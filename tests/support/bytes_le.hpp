// Little-endian field access on a byte vector, for the fixture builders and readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport::le {

inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b.at(at + 1);  // bounds check before writing
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  put16(b, at, static_cast<std::uint16_t>(v));
  put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

inline void put64(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v) {
  put32(b, at, static_cast<std::uint32_t>(v));
  put32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void append16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.resize(b.size() + 2);
  put16(b, b.size() - 2, v);
}

inline void append32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  append16(b, static_cast<std::uint16_t>(v));
  append16(b, static_cast<std::uint16_t>(v >> 16));
}

// Reads outside the vector yield `ok = false` instead of throwing.
inline std::uint32_t get(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t size,
                         bool& ok) {
  if (at > b.size() || size > b.size() - at) {
    ok = false;
    return 0;
  }
  std::uint32_t v = 0;
  for (std::size_t i = size; i-- > 0;) v = (v << 8) | b[at + i];
  return v;
}

inline std::uint32_t align_up(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

}  // namespace testsupport::le
