// The decoder's way into the output stream: restored bytes go straight into the stream's
// buffer and each chunk is written the moment it is full, so the target sees the same
// writes as from WritePtr, byte by byte.
#pragma once

#include <cstdint>

#include "decode/streams.hpp"

namespace decode {

class OutputCursor {
 public:
  // Spare room a block copy may scribble on past the bytes it puts.
  static constexpr int kBlockCopy = 32;

  // Starts on a freshly reset output stream.
  OutputCursor(const Target& target, std::uint32_t original_size)
      : target_(target), original_size_(original_size) {
    start_chunk();
  }

  bool failed() const { return g_streams.output.failed; }

  void put(unsigned char byte) {
    if (at_ == end_) return;  // past the original size, or after a failed write
    *at_++ = byte;
    if (at_ == end_) chunk_full();
  }

  // Whether `kBlockCopy` bytes may be written at `at()` with the chunk still not full after
  // `advance` by up to kBlockCopy - 1.
  bool has_block_room() const { return end_ - at_ > kBlockCopy; }
  unsigned char* at() const { return at_; }
  void advance(int n) { at_ += n; }
  // Where the chunk being filled ends.
  const unsigned char* chunk_end() const { return end_; }

  // Leaves the stream's fields as WritePtr would have left them.
  void finish() {
    OutputStream& out = g_streams.output;
    out.bytes_held = static_cast<std::int16_t>(at_ - out.buffer);
    out.limit_set = out.bytes_held > 0;
    out.chunk_limit = static_cast<std::int16_t>(out.limit_set ? end_ - out.buffer : 0);
  }

 private:
  void start_chunk() {
    OutputStream& out = g_streams.output;
    at_ = end_ = out.buffer;
    if (out.flushed >= original_size_ || out.failed) return;
    end_ += chunk_limit_for(out.flushed, original_size_);
  }

  void chunk_full() {
    g_streams.output.bytes_held = static_cast<std::int16_t>(at_ - g_streams.output.buffer);
    flush_output(target_);
    start_chunk();
  }

  const Target& target_;
  const std::uint32_t original_size_;
  unsigned char* at_;
  unsigned char* end_;
};

}  // namespace decode
