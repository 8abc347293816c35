#include "decode/streams.hpp"

#include <cstring>

namespace decode {

Streams g_streams;

const char* const kWriteErrorText = "Write error in function WritePtr()";

void reset_input_stream() {
  InputStream& in = g_streams.input;
  std::memset(in.buffer, 0, sizeof in.buffer);
  in.bytes_left = 0;
  in.read_index = 0;
}

void reset_output_stream() {
  OutputStream& out = g_streams.output;
  std::memset(out.buffer, 0, sizeof out.buffer);
  out.bytes_held = 0;
  out.chunk_limit = 0;
  out.limit_set = 0;
  out.flushed = 0;
  out.failed = false;
}

int ReadPtr(const Source& source, std::uint32_t stored_left) {
  InputStream& in = g_streams.input;
  if (in.bytes_left < 1) {
    const std::uint32_t ask = stored_left < kStreamBlock ? stored_left : kStreamBlock;
    in.bytes_left = static_cast<std::int16_t>(source.read(source.context, in.buffer, ask));
    in.read_index = 0;
  }
  --in.bytes_left;
  return in.buffer[in.read_index++];
}

bool flush_output(const Target& target) {
  OutputStream& out = g_streams.output;
  const std::size_t held = static_cast<std::size_t>(out.bytes_held);
  if (!target.write(target.context, out.buffer, held)) {
    out.failed = true;
    g_streams.last_error = kWriteErrorText;
    return false;
  }
  out.flushed += static_cast<std::uint32_t>(held);
  out.bytes_held = 0;
  out.limit_set = 0;
  return true;
}

void write_bytes(const Target& target, const unsigned char* data, std::size_t size,
                 std::uint32_t original_size) {
  OutputStream& out = g_streams.output;
  while (size > 0) {
    if (out.flushed >= original_size || out.failed) return;
    if (!out.limit_set) {
      out.chunk_limit = chunk_limit_for(out.flushed, original_size);
      out.limit_set = 1;
    }
    const std::size_t room = static_cast<std::size_t>(out.chunk_limit - out.bytes_held);
    const std::size_t take = size < room ? size : room;
    std::memcpy(out.buffer + out.bytes_held, data, take);
    out.bytes_held = static_cast<std::int16_t>(out.bytes_held + take);
    data += take;
    size -= take;
    if (out.bytes_held >= out.chunk_limit) flush_output(target);
  }
}

}  // namespace decode
