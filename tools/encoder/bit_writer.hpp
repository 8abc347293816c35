// Collects bits most significant first into whole bytes.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace encoder {

class BitWriter {
 public:
  // Appends the low `count` bits of `bits`, highest first; count may be 0 to 32.
  void put(std::uint32_t bits, int count) {
    pending_ = (pending_ << count) | (bits & ((std::uint64_t{1} << count) - 1));
    pending_count_ += count;
    while (pending_count_ >= 8) {
      pending_count_ -= 8;
      bytes_.push_back(static_cast<std::uint8_t>(pending_ >> pending_count_));
    }
  }

  // Pads the last byte with zero bits and hands over the bytes written.
  std::vector<std::uint8_t> finish() {
    if (pending_count_ > 0) put(0, 8 - pending_count_);
    return std::move(bytes_);
  }

  std::size_t bytes_written() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t pending_ = 0;  // only the low pending_count_ bits (< 8 between calls) matter
  int pending_count_ = 0;
};

}  // namespace encoder
