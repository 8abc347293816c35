#include "decode/symbol_decoder.hpp"

#include <cstring>

#include "decode/model.hpp"
#include "decode/symbol_tree.hpp"

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

// The symbol that makes the root weight reach the limit is decoded with the tree as it
// is; the tree is rebuilt before it is counted.
int decode_then_rebuild(BitReader& bits) {
  Model& t = g_symbols.tree;
  int depth = 0;
  const int leaf = walk_to_leaf(bits, t.child[kRoot], depth);
  model_rebuild(t);
  invalidate_table();
  count_from(t.parent[leaf]);
  return leaf - kLeafBase;
}

}  // namespace

void fill_entry(TableEntry& e, unsigned index) {
  const Model& t = g_symbols.tree;
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

void symbol_decoder_reset_process_state() {
  std::memset(&g_symbols, 0, sizeof g_symbols);
}

void symbol_decoder_start() {
  model_init(g_symbols.tree);
  g_symbols.path[0] = kRoot;
  invalidate_table();
}

int decode_and_count_symbol(BitReader& bits) {
  const Model& t = g_symbols.tree;
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
