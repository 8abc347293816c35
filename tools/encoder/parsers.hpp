// The two ways of cutting the input into literals and matches.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/encoder/symbol_coder.hpp"

namespace encoder {

// The input as the decoder's ring sees it: `text[0, start)` is the space fill that the
// ring holds before the first byte, `text[start, size)` the input itself.
struct History {
  const std::uint8_t* text;
  std::size_t start;
  std::size_t size;
};

struct LazySettings {
  int max_depth;  // tree nodes visited per position
  bool lazy;      // look one byte ahead before taking a match
};

// Takes the longest match at each position (or, when lazy, the next position's if longer);
// matches that cost more bits than their bytes as literals are dropped.
void parse_lazy(const History& history, const LazySettings& settings, SymbolCoder& coder);

struct OptimalSettings {
  int max_depth;
  std::size_t block;  // bytes parsed before the cheapest path through them is fixed
};

// Cheapest path through each block, every step priced under the model that the path so far
// would leave. Returns the bits the chosen steps were priced at, which is what coding them took.
std::uint64_t parse_optimal(const History& history, const OptimalSettings& settings,
                            SymbolCoder& coder);

}  // namespace encoder
