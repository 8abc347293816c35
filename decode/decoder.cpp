#include "decode/decoder.hpp"

#include <cstring>

// The sanitizer build takes the portable copy, the one the installer stub compiles.
#if defined(__SSE2__) && !defined(DECODE_PORTABLE_COPY)
#define DECODE_SSE2_COPY 1
#include <emmintrin.h>
#endif

#include "decode/bit_reader.hpp"
#include "decode/model.hpp"
#include "decode/output_cursor.hpp"
#include "decode/position_code.hpp"
#include "decode/streams.hpp"
#include "decode/symbol_decoder.hpp"
#include "decode/symbol_tree.hpp"

namespace decode {
namespace {

constexpr unsigned kRingMask = kRingSize - 1;

// The bulk loop only buys speed; a build for size (the installer stub) leaves it out.
#if defined(__OPTIMIZE_SIZE__)
constexpr bool kBulkLoopBuilt = false;
#else
constexpr bool kBulkLoopBuilt = true;
#endif
bool g_bulk_loop_on = true;

struct DecoderTables {
  // The ring, and room past its end for a block copy that rewrites bytes it does not change.
  unsigned char ring[kRingSize + OutputCursor::kBlockCopy];
  PositionCode position_codes[256];  // filled before the first decode of the process
  bool position_codes_ready;
};
DecoderTables g_tables;

// The upper 6 bits cost the code's length L, the lower 6 bits 6 more; the window holds
// at least 14 bits.
unsigned take_position(BitWindow& bits) {
  const PositionCode code = g_tables.position_codes[bits.peek(8)];
  const unsigned tail = bits.take(code.length + 6) & 63u;
  return (static_cast<unsigned>(code.upper) << 6) | tail;
}

unsigned decode_position(BitReader& bits) {
  if (bits.count < 22) bits.refill_free();
  if (bits.count >= 22) {
    BitWindow window = bits.lend();
    const unsigned position = take_position(window);
    bits.take_back(window);
    return position;
  }
  unsigned b = bits.read_8_bits();
  const PositionCode code = g_tables.position_codes[b];
  for (int n = 2; n < code.length; ++n) b = (b << 1) | bits.read_bit();
  return (static_cast<unsigned>(code.upper) << 6) | (b & 63u);
}

// Copies n bytes (at most kBlockCopy - 2) from `from` to the ring at `to` and to the output
// at `out`, where neither range wraps and `from` does not run into `to`. The output gets
// kBlockCopy bytes, the surplus to be overwritten later; the ring keeps its bytes past n.
// When the ranges overlap, `from` lies ahead of `to` (a match from near the ring's far end),
// so a forward move gives the byte-by-byte result.
void copy_block(unsigned char* to, const unsigned char* from, unsigned n, unsigned char* out) {
#if defined(DECODE_SSE2_COPY)
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
  std::memmove(to, from, n);
#endif
}

// Copies a match through the ring to `out`, which has room for kBlockCopy bytes; as one
// block when the ranges allow it. Returns the ring position after the match.
unsigned copy_match_to(unsigned char* out, unsigned r, unsigned position, unsigned n) {
  unsigned char* ring = g_tables.ring;
  const unsigned start = (r - position - 1) & kRingMask;
  // A match that starts less than n bytes back repeats bytes it is producing.
  const bool no_overlap = position + 1 >= n;
  if (no_overlap && r + n <= kRingSize && start + n <= kRingSize) {
    copy_block(ring + r, ring + start, n, out);
    return (r + n) & kRingMask;
  }
  for (unsigned k = 0; k < n; ++k) {
    const unsigned char byte = ring[(start + k) & kRingMask];
    out[k] = byte;
    ring[r] = byte;
    r = (r + 1) & kRingMask;
  }
  return r;
}

// The same for an output chunk that may fill up during the match.
unsigned copy_match(OutputCursor& out, unsigned r, unsigned position, unsigned n) {
  if (out.has_block_room()) {
    r = copy_match_to(out.at(), r, position, n);
    out.advance(static_cast<int>(n));
    return r;
  }
  unsigned char bytes[OutputCursor::kBlockCopy];
  r = copy_match_to(bytes, r, position, n);
  for (unsigned k = 0; k < n; ++k) out.put(bytes[k]);
  return r;
}

// Decodes symbols while the block in hand holds the bytes a refill loads, the chunk has
// room for a block copy and no rebuild is due: none of the edge checks of the per-symbol
// path can then come true. The bits stay in registers meanwhile. A code is at most 21 bits
// long: going up from a leaf, each node's sibling weighs at least as much as the node's own
// child on the path, so the weights grow like the Fibonacci numbers, and a leaf 22 levels
// down would need a root of 46368, above the root's largest weight, 32768. After one refill
// to 56 bits a symbol and its match position (14 bits at most) thus never run the window
// dry. Returns the output count.
std::int64_t decode_in_bulk(BitReader& reader, OutputCursor& out, unsigned& ring_at,
                            std::int64_t produced) {
  BitWindow bits = reader.lend();
  const unsigned char* const block_end = bits.next + reader.block_bytes_left();
  unsigned char* at = out.at();
  const unsigned char* const chunk_end = out.chunk_end();
  unsigned char* const ring = g_tables.ring;
  const std::uint16_t& root_weight = g_symbols.tree.weight[kRoot];
  unsigned r = ring_at;
  while (block_end - bits.next >= 8 && chunk_end - at > OutputCursor::kBlockCopy &&
         root_weight != kRebuildLimit) {
    bits.refill();
    int depth = 0;
    const int leaf = walk_from_table(bits, depth);
    count_path(depth);
    const unsigned symbol = static_cast<unsigned>(leaf - kLeafBase);
    if (symbol < 256) {
      *at++ = static_cast<unsigned char>(symbol);
      ring[r] = static_cast<unsigned char>(symbol);
      r = (r + 1) & kRingMask;
      ++produced;
      continue;
    }
    const unsigned length = symbol - 256 + kThreshold + 1;
    r = copy_match_to(at, r, take_position(bits), length);
    at += length;
    produced += length;
  }
  reader.take_back(bits);
  out.advance(static_cast<int>(at - out.at()));
  ring_at = r;
  return produced;
}

std::int32_t decode_stream(const Source& source, const Target& target, EntrySizes sizes) {
  BitReader bits(source, sizes.stored);
  g_streams.bits_used = 0;
  if (sizes.original == 0) return 0;
  symbol_decoder_start();
  std::memset(g_tables.ring, ' ', kFirstWrite);
  unsigned r = kFirstWrite;
  OutputCursor out(target, sizes.original);
  // Sizes compare as signed 32-bit values: 2 GiB or more produces nothing.
  const std::int64_t limit = static_cast<std::int32_t>(sizes.original);
  std::int64_t produced = 0;
  while (produced < limit && !out.failed()) {
    if (kBulkLoopBuilt && g_bulk_loop_on) {
      produced = decode_in_bulk(bits, out, r, produced);
      if (produced >= limit) break;
    }
    const int symbol = decode_and_count_symbol(bits);
    if (symbol < 256) {
      const unsigned char byte = static_cast<unsigned char>(symbol);
      out.put(byte);
      g_tables.ring[r] = byte;
      r = (r + 1) & kRingMask;
      ++produced;
    } else {
      const unsigned length = static_cast<unsigned>(symbol - 256 + kThreshold + 1);
      r = copy_match(out, r, decode_position(bits), length);
      produced += length;
    }
  }
  out.finish();
  g_streams.bits_used = bits.bits_used(sizes.stored);
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

std::int32_t decode_from_reader(Reader reader, void* reader_context, EntrySizes sizes, Sink sink,
                                void* sink_context) {
  reset_input_stream();
  reset_output_stream();
  if (!g_tables.position_codes_ready) {
    fill_position_codes(g_tables.position_codes);
    g_tables.position_codes_ready = true;
  }
  g_streams.last_error = nullptr;
  const std::int32_t count =
      decode_stream(Source{reader, reader_context}, Target{sink, sink_context}, sizes);
  return g_streams.output.failed ? kDecodeWriteFailed : count;
}

std::int32_t decode_memory(const unsigned char* stored, std::uint32_t stored_size,
                           std::uint32_t original_size, Sink sink, void* context) {
  MemoryReader memory{stored, stored_size};
  return decode_from_reader(read_memory, &memory, {stored_size, original_size}, sink, context);
}

void decoder_use_bulk_loop(bool on) {
  g_bulk_loop_on = on;
}

const char* decoder_last_error() {
  return g_streams.last_error;
}

std::uint64_t decoder_last_bits_used() {
  return g_streams.bits_used;
}

void decoder_reset_process_state() {
  std::memset(&g_tables, 0, sizeof g_tables);
  std::memset(&g_streams, 0, sizeof g_streams);
  symbol_decoder_reset_process_state();
}

}  // namespace decode
