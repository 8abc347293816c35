// The adaptive Huffman model shared by the decoder and the packer's encoder.
//
// Literal bytes 0..255 and match lengths 3..30 (symbols 256..283) share one code tree
// whose nodes stay ordered by weight; every coded symbol bumps its leaf's weight and
// the tree is rebuilt when the root weight reaches kRebuildLimit.
#pragma once

#include <cstdint>

namespace decode {

constexpr int kRingSize = 4096;
constexpr int kMaxMatch = 30;
constexpr int kThreshold = 2;                           // shortest match is kThreshold + 1
constexpr int kSymbols = 256 + kMaxMatch - kThreshold;  // 284
constexpr int kNodes = 2 * kSymbols - 1;                // 567
constexpr int kRoot = kNodes - 1;                       // 566
constexpr int kLeafBase = kNodes;                       // child entry of a leaf: kLeafBase + symbol
constexpr std::uint16_t kRebuildLimit = 0x8000;
constexpr int kFirstWrite = kRingSize - kMaxMatch;  // 4066: ring positions below hold spaces

struct Model {
  std::uint16_t weight[kNodes + 1];         // node weights, non-decreasing; [kNodes] is a sentinel
  std::uint16_t child[kNodes];              // first child of an inner node, kLeafBase + s of a leaf
  std::uint16_t parent[kNodes + kSymbols];  // parent of each node; [kLeafBase + s]: leaf of s
};

// Fresh tree: every symbol at weight 1. Inline, so that the installer stub's start of an
// entry holds it in place of a call.
inline void model_init(Model& m) {
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

// Counts one occurrence of the symbol, rebuilding first when the root weight is at the limit.
void model_update(Model& m, int symbol);

// Halves the weights and rebuilds the tree from the leaves.
void model_rebuild(Model& m);

}  // namespace decode
