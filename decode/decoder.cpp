#include "decode/decoder.hpp"

#include <cstring>

#include "decode/bit_reader.hpp"
#include "decode/model.hpp"
#include "decode/position_code.hpp"
#include "decode/streams.hpp"
#include "decode/symbol_decoder.hpp"

namespace decode {
namespace {

constexpr unsigned kRingMask = kRingSize - 1;

struct DecoderTables {
  Model model;
  unsigned char ring[kRingSize];
};
DecoderTables g_tables;

// The upper 6 bits cost the code's length L, the lower 6 bits 6 more.
int decode_position(BitReader& bits) {
  if (bits.count < 22) bits.refill_free();
  if (bits.count >= 22) {
    const PositionCode code = kPositionCodes.entry[bits.peek(8)];
    const unsigned tail = bits.take(code.length + 6u) & 63u;
    return (code.upper << 6) | static_cast<int>(tail);
  }
  unsigned b = bits.read_8_bits();
  const PositionCode code = kPositionCodes.entry[b];
  for (int n = 2; n < code.length; ++n) b = (b << 1) | bits.read_bit();
  return (code.upper << 6) | static_cast<int>(b & 63u);
}

// Copies a match through the ring, one block when source and destination allow it.
unsigned copy_match(const Target& target, unsigned r, int position, int length,
                    std::uint32_t original_size) {
  unsigned char* ring = g_tables.ring;
  const unsigned start = (r - static_cast<unsigned>(position) - 1) & kRingMask;
  const unsigned n = static_cast<unsigned>(length);
  const bool no_wrap = r + n <= kRingSize && start + n <= kRingSize;
  if (no_wrap && (start >= r || start + n <= r)) {
    std::memmove(ring + r, ring + start, n);
    write_bytes(target, ring + r, n, original_size);
    return (r + n) & kRingMask;
  }
  for (unsigned k = 0; k < n; ++k) {
    const unsigned char byte = ring[(start + k) & kRingMask];
    WritePtr(target, byte, original_size);
    ring[r] = byte;
    r = (r + 1) & kRingMask;
  }
  return r;
}

std::int32_t decode_stream(const Source& source, const Target& target, std::uint32_t original_size,
                           std::uint32_t stored_size) {
  BitReader bits(source, stored_size);
  if (original_size == 0) return 0;
  symbol_decoder_start(g_tables.model);
  std::memset(g_tables.ring, ' ', kFirstWrite);
  unsigned r = kFirstWrite;
  // Sizes compare as signed 32-bit values: 2 GiB or more produces nothing.
  const std::int64_t limit = static_cast<std::int32_t>(original_size);
  std::int64_t produced = 0;
  while (produced < limit && !g_streams.output.failed) {
    const int symbol = decode_and_count_symbol(g_tables.model, bits);
    if (symbol < 256) {
      const unsigned char byte = static_cast<unsigned char>(symbol);
      WritePtr(target, byte, original_size);
      g_tables.ring[r] = byte;
      r = (r + 1) & kRingMask;
      ++produced;
    } else {
      const int length = symbol - 256 + kThreshold + 1;
      r = copy_match(target, r, decode_position(bits), length, original_size);
      produced += length;
    }
  }
  return static_cast<std::int32_t>(produced);
}

struct MemoryReader {
  const unsigned char* next;
  std::size_t left;
};

std::size_t read_memory(void* context, unsigned char* buffer, std::size_t size) {
  MemoryReader& memory = *static_cast<MemoryReader*>(context);
  const std::size_t n = size < memory.left ? size : memory.left;
  if (n > 0) std::memcpy(buffer, memory.next, n);
  memory.next += n;
  memory.left -= n;
  return n;
}

}  // namespace

std::int32_t decode_from_reader(Reader reader, void* reader_context, std::uint32_t stored_size,
                                std::uint32_t original_size, Sink sink, void* sink_context) {
  reset_input_stream();
  reset_output_stream();
  g_streams.last_error = nullptr;
  const std::int32_t count = decode_stream(Source{reader, reader_context},
                                           Target{sink, sink_context}, original_size, stored_size);
  return g_streams.output.failed ? kDecodeWriteFailed : count;
}

std::int32_t decode_memory(const unsigned char* stored, std::uint32_t stored_size,
                           std::uint32_t original_size, Sink sink, void* context) {
  MemoryReader memory{stored, stored_size};
  return decode_from_reader(read_memory, &memory, stored_size, original_size, sink, context);
}

const char* decoder_last_error() {
  return g_streams.last_error;
}

void decoder_reset_process_state() {
  std::memset(&g_tables, 0, sizeof g_tables);
  std::memset(&g_streams, 0, sizeof g_streams);
  symbol_decoder_reset_process_state();
}

}  // namespace decode
