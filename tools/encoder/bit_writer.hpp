// Collects bits most significant first into whole bytes, kept until finish() or, given a
// sink, handed to it a chunk at a time as they fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace encoder {

// Takes a chunk of finished stream bytes; may throw to stop the encoding.
using ByteSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

class BitWriter {
 public:
  static constexpr std::size_t kSinkChunk = std::size_t{1} << 20;

  BitWriter() = default;
  explicit BitWriter(ByteSink sink) : sink_(std::move(sink)), drain_at_(kSinkChunk) {
    bytes_.reserve(kSinkChunk);
  }

  // Appends the low `count` bits of `bits`, highest first; count may be 0 to 32.
  void put(std::uint32_t bits, int count) {
    pending_ = (pending_ << count) | (bits & ((std::uint64_t{1} << count) - 1));
    pending_count_ += count;
    while (pending_count_ >= 8) {
      pending_count_ -= 8;
      bytes_.push_back(static_cast<std::uint8_t>(pending_ >> pending_count_));
      if (bytes_.size() == drain_at_) drain();
    }
  }

  // Pads the last byte with zero bits and hands over the bytes written: all of them, or
  // with a sink, none, as the sink has had them.
  std::vector<std::uint8_t> finish() {
    if (pending_count_ > 0) put(0, 8 - pending_count_);
    if (sink_) drain();
    return std::move(bytes_);
  }

  std::size_t bytes_written() const { return drained_ + bytes_.size(); }

 private:
  void drain() {
    sink_(bytes_.data(), bytes_.size());
    drained_ += bytes_.size();
    bytes_.clear();
  }

  ByteSink sink_;  // empty: every byte stays in bytes_
  std::size_t drain_at_ = std::numeric_limits<std::size_t>::max();  // bytes_ size that drains
  std::size_t drained_ = 0;  // bytes handed to the sink so far
  std::vector<std::uint8_t> bytes_;
  std::uint64_t pending_ = 0;  // only the low pending_count_ bits (< 8 between calls) matter
  int pending_count_ = 0;
};

}  // namespace encoder
