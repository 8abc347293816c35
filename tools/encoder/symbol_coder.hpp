// Writes literals and matches as the decoder reads them: symbols under the shared adaptive
// model, match positions under the fixed position code.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/model.hpp"
#include "tools/encoder/bit_writer.hpp"

namespace encoder {

constexpr int kMinMatch = decode::kThreshold + 1;  // 3
constexpr int kMaxMatch = decode::kMaxMatch;       // 30
constexpr int kMaxDistance = decode::kRingSize;    // a match copies from 1 to 4096 bytes back
constexpr int kMatchSymbolBase = 256 - kMinMatch;  // symbol of a match = base + length

// The code of one match position's upper 6 bits.
struct PositionCode {
  std::uint8_t bits;
  std::uint8_t length;  // 3 to 8
};

// The position code for upper value u (0 to 63).
PositionCode position_code(int upper);

// Stream bits spent on a match's position (code plus the 6 lower bits).
inline int distance_bits(int distance) {
  return position_code((distance - 1) >> 6).length + 6;
}

// Code length of a symbol under `model`: its leaf's depth in the tree.
int symbol_depth(const decode::Model& model, int symbol);

class SymbolCoder {
 public:
  // With a sink, the stream goes to it as it grows rather than staying for finish().
  explicit SymbolCoder(ByteSink sink = {});

  void put_literal(std::uint8_t byte) {
    put_symbol(byte);
    ++bytes_in_;
  }
  // `distance` counts back from the next byte to write: 1 repeats the last byte.
  void put_match(int length, int distance);

  // Current code length of a symbol: its leaf's depth in the live tree.
  int symbol_bits(int symbol) const { return symbol_depth(model_, symbol); }
  int literal_bits(std::uint8_t byte) const { return symbol_bits(byte); }
  int match_bits(int length, int distance) const {
    return symbol_bits(kMatchSymbolBase + length) + distance_bits(distance);
  }
  // Code lengths of every symbol at once, for pricing many choices against one tree.
  void all_symbol_bits(int (&bits)[decode::kSymbols]) const;

  // The live model, for pricing choices on copies of it.
  const decode::Model& model() const { return model_; }

  std::vector<std::uint8_t> finish() { return out_.finish(); }

  std::size_t bytes_in() const { return bytes_in_; }  // input bytes coded so far
  std::size_t bytes_written() const { return out_.bytes_written(); }

 private:
  void put_symbol(int symbol);

  decode::Model model_;
  BitWriter out_;
  std::size_t bytes_in_ = 0;
};

}  // namespace encoder
