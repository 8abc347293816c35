#include "decode/model.hpp"

#include <cstring>

namespace decode {

int last_below_far(const Model& m, int first, unsigned k) {
  int below = first;
  int at_or_above = first + 1;
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

void model_init(Model& m) {
  for (int s = 0; s < kSymbols; ++s) {
    m.weight[s] = 1;
    m.child[s] = static_cast<std::uint16_t>(kLeafBase + s);
    m.parent[kLeafBase + s] = static_cast<std::uint16_t>(s);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    m.weight[j] = static_cast<std::uint16_t>(m.weight[i] + m.weight[i + 1]);
    m.child[j] = static_cast<std::uint16_t>(i);
    m.parent[i] = m.parent[i + 1] = static_cast<std::uint16_t>(j);
  }
  m.weight[kNodes] = 0xFFFF;
  m.parent[kRoot] = 0;
}

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
