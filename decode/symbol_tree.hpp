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
#include "decode/tree_ops.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace decode {

constexpr int kTableBits = 6;

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
  Model tree;
  TableEntry table[1 << kTableBits];
  Reliance reliance[kNodes];
  std::uint16_t path[kNodes + 1];  // the root, then the decoded symbol's path below it
};
extern SymbolDecoder g_symbols;

// Fills a table entry that a node exchange or a rebuild made stale.
void fill_entry(TableEntry& e, unsigned index);

// The node's child entry changed: the entries below its code are stale. A node whose
// subtree moved may keep an old code; invalidating by it then costs a refill, no error.
inline void invalidate_below(std::size_t node) {
  Reliance& r = g_symbols.reliance[node];
  if (!r.relied_on) return;
  r.relied_on = false;
  const int spare_bits = kTableBits - r.bits;
  const unsigned first = static_cast<unsigned>(r.prefix) << spare_bits;
  for (unsigned i = 0; i < (1u << spare_bits); ++i) g_symbols.table[first + i].valid = false;
}

// The last node from `first` on whose weight is below k, comparing sixteen weights at a time
// where the instruction set allows.
inline int find_last_below(int first, unsigned k) {
  const Model& t = g_symbols.tree;
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi16(static_cast<short>(k));
  const __m128i zero = _mm_setzero_si128();
  for (; first + 16 <= kNodes + 1; first += 16) {
    const __m128i* at = reinterpret_cast<const __m128i*>(t.weight + first);
    const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(limit, _mm_loadu_si128(at)), zero);
    const __m128i high = _mm_cmpeq_epi16(_mm_subs_epu16(limit, _mm_loadu_si128(at + 1)), zero);
    // One mask bit per weight that has reached k.
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
    if (mask != 0) return first + static_cast<int>(__builtin_ctz(mask)) - 1;
  }
  --first;  // last_below looks on from the node after first
#endif
  return last_below(t, first, k);
}

// Node x, counted, has outgrown node x + 1: exchanges it; returns where x's subtree is now.
inline std::size_t exchange(std::size_t x) {
  const int node = static_cast<int>(x);
  const int l = find_last_below(node + 1, g_symbols.tree.weight[x]);
  exchange_with(g_symbols.tree, node, l);
  invalidate_below(x);
  invalidate_below(static_cast<std::size_t>(l));
  return static_cast<std::size_t>(l);
}

// Counts node x and every node above it, each next one found through the parent table.
inline void count_from(std::size_t x) {
  count_up_from(g_symbols.tree, x, [](std::size_t n) { return exchange(n); });
}

inline const TableEntry& table_entry(unsigned index) {
  TableEntry& e = g_symbols.table[index];
  if (!e.valid) fill_entry(e, index);
  return e;
}

// Walks on bit by bit from child entry x to a leaf, recording the path after path[depth].
// Returns the leaf's child entry, kLeafBase + symbol.
template <class Bits>
int walk_to_leaf(Bits& bits, int x, int& depth) {
  const Model& t = g_symbols.tree;
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
  Model& t = g_symbols.tree;
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
