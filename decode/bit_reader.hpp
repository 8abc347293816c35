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

inline std::uint64_t load_big_endian(const unsigned char* p) {
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

// Bits taken from the stored bytes, held at the top of a 64-bit word.
struct BitBuffer {
  std::uint64_t word = 0;
  int count = 0;  // valid bits at the top of the word

  // The next n bits (1..32), valid when count >= n.
  unsigned peek(int n) const { return static_cast<unsigned>(word >> (64 - n)); }

  unsigned take(int n) {
    const unsigned value = peek(n);
    word <<= n;
    count -= n;
    return value;
  }
};

// The bits in hand and the next byte of the block in hand, for a loop that keeps them in
// registers while the block has bytes to spare.
struct BitWindow : BitBuffer {
  const unsigned char* next = nullptr;  // next byte of the block not yet in the bits

  // Tops the bits up to 56..63 from the block, which must hold 8 more bytes.
  void refill() {
    word |= load_big_endian(next) >> count;
    next += (63 - count) >> 3;
    count |= 56;  // the same as adding the whole bytes taken
  }

  unsigned read_bit() { return take(1); }
};

class BitReader : public BitBuffer {
 public:
  BitReader(const Source& source, std::uint32_t stored_size)
      : source_(source), stored_left_(stored_size) {}

  // Tops the buffer up from the block in hand; never reads the file.
  void refill_free() {
    InputStream& in = g_streams.input;
    if (in.bytes_left >= 8) {
      BitWindow window = lend();
      window.refill();
      take_back(window);
      return;
    }
    while (count <= 55 && in.bytes_left >= 1) {
      --in.bytes_left;
      push(in.buffer[in.read_index++]);
      --stored_left_;
    }
    if (stored_left_ == 0 && count <= 55) {  // zero bits from here on
      zero_bits_ += static_cast<std::uint32_t>(63 - count);
      count = 63;
    }
  }

  // Bits taken so far by the symbols and positions, out of an entry of `stored_size`
  // bytes; past stored_size * 8 the stream ran on into the zero bits.
  std::uint64_t bits_used(std::uint32_t stored_size) const {
    return (std::uint64_t{stored_size} - stored_left_) * 8 + zero_bits_ -
           static_cast<std::uint64_t>(count);
  }

  unsigned read_bit() {
    if (count <= 8) refill_exact();
    return take(1);
  }

  unsigned read_8_bits() {
    if (count <= 8) refill_exact();
    return take(8);
  }

  // Bytes of the block in hand not yet in the bits.
  int block_bytes_left() const { return g_streams.input.bytes_left; }

  BitWindow lend() const {
    BitWindow window;
    window.word = word;
    window.count = count;
    window.next = g_streams.input.buffer + g_streams.input.read_index;
    return window;
  }

  // Takes the bits back from a window lent out, and the bytes it took from the block.
  void take_back(const BitWindow& window) {
    InputStream& in = g_streams.input;
    const int taken = static_cast<int>(window.next - (in.buffer + in.read_index));
    in.bytes_left = static_cast<std::int16_t>(in.bytes_left - taken);
    in.read_index = static_cast<std::int16_t>(in.read_index + taken);
    stored_left_ -= static_cast<std::uint32_t>(taken);
    word = window.word;
    count = window.count;
  }

 private:
  void push(unsigned byte) {
    word |= static_cast<std::uint64_t>(byte) << (56 - count);
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
  std::uint32_t stored_left_;    // stored bytes not yet in the bits
  std::uint32_t zero_bits_ = 0;  // bits supplied past the stored bytes, taken or in hand
};

}  // namespace decode
