#include "decode/symbol_decoder.hpp"

#include <cstring>

#include "decode/symbol_tree.hpp"
#include "decode/tree_ops.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace decode {

SymbolDecoder g_symbols;

namespace {

void invalidate_table() {
  for (TableEntry& e : g_symbols.table) e.valid = false;
  std::memset(g_symbols.reliance, 0, sizeof g_symbols.reliance);
}

void rely_on(int node, unsigned prefix, int bits) {
  g_symbols.reliance[node] =
      Reliance{static_cast<std::uint16_t>(prefix), static_cast<std::uint8_t>(bits), true};
}

// The node's child entry changed: the entries below its code are stale. A node whose
// subtree moved may keep an old code; invalidating by it then costs a refill, no error.
void invalidate_below(std::size_t node) {
  Reliance& r = g_symbols.reliance[node];
  if (!r.relied_on) return;
  r.relied_on = false;
  const int spare_bits = kTableBits - r.bits;
  const unsigned first = static_cast<unsigned>(r.prefix) << spare_bits;
  for (unsigned i = 0; i < (1u << spare_bits); ++i) g_symbols.table[first + i].valid = false;
}

// The last node from `first` on whose weight is below k, comparing sixteen weights at a time
// where the instruction set allows.
int find_last_below(int first, unsigned k) {
  const Tree& t = g_symbols.tree;
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
  --first;  // tree_last_below looks on from the node after first
#endif
  return tree_last_below(t, first, k);
}

// The symbol that makes the root weight reach the limit is decoded with the tree as it
// is; the tree is rebuilt before it is counted.
int decode_then_rebuild(BitReader& bits) {
  Tree& t = g_symbols.tree;
  int x = t.child[kRoot];
  while (x < kLeafBase) x = t.child[x + static_cast<int>(bits.read_bit())];
  tree_rebuild(t);
  invalidate_table();
  count_from(t.parent[x]);
  return x - kLeafBase;
}

}  // namespace

void fill_entry(TableEntry& e, unsigned index) {
  const Tree& t = g_symbols.tree;
  int x = t.child[kRoot];
  int length = 0;
  while (length < kTableBits && x < kLeafBase) {
    const unsigned prefix = index >> (kTableBits - 1 - length);
    const int node = x + static_cast<int>(prefix & 1u);
    e.path[length++] = static_cast<std::uint16_t>(node);
    rely_on(node, prefix, length);
    x = t.child[node];
  }
  e.length = static_cast<std::uint8_t>(length);
  e.next = static_cast<std::uint16_t>(x);
  e.valid = true;
}

std::size_t exchange(std::size_t x) {
  const int node = static_cast<int>(x);
  const int l = find_last_below(node + 1, g_symbols.tree.weight[x]);
  tree_exchange_with(g_symbols.tree, node, l);
  invalidate_below(x);
  invalidate_below(static_cast<std::size_t>(l));
  return static_cast<std::size_t>(l);
}

void count_from(std::size_t x) {
  Tree& t = g_symbols.tree;
  do {
    const std::uint16_t k = ++t.weight[x];
    if (k > t.weight[x + 1]) x = exchange(x);
    x = t.parent[x];
  } while (x != 0);
}

void symbol_decoder_reset_process_state() {
  std::memset(&g_symbols, 0, sizeof g_symbols);
}

void symbol_decoder_start() {
  tree_init(g_symbols.tree);
  g_symbols.path[0] = kRoot;
  invalidate_table();
}

int decode_and_count_symbol(BitReader& bits) {
  const Tree& t = g_symbols.tree;
  if (t.weight[kRoot] == kRebuildLimit) return decode_then_rebuild(bits);
  // Topping up every time costs less than a branch on the bit count that mispredicts.
  bits.refill_free();
  int depth = 0;
  // Taking the table's bits at once reads no later than bit by bit would.
  const int leaf = bits.count < kTableBits + 8 ? walk_to_leaf(bits, t.child[kRoot], depth)
                                               : walk_from_table(bits, depth);
  count_path(depth);
  return leaf - kLeafBase;
}

}  // namespace decode
