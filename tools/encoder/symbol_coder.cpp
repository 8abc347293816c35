#include "tools/encoder/symbol_coder.hpp"

#include <array>
#include <utility>

#include "decode/position_code.hpp"

namespace encoder {
namespace {

// The decoder reads 8 bits and looks up the upper value and its code length L; the code
// of u is the top L bits of any byte value that maps to u.
std::array<PositionCode, 64> build_position_codes() {
  std::array<PositionCode, 64> codes{};
  for (int byte = 255; byte >= 0; --byte) {
    const decode::PositionCode& entry = decode::kPositionCodes.entry[byte];
    codes[entry.upper].bits = static_cast<std::uint8_t>(byte >> (8 - entry.length));
    codes[entry.upper].length = entry.length;
  }
  return codes;
}

const std::array<PositionCode, 64> kPositionCodes = build_position_codes();

}  // namespace

PositionCode position_code(int upper) {
  return kPositionCodes[upper & 63];
}

SymbolCoder::SymbolCoder(ByteSink sink) : out_(std::move(sink)) {
  decode::model_init(model_);
}

void SymbolCoder::put_symbol(int symbol) {
  // Bits are gathered from the leaf up, so the first one found is the last one sent.
  // Leaf depths reach past 16 under skewed weights; a 64-bit gatherer has ample room.
  std::uint64_t code = 0;
  int length = 0;
  for (int node = model_.parent[decode::kLeafBase + symbol]; node != decode::kRoot;) {
    const int up = model_.parent[node];
    if (node != model_.child[up]) code |= std::uint64_t{1} << length;
    ++length;
    node = up;
  }
  if (length > 32) {
    out_.put(static_cast<std::uint32_t>(code >> 32), length - 32);
    length = 32;
  }
  out_.put(static_cast<std::uint32_t>(code), length);
  decode::model_update(model_, symbol);
}

void SymbolCoder::put_match(int length, int distance) {
  put_symbol(kMatchSymbolBase + length);
  bytes_in_ += static_cast<std::size_t>(length);
  const int position = distance - 1;
  const PositionCode code = position_code(position >> 6);
  out_.put(code.bits, code.length);
  out_.put(static_cast<std::uint32_t>(position & 63), 6);
}

int symbol_depth(const decode::Model& model, int symbol) {
  int depth = 0;
  for (int node = model.parent[decode::kLeafBase + symbol]; node != decode::kRoot;) {
    node = model.parent[node];
    ++depth;
  }
  return depth;
}

void SymbolCoder::all_symbol_bits(int (&bits)[decode::kSymbols]) const {
  // Depth of every node, from the root down; a node's parent always has a higher number.
  int depth[decode::kNodes];
  depth[decode::kRoot] = 0;
  for (int node = decode::kRoot; node >= 0; --node) {
    const int c = model_.child[node];
    if (c >= decode::kLeafBase) {
      bits[c - decode::kLeafBase] = depth[node];
    } else {
      depth[c] = depth[c + 1] = depth[node] + 1;
    }
  }
}

}  // namespace encoder
