#include "decode/model.hpp"

#include "decode/tree_ops.hpp"

namespace decode {

int last_below_far(const Model& m, int first, unsigned k) {
  return tree_last_below_far(m, first, k);
}

int last_below(const Model& m, int first, unsigned k) {
  return tree_last_below(m, first, k);
}

void model_exchange_with(Model& m, int x, int l) {
  tree_exchange_with(m, x, l);
}

int model_exchange(Model& m, int x) {
  const int l = tree_last_below(m, x + 1, m.weight[x]);
  tree_exchange_with(m, x, l);
  return l;
}

void model_init(Model& m) {
  tree_init(m);
}

void model_rebuild(Model& m) {
  tree_rebuild(m);
}

void model_update(Model& m, int symbol) {
  if (m.weight[kRoot] == kRebuildLimit) tree_rebuild(m);
  model_increment_from(m, m.parent[kLeafBase + symbol]);
}

void model_increment_from(Model& m, int node) {
  int x = node;
  do {
    const std::uint16_t k = ++m.weight[x];
    if (k > m.weight[x + 1]) x = model_exchange(m, x);
    x = m.parent[x];
  } while (x != 0);
}

}  // namespace decode
