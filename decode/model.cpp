#include "decode/model.hpp"

#include <cstring>

#include "decode/tree_ops.hpp"

namespace decode {

void model_rebuild(Model& m) {
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (m.child[i] >= kLeafBase) {
      m.weight[j] = static_cast<std::uint16_t>((m.weight[i] + 1) / 2);
      m.child[j] = m.child[i];
      ++j;
    }
  }
  for (int i = 0, k = kSymbols; k < kNodes; i += 2, ++k) {
    const unsigned f = m.weight[i] + m.weight[i + 1];
    m.weight[k] = static_cast<std::uint16_t>(f);
    int p = k - 1;
    while (f < m.weight[p]) --p;
    ++p;
    const std::size_t moved = static_cast<std::size_t>(k - p);
    std::memmove(&m.weight[p + 1], &m.weight[p], moved * sizeof m.weight[0]);
    std::memmove(&m.child[p + 1], &m.child[p], moved * sizeof m.child[0]);
    m.weight[p] = static_cast<std::uint16_t>(f);
    m.child[p] = static_cast<std::uint16_t>(i);
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = m.child[i];
    if (k >= kLeafBase) {
      m.parent[k] = static_cast<std::uint16_t>(i);
    } else {
      m.parent[k] = m.parent[k + 1] = static_cast<std::uint16_t>(i);
    }
  }
}

void model_update(Model& m, int symbol) {
  if (m.weight[kRoot] == kRebuildLimit) model_rebuild(m);
  count_up_from(m, m.parent[kLeafBase + symbol], [&m](std::size_t x) {
    const int node = static_cast<int>(x);
    const int l = last_below(m, node + 1, m.weight[x]);
    exchange_with(m, node, l);
    return static_cast<std::size_t>(l);
  });
}

}  // namespace decode
