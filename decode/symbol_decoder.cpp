#include "decode/symbol_decoder.hpp"

#include <cstring>

#include "decode/tree_ops.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace decode {
namespace {

constexpr int kTableBits = 6;
constexpr int kSpareSlot = kNodes + 1;  // the first of kTableBits weight slots after the sentinel

// The decoder's tree: Model's layout with spare weight slots after the sentinel, which pad
// a short table path to kTableBits nodes so that part is counted without a loop.
struct Tree {
  std::uint16_t weight[kSpareSlot + kTableBits + 1];
  std::uint16_t child[kNodes];
  std::uint16_t parent[kNodes + kSymbols];
};

struct TableEntry {
  std::uint16_t path[kTableBits];  // nodes below the root as the walk meets them, then spares
  std::uint16_t next;              // the symbol, or the first child of the last node of the path
  std::uint16_t real_nodes;        // one bit per path slot that holds a node: (1 << length) - 1
  std::uint8_t length;             // bits taken, one per node of the path
  std::uint8_t reached_leaf;
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
  std::uint16_t path[kNodes];  // the symbol's path below the root
};
SymbolDecoder g_dec;

void invalidate_table() {
  for (TableEntry& e : g_dec.table) e.valid = false;
  std::memset(g_dec.reliance, 0, sizeof g_dec.reliance);
}

void rely_on(int node, unsigned prefix, int bits) {
  g_dec.reliance[node] =
      Reliance{static_cast<std::uint16_t>(prefix), static_cast<std::uint8_t>(bits), true};
}

// The node's child entry changed: the entries below its code are stale. A node whose
// subtree moved may keep an old code; invalidating by it then costs a refill, no error.
void invalidate_below(int node) {
  Reliance& r = g_dec.reliance[node];
  if (!r.relied_on) return;
  r.relied_on = false;
  const int spare_bits = kTableBits - r.bits;
  const unsigned first = static_cast<unsigned>(r.prefix) << spare_bits;
  for (unsigned i = 0; i < (1u << spare_bits); ++i) g_dec.table[first + i].valid = false;
}

void fill_entry(TableEntry& e, unsigned index) {
  const Tree& t = g_dec.tree;
  int x = t.child[kRoot];
  int length = 0;
  while (length < kTableBits && x < kLeafBase) {
    const unsigned prefix = index >> (kTableBits - 1 - length);
    const int node = x + static_cast<int>(prefix & 1u);
    e.path[length++] = static_cast<std::uint16_t>(node);
    rely_on(node, prefix, length);
    x = t.child[node];
  }
  for (int i = length; i < kTableBits; ++i) e.path[i] = static_cast<std::uint16_t>(kSpareSlot + i);
  e.real_nodes = static_cast<std::uint16_t>((1u << length) - 1);
  e.length = static_cast<std::uint8_t>(length);
  e.reached_leaf = x >= kLeafBase;
  e.next = static_cast<std::uint16_t>(x >= kLeafBase ? x - kLeafBase : x);
  e.valid = true;
}

const TableEntry& table_entry(unsigned index) {
  TableEntry& e = g_dec.table[index];
  if (!e.valid) fill_entry(e, index);
  return e;
}

// The last node from `first` on whose weight is below k, comparing sixteen weights at a time
// where the instruction set allows.
int find_last_below(int first, unsigned k) {
  const Tree& t = g_dec.tree;
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

// Node x, counted, has outgrown node x + 1: exchanges it; returns where x's subtree is now.
int exchange(int x) {
  const int l = find_last_below(x + 1, g_dec.tree.weight[x]);
  tree_exchange_with(g_dec.tree, x, l);
  invalidate_below(x);
  invalidate_below(l);
  return l;
}

// The plain update from node x up, each next node from the parent table.
void count_from(int x) {
  Tree& t = g_dec.tree;
  do {
    const std::uint16_t k = ++t.weight[x];
    if (k > t.weight[x + 1]) x = exchange(x);
    x = t.parent[x];
  } while (x != 0);
}

// Whether counting the node would lift it past its right neighbour, which calls for an
// exchange. Nodes above it on the path are heavier, so this holds when asked top-down too.
inline unsigned outgrows_when_counted(int node) {
  const std::uint16_t* weight = g_dec.tree.weight;
  return weight[node] == weight[node + 1];
}

// Counts the path bottom-up, following it while exchanges keep the parent.
void count_path(int depth) {
  Tree& t = g_dec.tree;
  for (int i = depth - 1; i >= 0; --i) {
    const int x = g_dec.path[i];
    const std::uint16_t k = ++t.weight[x];
    if (k <= t.weight[x + 1]) continue;
    const int l = exchange(x);
    const int above = t.parent[l];
    if (above != (i > 0 ? g_dec.path[i - 1] : kRoot)) {
      count_from(above);
      return;
    }
  }
  ++t.weight[kRoot];
}

// Walks on bit by bit from the first child x, appending to the path from `depth`. `outgrows`
// is set when a node on the way will have to be exchanged.
int walk(BitReader& bits, int x, int& depth, unsigned& outgrows) {
  const Tree& t = g_dec.tree;
  int d = depth;
  unsigned any = outgrows;
  do {
    const int node = x + static_cast<int>(bits.read_bit());
    g_dec.path[d++] = static_cast<std::uint16_t>(node);
    any |= outgrows_when_counted(node);
    x = t.child[node];
  } while (x < kLeafBase);
  depth = d;
  outgrows = any;
  return x - kLeafBase;
}

// The symbol that makes the root weight reach the limit is decoded with the tree as it
// is; the tree is rebuilt before it is counted.
int decode_then_rebuild(BitReader& bits) {
  Tree& t = g_dec.tree;
  int x = t.child[kRoot];
  while (x < kLeafBase) x = t.child[x + static_cast<int>(bits.read_bit())];
  tree_rebuild(t);
  invalidate_table();
  count_from(t.parent[x]);
  return x - kLeafBase;
}

// Copies the table's path for the count; nonzero when a node on it will be exchanged.
unsigned take_table_path(const TableEntry& e) {
  std::memcpy(g_dec.path, e.path, sizeof e.path);
  unsigned outgrows = 0;
  for (int i = 0; i < kTableBits; ++i) outgrows |= outgrows_when_counted(e.path[i]) << i;
  return outgrows & e.real_nodes;
}

// Counts a path on which no node outgrows its neighbour: every weight on it goes up by one.
// The table's part is counted whole, spare slots included.
void count_plain_path(int depth) {
  std::uint16_t* weight = g_dec.tree.weight;
  for (int i = 0; i < kTableBits; ++i) ++weight[g_dec.path[i]];
  for (int i = kTableBits; i < depth; ++i) ++weight[g_dec.path[i]];
  ++weight[kRoot];
}

}  // namespace

void symbol_decoder_reset_process_state() {
  std::memset(&g_dec, 0, sizeof g_dec);
}

void symbol_decoder_start() {
  tree_init(g_dec.tree);
  invalidate_table();
}

int decode_and_count_symbol(BitReader& bits) {
  const Tree& t = g_dec.tree;
  if (t.weight[kRoot] == kRebuildLimit) return decode_then_rebuild(bits);
  // Topping up every time costs less than a branch on the bit count that mispredicts.
  bits.refill_free();
  int depth = 0;
  unsigned outgrows = 0;
  // Taking the table's bits at once reads no later than bit by bit would.
  if (bits.count < kTableBits + 8) {
    const int symbol = walk(bits, t.child[kRoot], depth, outgrows);
    count_path(depth);
    return symbol;
  }
  const TableEntry& e = table_entry(bits.peek(kTableBits));
  bits.take(e.length);
  outgrows = take_table_path(e);
  depth = e.length;
  const int symbol = e.reached_leaf ? e.next : walk(bits, e.next, depth, outgrows);
  if (outgrows != 0) {
    count_path(depth);
  } else {
    count_plain_path(depth);
  }
  return symbol;
}

}  // namespace decode
