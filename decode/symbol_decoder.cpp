#include "decode/symbol_decoder.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace decode {
namespace {

constexpr int kTableBits = 6;

struct TableEntry {
  std::uint16_t path[kTableBits];  // nodes below the root, as the walk meets them
  std::uint8_t length;             // bits taken, one per node of the path
  std::uint8_t reached_leaf;
  std::uint16_t next;  // the symbol, or the first child of the last node of the path
  bool valid;
};

// Which table entries rely on a node's child entry: those whose first `bits` bits are
// `prefix`, the code of the node. Kept for the nodes that a valid entry walked through.
struct Reliance {
  std::uint16_t prefix;
  std::uint8_t bits;
  bool relied_on;
};

struct FastTree {
  TableEntry table[1 << kTableBits];
  Reliance reliance[kNodes];
  std::uint16_t path[kNodes];  // the last symbol's path below the root
};
FastTree g_fast;

void invalidate_table() {
  std::memset(g_fast.table, 0, sizeof g_fast.table);
  std::memset(g_fast.reliance, 0, sizeof g_fast.reliance);
}

void rely_on(int node, unsigned prefix, int bits) {
  g_fast.reliance[node] =
      Reliance{static_cast<std::uint16_t>(prefix), static_cast<std::uint8_t>(bits), true};
}

// The node's child entry changed: the entries below its code are stale. A node whose
// subtree moved may keep an old code; invalidating by it then costs a refill, no error.
void invalidate_below(int node) {
  Reliance& r = g_fast.reliance[node];
  if (!r.relied_on) return;
  r.relied_on = false;
  const int spare_bits = kTableBits - r.bits;
  const unsigned first = static_cast<unsigned>(r.prefix) << spare_bits;
  for (unsigned i = 0; i < (1u << spare_bits); ++i) g_fast.table[first + i].valid = false;
}

const TableEntry& table_entry(const Model& m, unsigned index) {
  TableEntry& e = g_fast.table[index];
  if (e.valid) return e;
  rely_on(kRoot, 0, 0);
  int x = m.child[kRoot];
  int length = 0;
  while (length < kTableBits && x < kLeafBase) {
    const unsigned prefix = index >> (kTableBits - 1 - length);
    const int node = x + static_cast<int>(prefix & 1u);
    e.path[length++] = static_cast<std::uint16_t>(node);
    rely_on(node, prefix, length);
    x = m.child[node];
  }
  e.length = static_cast<std::uint8_t>(length);
  e.reached_leaf = x >= kLeafBase;
  e.next = static_cast<std::uint16_t>(x >= kLeafBase ? x - kLeafBase : x);
  e.valid = true;
  return e;
}

// last_below comparing eight weights at a time where the instruction set allows.
int find_last_below(const Model& m, int first, unsigned k) {
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi16(static_cast<short>(k));
  for (; first + 8 <= kNodes + 1; first += 8) {
    const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m.weight + first));
    const __m128i reached = _mm_cmpeq_epi16(_mm_subs_epu16(limit, weights), _mm_setzero_si128());
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(reached));
    if (mask != 0) return first + static_cast<int>(__builtin_ctz(mask) >> 1) - 1;
  }
  --first;  // last_below looks on from the node after first
#endif
  return last_below(m, first, k);
}

// Node x has outgrown node x + 1: exchanges it; returns where x's subtree is now.
int exchange(Model& m, int x) {
  const int l = find_last_below(m, x + 1, m.weight[x]);
  model_exchange_with(m, x, l);
  invalidate_below(x);
  invalidate_below(l);
  return l;
}

// Counts node x; returns where x's subtree is afterwards.
inline int count_node(Model& m, int x) {
  const std::uint16_t k = ++m.weight[x];
  return k > m.weight[x + 1] ? exchange(m, x) : x;
}

// The rest of the update from node x up, the next node always from the parent table.
void count_from(Model& m, int x) {
  do {
    x = m.parent[count_node(m, x)];
  } while (x != 0);
}

// Counts the symbol along the path the decode walked down. An exchange moves the subtree
// off the path; the path serves on when the new place has the same parent (the nodes above
// are untouched: every exchange so far involved lighter nodes), else the parent table
// leads on.
void count_symbol(Model& m, int symbol, int depth) {
  if (m.weight[kRoot] == kRebuildLimit) {
    model_rebuild(m);
    invalidate_table();
    count_from(m, m.parent[kLeafBase + symbol]);
    return;
  }
  for (int i = depth - 1; i >= 0; --i) {
    const int x = g_fast.path[i];
    const std::uint16_t k = ++m.weight[x];
    if (k <= m.weight[x + 1]) continue;
    const int above = m.parent[exchange(m, x)];
    if (above != (i > 0 ? g_fast.path[i - 1] : kRoot)) {
      count_from(m, above);
      return;
    }
  }
  ++m.weight[kRoot];
}

// Walks on bit by bit from the first child x, appending to the path from `depth`.
int walk(const Model& m, BitReader& bits, int x, int& depth) {
  while (x < kLeafBase) {
    const int node = x + static_cast<int>(bits.read_bit());
    g_fast.path[depth++] = static_cast<std::uint16_t>(node);
    x = m.child[node];
  }
  return x - kLeafBase;
}

}  // namespace

void symbol_decoder_reset_process_state() {
  std::memset(&g_fast, 0, sizeof g_fast);
}

void symbol_decoder_start(Model& model) {
  model_init(model);
  invalidate_table();
}

int decode_and_count_symbol(Model& m, BitReader& bits) {
  if (bits.count < 32) bits.refill_free();
  int depth = 0;
  int symbol;
  // Taking the table's bits at once reads no later than bit by bit would.
  if (bits.count >= kTableBits + 8) {
    const TableEntry& e = table_entry(m, bits.peek(kTableBits));
    std::memcpy(g_fast.path, e.path, sizeof e.path);
    depth = e.length;
    bits.take(e.length);
    symbol = e.reached_leaf ? e.next : walk(m, bits, e.next, depth);
  } else {
    symbol = walk(m, bits, m.child[kRoot], depth);
  }
  count_symbol(m, symbol, depth);
  return symbol;
}

}  // namespace decode
