// The steps of counting a symbol in the code tree that the model's own update and the
// symbol decoder share; the decoder brings its own way to find and make an exchange.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/model.hpp"

namespace decode {

// The last node from `first` on whose weight is below k, given weight[first] < k. Most
// runs of equal weights are short and stepped through; long ones (early in an entry most
// leaves weigh 1) are crossed by galloping ahead, then halving the gap.
inline int last_below(const Model& m, int first, unsigned k) {
  int below = first;
  for (int n = 0; n < 8; ++n, ++below) {
    if (m.weight[below + 1] >= k) return below;
  }
  int at_or_above = below + 1;
  for (int step = 1; at_or_above < kNodes && m.weight[at_or_above] < k; step <<= 1) {
    below = at_or_above;
    at_or_above = below + step;
    if (at_or_above > kNodes) at_or_above = kNodes;  // the sentinel outweighs every node
  }
  while (at_or_above - below > 1) {
    const int middle = below + (at_or_above - below) / 2;
    if (m.weight[middle] < k) {
      below = middle;
    } else {
      at_or_above = middle;
    }
  }
  return below;
}

// Exchanges node x, just counted to a weight above node x + 1's, with node l, the last
// node whose weight is still below x's, so the weights stay ordered. x's subtree moves to l.
inline void exchange_with(Model& m, int x, int l) {
  const std::uint16_t k = m.weight[x];
  m.weight[x] = m.weight[l];
  m.weight[l] = k;
  // A leaf has one parent entry, an inner node's two children two: writing entry
  // i + (i is inner) covers both without a branch that mispredicts half the time.
  const int i = m.child[x];
  m.parent[i] = static_cast<std::uint16_t>(l);
  m.parent[i + (i < kLeafBase)] = static_cast<std::uint16_t>(l);
  const int j = m.child[l];
  m.child[l] = static_cast<std::uint16_t>(i);
  m.parent[j] = static_cast<std::uint16_t>(x);
  m.parent[j + (j < kLeafBase)] = static_cast<std::uint16_t>(x);
  m.child[x] = static_cast<std::uint16_t>(j);
}

// Counts node x and every node above it. A node that outgrows node x + 1 is handed to
// `exchange`, which moves it on (exchange_with) and returns where its subtree is now.
// Unsigned indices need no widening between loads.
template <class Exchange>
inline void count_up_from(Model& m, std::size_t x, Exchange exchange) {
  do {
    const std::uint16_t k = ++m.weight[x];
    if (k > m.weight[x + 1]) x = exchange(x);
    x = m.parent[x];
  } while (x != 0);
}

}  // namespace decode
