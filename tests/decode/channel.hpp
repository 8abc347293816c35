// Test plumbing shared by the decoder tests and the benchmark: a source of stored bytes
// and a sink that record every read and write size, with injectable short reads and
// failing writes, and one call that runs either decoder over them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "decode/decoder.hpp"
#include "reference_decoder.hpp"

namespace testsupport {

struct IoEvent {
  char kind;         // 'r' read asked for, 'w' write handed over
  std::size_t size;  // bytes asked for / handed over
  bool operator==(const IoEvent& o) const { return kind == o.kind && size == o.size; }
};

struct Channel {
  std::vector<std::uint8_t> stored;    // what the source holds
  std::vector<std::size_t> read_caps;  // at most this many delivered by read n (if given)
  int failing_write = -1;              // this write (0-based) is refused
  bool record = true;                  // keep events and output

  std::size_t next = 0;
  int reads = 0;
  int writes = 0;
  std::vector<IoEvent> events;
  std::vector<std::uint8_t> output;

  static std::size_t read(void* context, unsigned char* buffer, std::size_t size) {
    Channel& c = *static_cast<Channel*>(context);
    std::size_t n = size;
    const std::size_t index = static_cast<std::size_t>(c.reads++);
    if (index < c.read_caps.size() && c.read_caps[index] < n) n = c.read_caps[index];
    if (c.stored.size() - c.next < n) n = c.stored.size() - c.next;
    if (n > 0) std::memcpy(buffer, c.stored.data() + c.next, n);
    c.next += n;
    if (c.record) c.events.push_back({'r', size});
    return n;
  }

  static bool write(void* context, const unsigned char* data, std::size_t size) {
    Channel& c = *static_cast<Channel*>(context);
    if (c.record) c.events.push_back({'w', size});
    if (c.writes++ == c.failing_write) return false;
    if (c.record) c.output.insert(c.output.end(), data, data + size);
    return true;
  }
};

// The shipped decoder as a speed build runs it, the same with every symbol taken through
// the per-symbol path (as the installer stub, built for size, runs it), and the reference.
enum class Implementation { shipped, shipped_per_symbol, reference };

// Runs one entry through the chosen decoder; returns its result.
inline std::int32_t run_decoder(Implementation which, Channel& channel, std::uint32_t stored_size,
                                std::uint32_t original_size) {
  if (which != Implementation::reference) {
    decode::decoder_use_bulk_loop(which == Implementation::shipped);
    const std::int32_t result = decode::decode_from_reader(
        Channel::read, &channel, {stored_size, original_size}, Channel::write, &channel);
    decode::decoder_use_bulk_loop(true);
    return result;
  }
  return reference::decode(Channel::read, &channel, Channel::write, &channel, stored_size,
                           original_size);
}

}  // namespace testsupport
