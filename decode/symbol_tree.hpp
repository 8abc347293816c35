// The symbol decoder's state and the operations its per-symbol path and the decoder's bulk
// loop share: the code tree, a lookup table for its top levels, and the count of a decoded
// symbol's path.
//
// The top kTableBits levels of the tree are looked up in a table instead of walked bit by
// bit. A table entry is kept until a node whose child entry it relies on is exchanged, or
// the tree is rebuilt. The walk down records the symbol's path, so its count needs no parent
// lookups until an exchange leads off the path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "decode/model.hpp"

namespace decode {

constexpr int kTableBits = 6;

using Tree = Model;

struct TableEntry {
  std::uint16_t path[kTableBits];  // nodes below the root as the walk meets them
  std::uint16_t next;              // child entry of the path's last node (kLeafBase + s: leaf)
  std::uint8_t length;             // bits taken, one per node of the path
  bool valid;
};

// Which table entries rely on a node's child entry: those whose first `bits` bits are
// `prefix`, the code of the node. Kept for the nodes that a valid entry walked through.
struct Reliance {
  std::uint16_t prefix;
  std::uint8_t bits;
  bool relied_on;
};

struct SymbolDecoder {
  Tree tree;
  TableEntry table[1 << kTableBits];
  Reliance reliance[kNodes];
  std::uint16_t path[kNodes + 1];  // the root, then the decoded symbol's path below it
};
extern SymbolDecoder g_symbols;

// Fills a table entry that a node exchange or a rebuild made stale.
void fill_entry(TableEntry& e, unsigned index);

// Node x, counted, has outgrown node x + 1: exchanges it; returns where x's subtree is now.
std::size_t exchange(std::size_t x);

// Counts node x and every node above it, each next one found through the parent table.
void count_from(std::size_t x);

inline const TableEntry& table_entry(unsigned index) {
  TableEntry& e = g_symbols.table[index];
  if (!e.valid) fill_entry(e, index);
  return e;
}

// Walks on bit by bit from child entry x to a leaf, recording the path after path[depth].
// Returns the leaf's child entry, kLeafBase + symbol.
template <class Bits>
int walk_to_leaf(Bits& bits, int x, int& depth) {
  const Tree& t = g_symbols.tree;
  int d = depth;
  while (x < kLeafBase) {
    const int node = x + static_cast<int>(bits.read_bit());
    g_symbols.path[++d] = static_cast<std::uint16_t>(node);
    x = t.child[node];
  }
  depth = d;
  return x;
}

// Starts the walk with the table's part of the path; returns the child entry reached and
// the bits the table took.
template <class Bits>
int walk_from_table(Bits& bits, int& depth) {
  const TableEntry& e = table_entry(bits.peek(kTableBits));
  bits.take(e.length);
  std::memcpy(g_symbols.path + 1, e.path, sizeof e.path);
  depth = e.length;
  return walk_to_leaf(bits, e.next, depth);
}

// Counts the recorded path bottom-up, following it while exchanges keep each node's parent.
// Unsigned indices need no widening between loads.
inline void count_path(int depth) {
  Tree& t = g_symbols.tree;
  for (std::size_t i = static_cast<std::size_t>(depth); i > 0; --i) {
    const std::size_t x = g_symbols.path[i];
    const std::uint16_t k = ++t.weight[x];
    if (k <= t.weight[x + 1]) continue;
    const std::size_t above = t.parent[exchange(x)];
    if (above != g_symbols.path[i - 1]) {
      count_from(above);
      return;
    }
  }
  ++t.weight[kRoot];
}

}  // namespace decode
