// Finds matches in the 4 KB window with a binary tree per 3-byte hash, newest string at
// the root. Walking down from the root meets strings from newest to oldest, so each longer
// match found is the nearest one of its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/encoder/symbol_coder.hpp"

namespace encoder {

struct Match {
  int length;
  int distance;
};

class MatchFinder {
 public:
  // `text` is the whole history the decoder sees: what its ring holds before the first byte,
  // then the input. `max_depth` bounds the nodes visited per position.
  MatchFinder(const std::uint8_t* text, std::size_t size, int max_depth);

  // Inserts position `pos` and stores in `out` its matches of rising length, each at the
  // nearest distance for that length; returns how many (at most kMaxMatch - kMinMatch + 1).
  // Positions must be visited in rising order, each once, through find or skip.
  int find(std::size_t pos, Match* out);
  // Inserts position `pos` without collecting matches.
  void skip(std::size_t pos);

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  static constexpr std::uint32_t kCycle = 2 * kMaxDistance;  // slots outlive the window
  static constexpr int kHashBits = 16;

  std::uint32_t hash(std::size_t pos) const;
  int insert(std::size_t pos, Match* out);

  const std::uint8_t* text_;
  std::size_t size_;
  int max_depth_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> children_;  // two per slot: smaller, then greater strings
};

}  // namespace encoder
