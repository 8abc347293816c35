#include "decode/model.hpp"

#include <gtest/gtest.h>

namespace {

// Weights must stay ordered and every inner node must weigh the sum of its children.
void expect_consistent(const decode::Model& m) {
  for (int i = 0; i + 1 < decode::kNodes; ++i) ASSERT_LE(m.weight[i], m.weight[i + 1]) << i;
  for (int i = 0; i < decode::kNodes; ++i) {
    const int c = m.child[i];
    if (c >= decode::kLeafBase) {
      ASSERT_EQ(m.parent[c], i);
    } else {
      ASSERT_EQ(m.weight[i], m.weight[c] + m.weight[c + 1]) << i;
      ASSERT_EQ(m.parent[c], i);
      ASSERT_EQ(m.parent[c + 1], i);
    }
  }
}

TEST(Model, FreshTreeHoldsEveryLeafAtWeightOne) {
  decode::Model m;
  decode::model_init(m);
  EXPECT_EQ(m.weight[decode::kRoot], decode::kSymbols);
  EXPECT_EQ(m.weight[decode::kNodes], 0xFFFF);
  expect_consistent(m);
}

TEST(Model, StaysConsistentAcrossRebuilds) {
  decode::Model m;
  decode::model_init(m);
  unsigned seed = 12345;
  int rebuilds = 0;
  for (int n = 0; n < 100000; ++n) {
    seed = seed * 1103515245u + 12345u;
    const int s =
        static_cast<int>((seed >> 16) % 7 == 0 ? (seed >> 8) % decode::kSymbols : (seed >> 20) % 5);
    if (m.weight[decode::kRoot] == decode::kRebuildLimit) ++rebuilds;
    decode::model_update(m, s);
    if (n % 997 == 0) expect_consistent(m);
  }
  expect_consistent(m);
  EXPECT_GE(rebuilds, 2);
}

}  // namespace
