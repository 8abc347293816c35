#include "tools/encoder/match_finder.hpp"

#include <algorithm>

namespace encoder {

MatchFinder::MatchFinder(const std::uint8_t* text, std::size_t size, int max_depth)
    : text_(text),
      size_(size),
      max_depth_(max_depth),
      head_(std::size_t{1} << kHashBits, kNone),
      children_(2 * kCycle, kNone) {}

std::uint32_t MatchFinder::hash(std::size_t pos) const {
  const std::uint32_t key = text_[pos] | (text_[pos + 1] << 8) | (text_[pos + 2] << 16);
  return (key * 2654435761u) >> (32 - kHashBits);
}

int MatchFinder::find(std::size_t pos, Match* out) {
  return insert(pos, out);
}

void MatchFinder::skip(std::size_t pos) {
  insert(pos, nullptr);
}

// Splits the tree of the position's hash around the new string, which becomes the root;
// the strings compared on the way are the match candidates.
int MatchFinder::insert(std::size_t pos, Match* out) {
  const std::size_t limit = std::min<std::size_t>(kMaxMatch, size_ - pos);
  if (limit < static_cast<std::size_t>(kMinMatch)) return 0;
  const std::uint8_t* cur = text_ + pos;
  const std::uint32_t h = hash(pos);
  std::uint32_t candidate = head_[h];
  head_[h] = static_cast<std::uint32_t>(pos);

  std::uint32_t* smaller = &children_[2 * (pos % kCycle)];  // where the next smaller string goes
  std::uint32_t* greater = smaller + 1;
  std::size_t smaller_len = 0, greater_len = 0;  // prefix known shared with each side
  std::size_t best = kMinMatch - 1;
  int found = 0;
  for (int depth = max_depth_;; --depth) {
    if (candidate == kNone || pos - candidate > static_cast<std::size_t>(kMaxDistance) ||
        depth == 0) {
      *smaller = *greater = kNone;
      return found;
    }
    std::uint32_t* pair = &children_[2 * (candidate % kCycle)];
    const std::uint8_t* old = text_ + candidate;
    std::size_t len = std::min(smaller_len, greater_len);
    while (len < limit && old[len] == cur[len]) ++len;
    if (len > best) {
      best = len;
      if (out) out[found] = {static_cast<int>(len), static_cast<int>(pos - candidate)};
      ++found;
    }
    if (len == limit) {
      // Same string as far as it can be compared: the new node takes over its subtrees.
      *smaller = pair[0];
      *greater = pair[1];
      return found;
    }
    if (old[len] < cur[len]) {
      *smaller = candidate;
      smaller = pair + 1;
      candidate = *smaller;
      smaller_len = len;
    } else {
      *greater = candidate;
      greater = pair;
      candidate = *greater;
      greater_len = len;
    }
  }
}

}  // namespace encoder
