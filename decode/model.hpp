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

// Fresh tree: every symbol at weight 1.
void model_init(Model& m);

// Counts one occurrence of the symbol, rebuilding first when the root weight is at the limit.
void model_update(Model& m, int symbol);

// The part of model_update after the rebuild check: adds 1 to the weight of `node` and of
// each node above it, keeping the weights ordered. `node` is the symbol's leaf node or, when
// every node below it on the leaf's path has already been counted, a node of that path.
void model_increment_from(Model& m, int node);

// Halves the weights and rebuilds the tree from the leaves.
void model_rebuild(Model& m);

// The last node from `first` on whose weight is below k, given weight[first] < k. Most
// runs of equal weights are short; long ones (early in an entry most leaves weigh 1) are
// crossed by galloping ahead and halving the gap.
int last_below_far(const Model& m, int first, unsigned k);
int last_below(const Model& m, int first, unsigned k);

// Exchanges node x, just counted to a weight above node x + 1's, with node l, the last
// node whose weight is still below x's, so the weights stay ordered. x's subtree moves to l.
void model_exchange_with(Model& m, int x, int l);

// The same, finding l; returns l.
int model_exchange(Model& m, int x);

}  // namespace decode
