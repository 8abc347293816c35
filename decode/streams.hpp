// The decoder's two byte streams: the input stream hands out the entry's stored bytes
// (ReadPtr), the output stream gathers restored bytes and writes them in chunks (WritePtr).
//
// Both serve one decode at a time from process-wide buffers of kStreamBlock bytes. The
// input stream never reads past the entry; the output stream writes chunks of exactly
// kStreamBlock bytes and a last chunk that ends at the entry's original size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/decoder.hpp"

namespace decode {

constexpr std::uint32_t kStreamBlock = 16384;

// Where stored bytes come from and where restored bytes go.
struct Source {
  Reader read;
  void* context;
};
struct Target {
  Sink write;
  void* context;
};

struct InputStream {
  unsigned char buffer[kStreamBlock];
  std::int16_t bytes_left;  // below 1: the next byte needs a new block
  std::int16_t read_index;
};

struct OutputStream {
  unsigned char buffer[kStreamBlock];
  std::int16_t bytes_held;
  std::int16_t chunk_limit;  // bytes held at which the chunk is written
  std::uint16_t limit_set;
  std::uint32_t flushed;  // bytes written for this entry
  bool failed;            // a chunk was written short: nothing more goes out this entry
};

struct Streams {
  InputStream input;
  OutputStream output;
  const char* last_error;
  std::uint64_t bits_used;  // stored bits the last decode took (see decoder_last_bits_used)
};
extern Streams g_streams;

extern const char* const kWriteErrorText;  // "Write error in function WritePtr()"

void reset_input_stream();
void reset_output_stream();

// Next stored byte. `stored_left` (at least 1) is what the caller has not yet taken;
// a block read asks for min(stored_left, kStreamBlock) bytes.
int ReadPtr(const Source& source, std::uint32_t stored_left);

// Writes the held bytes as one chunk; false (and the stream marked failed) when short.
bool flush_output(const Target& target);

inline std::int16_t chunk_limit_for(std::uint32_t flushed, std::uint32_t original_size) {
  const std::uint32_t missing = original_size - flushed;
  return static_cast<std::int16_t>(missing < kStreamBlock ? missing : kStreamBlock);
}

// Appends one restored byte; bytes past the original size are dropped.
inline void WritePtr(const Target& target, unsigned char byte, std::uint32_t original_size) {
  OutputStream& out = g_streams.output;
  if (out.flushed >= original_size || out.failed) return;
  out.buffer[out.bytes_held++] = byte;
  if (!out.limit_set) {
    out.chunk_limit = chunk_limit_for(out.flushed, original_size);
    out.limit_set = 1;
  }
  if (out.bytes_held >= out.chunk_limit) flush_output(target);
}

// The same as WritePtr for each of `size` bytes in turn, done a chunk at a time.
void write_bytes(const Target& target, const unsigned char* data, std::size_t size,
                 std::uint32_t original_size);

}  // namespace decode
