#include "decode/decoder.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "decode/bit_reader.hpp"
#include "decode/model.hpp"
#include "decode/output_cursor.hpp"
#include "decode/position_code.hpp"
#include "decode/streams.hpp"
#include "decode/symbol_decoder.hpp"

namespace decode {
namespace {

constexpr unsigned kRingMask = kRingSize - 1;

struct DecoderTables {
  // The ring, and room past its end for a block copy that rewrites bytes it does not change.
  unsigned char ring[kRingSize + OutputCursor::kBlockCopy];
  PositionCode position_codes[256];  // filled before the first decode of the process
  bool position_codes_ready;
};
DecoderTables g_tables;

// The upper 6 bits cost the code's length L, the lower 6 bits 6 more.
int decode_position(BitReader& bits) {
  if (bits.count < 22) bits.refill_free();
  if (bits.count >= 22) {
    const PositionCode code = g_tables.position_codes[bits.peek(8)];
    const unsigned tail = bits.take(code.length + 6u) & 63u;
    return (code.upper << 6) | static_cast<int>(tail);
  }
  unsigned b = bits.read_8_bits();
  const PositionCode code = g_tables.position_codes[b];
  for (int n = 2; n < code.length; ++n) b = (b << 1) | bits.read_bit();
  return (code.upper << 6) | static_cast<int>(b & 63u);
}

// Copies n bytes (at most kBlockCopy - 2) from `from` to the ring at `to` and to the output
// at `out`, where neither range wraps and `from` does not run into `to`. The output gets
// kBlockCopy bytes, the surplus to be overwritten later; the ring keeps its bytes past n.
void copy_block(unsigned char* to, const unsigned char* from, unsigned n, unsigned char* out) {
#if defined(__SSE2__)
  alignas(16) static const unsigned char kFirstBytes[2 * OutputCursor::kBlockCopy] = {
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), high);
  const unsigned char* mask = kFirstBytes + OutputCursor::kBlockCopy - n;
  const __m128i low_mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask));
  const __m128i high_mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + 16));
  __m128i* ring_low = reinterpret_cast<__m128i*>(to);
  __m128i* ring_high = reinterpret_cast<__m128i*>(to + 16);
  const __m128i old_low = _mm_loadu_si128(ring_low);
  const __m128i old_high = _mm_loadu_si128(ring_high);
  _mm_storeu_si128(ring_low,
                   _mm_or_si128(_mm_and_si128(low_mask, low), _mm_andnot_si128(low_mask, old_low)));
  _mm_storeu_si128(ring_high, _mm_or_si128(_mm_and_si128(high_mask, high),
                                           _mm_andnot_si128(high_mask, old_high)));
#else
  std::memcpy(out, from, n);
  std::memcpy(to, from, n);
#endif
}

// Copies a match through the ring, as one block when the ranges allow it.
unsigned copy_match(OutputCursor& out, unsigned r, unsigned position, unsigned n) {
  unsigned char* ring = g_tables.ring;
  const unsigned start = (r - position - 1) & kRingMask;
  // A match that starts less than n bytes back repeats bytes it is producing.
  const bool no_overlap = position + 1 >= n;
  if (no_overlap && r + n <= kRingSize && start + n <= kRingSize && out.has_block_room()) {
    copy_block(ring + r, ring + start, n, out.at());
    out.advance(static_cast<int>(n));
    return (r + n) & kRingMask;
  }
  for (unsigned k = 0; k < n; ++k) {
    const unsigned char byte = ring[(start + k) & kRingMask];
    out.put(byte);
    ring[r] = byte;
    r = (r + 1) & kRingMask;
  }
  return r;
}

std::int32_t decode_stream(const Source& source, const Target& target, std::uint32_t original_size,
                           std::uint32_t stored_size) {
  BitReader bits(source, stored_size);
  if (original_size == 0) return 0;
  symbol_decoder_start();
  std::memset(g_tables.ring, ' ', kFirstWrite);
  unsigned r = kFirstWrite;
  OutputCursor out(target, original_size);
  // Sizes compare as signed 32-bit values: 2 GiB or more produces nothing.
  const std::int64_t limit = static_cast<std::int32_t>(original_size);
  std::int64_t produced = 0;
  while (produced < limit && !out.failed()) {
    const int symbol = decode_and_count_symbol(bits);
    if (symbol < 256) {
      const unsigned char byte = static_cast<unsigned char>(symbol);
      out.put(byte);
      g_tables.ring[r] = byte;
      r = (r + 1) & kRingMask;
      ++produced;
    } else {
      const unsigned length = static_cast<unsigned>(symbol - 256 + kThreshold + 1);
      r = copy_match(out, r, static_cast<unsigned>(decode_position(bits)), length);
      produced += length;
    }
  }
  out.finish();
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
  if (!g_tables.position_codes_ready) {
    fill_position_codes(g_tables.position_codes);
    g_tables.position_codes_ready = true;
  }
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
