// The operations of the adaptive code tree, for any table layout that keeps the tree as
// Model does: weight[] (node weights in non-decreasing order, then the 0xFFFF sentinel),
// child[] and parent[].
#pragma once

#include <cstdint>
#include <cstring>

#include "decode/model.hpp"

namespace decode {

template <class Tree>
void tree_init(Tree& t) {
  for (int s = 0; s < kSymbols; ++s) {
    t.weight[s] = 1;
    t.child[s] = static_cast<std::uint16_t>(kLeafBase + s);
    t.parent[kLeafBase + s] = static_cast<std::uint16_t>(s);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    t.weight[j] = static_cast<std::uint16_t>(t.weight[i] + t.weight[i + 1]);
    t.child[j] = static_cast<std::uint16_t>(i);
    t.parent[i] = t.parent[i + 1] = static_cast<std::uint16_t>(j);
  }
  t.weight[kNodes] = 0xFFFF;
  t.parent[kRoot] = 0;
}

template <class Tree>
void tree_rebuild(Tree& t) {
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (t.child[i] >= kLeafBase) {
      t.weight[j] = static_cast<std::uint16_t>((t.weight[i] + 1) / 2);
      t.child[j] = t.child[i];
      ++j;
    }
  }
  for (int i = 0, k = kSymbols; k < kNodes; i += 2, ++k) {
    const unsigned f = t.weight[i] + t.weight[i + 1];
    t.weight[k] = static_cast<std::uint16_t>(f);
    int p = k - 1;
    while (f < t.weight[p]) --p;
    ++p;
    const std::size_t moved = static_cast<std::size_t>(k - p);
    std::memmove(&t.weight[p + 1], &t.weight[p], moved * sizeof t.weight[0]);
    std::memmove(&t.child[p + 1], &t.child[p], moved * sizeof t.child[0]);
    t.weight[p] = static_cast<std::uint16_t>(f);
    t.child[p] = static_cast<std::uint16_t>(i);
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = t.child[i];
    if (k >= kLeafBase) {
      t.parent[k] = static_cast<std::uint16_t>(i);
    } else {
      t.parent[k] = t.parent[k + 1] = static_cast<std::uint16_t>(i);
    }
  }
}

// The last node from `first` on whose weight is below k, given weight[first] < k, for runs
// of equal weights too long to step through: gallops ahead, then halves the gap.
template <class Tree>
int tree_last_below_far(const Tree& t, int first, unsigned k) {
  int below = first;
  int at_or_above = first + 1;
  for (int step = 1; at_or_above < kNodes && t.weight[at_or_above] < k; step <<= 1) {
    below = at_or_above;
    at_or_above = below + step;
    if (at_or_above > kNodes) at_or_above = kNodes;  // the sentinel outweighs every node
  }
  while (at_or_above - below > 1) {
    const int middle = below + (at_or_above - below) / 2;
    if (t.weight[middle] < k) {
      below = middle;
    } else {
      at_or_above = middle;
    }
  }
  return below;
}

template <class Tree>
int tree_last_below(const Tree& t, int first, unsigned k) {
  for (int n = 0; n < 8; ++n, ++first) {
    if (t.weight[first + 1] >= k) return first;
  }
  return tree_last_below_far(t, first, k);
}

// Exchanges node x, just counted to a weight above node x + 1's, with node l, the last
// node whose weight is still below x's, so the weights stay ordered. x's subtree moves to l.
template <class Tree>
void tree_exchange_with(Tree& t, int x, int l) {
  const std::uint16_t k = t.weight[x];
  t.weight[x] = t.weight[l];
  t.weight[l] = k;
  // A leaf has one parent entry, an inner node's two children two: writing entry
  // i + (i is inner) covers both without a branch that mispredicts half the time.
  const int i = t.child[x];
  t.parent[i] = static_cast<std::uint16_t>(l);
  t.parent[i + (i < kLeafBase)] = static_cast<std::uint16_t>(l);
  const int j = t.child[l];
  t.child[l] = static_cast<std::uint16_t>(i);
  t.parent[j] = static_cast<std::uint16_t>(x);
  t.parent[j + (j < kLeafBase)] = static_cast<std::uint16_t>(x);
  t.child[x] = static_cast<std::uint16_t>(j);
}

}  // namespace decode
