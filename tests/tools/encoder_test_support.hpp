// Decoding helpers for the encoder tests: the shipped decoder and the reference decoder
// over memory, and varied sample inputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.hpp"

#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
#include "tests/decode/reference_decoder.hpp"
#endif

namespace encoder_test {

using Bytes = std::vector<std::uint8_t>;

inline bool append_sink(void* context, const unsigned char* data, std::size_t size) {
  static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), data, data + size);
  return true;
}

// Decodes with the shipped decoder, keeping whatever ring tail the last decode left.
inline Bytes shipped_decode(const Bytes& stored, std::size_t original_size) {
  Bytes out;
  decode::decode_memory(stored.data(), static_cast<std::uint32_t>(stored.size()),
                        static_cast<std::uint32_t>(original_size), append_sink, &out);
  return out;
}

#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
struct MemoryReader {
  const Bytes* bytes;
  std::size_t at = 0;
};

inline std::size_t read_memory(void* context, unsigned char* buffer, std::size_t size) {
  auto* r = static_cast<MemoryReader*>(context);
  std::size_t n = 0;
  for (; n < size && r->at < r->bytes->size(); ++n) buffer[n] = (*r->bytes)[r->at++];
  return n;
}

inline Bytes reference_decode(const Bytes& stored, std::size_t original_size) {
  MemoryReader reader{&stored};
  Bytes out;
  reference::decode(read_memory, &reader, append_sink, &out,
                    static_cast<std::uint32_t>(stored.size()),
                    static_cast<std::uint32_t>(original_size));
  return out;
}
#endif

// Pseudo-random bytes from a fixed seed.
inline Bytes random_bytes(std::size_t size, std::uint32_t seed) {
  Bytes b(size);
  for (auto& byte : b) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return b;
}

// Leaves the last 30 ring positions of both decoders holding random bytes, as a previous
// entry of a package would.
inline void dirty_ring_tail(std::uint32_t seed) {
  const Bytes garbage = random_bytes(4096, seed);
  shipped_decode(garbage, 4096);
#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
  reference_decode(garbage, 4096);
#endif
}

}  // namespace encoder_test
