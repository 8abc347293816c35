// The decoder's bit reader. Stored bytes are read most significant bit first.
//
// Bits are taken in bulk from the block the input stream already holds, which costs no
// read. A new block is read only where a reader that tops itself up to at least 9 bits
// before every operation would read it, so the file sees the same reads in the same order.
// Once the stored size is used up the reader supplies zero bits.
#pragma once

#include <cstdint>
#include <cstring>

#include "decode/streams.hpp"

namespace decode {

class BitReader {
 public:
  BitReader(const Source& source, std::uint32_t stored_size)
      : source_(source), stored_left_(stored_size) {}

  int count = 0;  // valid bits at the top of the buffer

  // Tops the buffer up from the block in hand; never reads the file.
  void refill_free() {
    InputStream& in = g_streams.input;
    if (in.bytes_left >= 8) {
      const unsigned char* p = in.buffer + in.read_index;
      const int taken = (63 - count) >> 3;
      bits_ |= load_big_endian(p) >> count;
      count += taken * 8;
      in.bytes_left = static_cast<std::int16_t>(in.bytes_left - taken);
      in.read_index = static_cast<std::int16_t>(in.read_index + taken);
      stored_left_ -= static_cast<std::uint32_t>(taken);
      return;
    }
    while (count <= 55 && in.bytes_left >= 1) {
      --in.bytes_left;
      push(in.buffer[in.read_index++]);
      --stored_left_;
    }
    if (stored_left_ == 0 && count <= 55) count = 63;  // zero bits from here on
  }

  unsigned read_bit() {
    if (count <= 8) refill_exact();
    const unsigned bit = static_cast<unsigned>(bits_ >> 63);
    bits_ <<= 1;
    --count;
    return bit;
  }

  unsigned read_8_bits() {
    if (count <= 8) refill_exact();
    return take(8);
  }

  // The next n bits (1..32), valid when count >= n.
  unsigned peek(int n) const { return static_cast<unsigned>(bits_ >> (64 - n)); }

  unsigned take(int n) {
    const unsigned value = peek(n);
    bits_ <<= n;
    count -= n;
    return value;
  }

 private:
  static std::uint64_t load_big_endian(const unsigned char* p) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
#else
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
#endif
  }

  void push(unsigned byte) {
    bits_ |= static_cast<std::uint64_t>(byte) << (56 - count);
    count += 8;
  }

  // The block in hand is used up: read on through ReadPtr, one byte at a time.
  void refill_exact() {
    refill_free();
    while (count <= 8) {
      push(static_cast<unsigned>(ReadPtr(source_, stored_left_)));
      --stored_left_;
      refill_free();
    }
  }

  const Source& source_;
  std::uint32_t stored_left_;
  std::uint64_t bits_ = 0;
};

}  // namespace decode
