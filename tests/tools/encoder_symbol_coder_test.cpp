// The symbol coder's output read back by the shipped decoder: deep Huffman codes and
// every match position.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/encoder_test_support.hpp"
#include "tools/encoder/symbol_coder.hpp"

namespace {

using encoder_test::Bytes;

// Applies a match the way the decoder does, one byte at a time.
void copy_match(Bytes& out, int length, int distance) {
  for (int k = 0; k < length; ++k)
    out.push_back(out[out.size() - static_cast<std::size_t>(distance)]);
}

// A symbol's weight is one more than its count. Most symbols at an even, high weight and a
// short run of symbols at Fibonacci weights below them leave the first symbol of the run
// 17 levels down.
TEST(SymbolCoder, CodesLongerThanSixteenBitsDecode) {
  encoder::SymbolCoder coder;
  Bytes expected;
  int deepest = 0;
  const auto literal = [&](int symbol) {
    deepest = std::max(deepest, coder.literal_bits(static_cast<std::uint8_t>(symbol)));
    coder.put_literal(static_cast<std::uint8_t>(symbol));
    expected.push_back(static_cast<std::uint8_t>(symbol));
  };
  constexpr int kRun = 10;
  for (int round = 0; round < 100; ++round) {
    for (int symbol = kRun; symbol < 256; ++symbol) literal(symbol);
    for (int length = encoder::kMinMatch; length <= encoder::kMaxMatch; ++length) {
      coder.put_match(length, 1);
      copy_match(expected, length, 1);
    }
  }
  std::uint32_t weight = 1, next = 2;
  for (int symbol = 1; symbol < kRun; ++symbol) {
    for (std::uint32_t n = 1; n < weight; ++n) literal(symbol);
    const std::uint32_t sum = weight + next;
    weight = next;
    next = sum;
  }
  literal(0);
  ASSERT_GT(deepest, 16) << "the input no longer drives a code past 16 bits";
  const Bytes stream = coder.finish();
  encoder_test::dirty_ring_tail(1);
  EXPECT_EQ(encoder_test::shipped_decode(stream, expected.size()), expected);
#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
  EXPECT_EQ(encoder_test::reference_decode(stream, expected.size()), expected);
#endif
}

TEST(SymbolCoder, EveryDistanceAndLengthDecodes) {
  encoder::SymbolCoder coder;
  Bytes expected = encoder_test::random_bytes(encoder::kMaxDistance, 42);
  for (std::uint8_t byte : expected) coder.put_literal(byte);
  for (int distance = 1; distance <= encoder::kMaxDistance; ++distance) {
    const int length =
        encoder::kMinMatch + distance % (encoder::kMaxMatch - encoder::kMinMatch + 1);
    coder.put_match(length, distance);
    copy_match(expected, length, distance);
  }
  const Bytes stream = coder.finish();
  EXPECT_EQ(encoder_test::shipped_decode(stream, expected.size()), expected);
#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
  EXPECT_EQ(encoder_test::reference_decode(stream, expected.size()), expected);
#endif
}

struct PositionCase {
  int distance;
  int bits;  // position code plus the 6 lower bits
};

TEST(SymbolCoder, DistanceCostFollowsThePositionCodeLengths) {
  const PositionCase cases[] = {
      {1, 9},    {64, 9},    {65, 10},   {256, 10},  {257, 11},  {768, 11},
      {769, 12}, {1536, 12}, {1537, 13}, {3072, 13}, {3073, 14}, {4096, 14},
  };
  for (const PositionCase& c : cases)
    EXPECT_EQ(encoder::distance_bits(c.distance), c.bits) << c.distance;
}

TEST(SymbolCoder, AllSymbolBitsAgreesWithEachLeafDepth) {
  encoder::SymbolCoder coder;
  const Bytes input = encoder_test::random_bytes(50000, 9);
  for (std::size_t i = 0; i < input.size(); ++i) {
    coder.put_literal(static_cast<std::uint8_t>(input[i] & (i % 3 == 0 ? 0xFF : 0x0F)));
    if (i % 7 == 0) coder.put_match(3 + static_cast<int>(i % 28), 1 + static_cast<int>(i % 4000));
    if (i % 9973 != 0) continue;
    int all[decode::kSymbols];
    coder.all_symbol_bits(all);
    for (int s = 0; s < decode::kSymbols; ++s) ASSERT_EQ(all[s], coder.symbol_bits(s)) << s;
  }
}

// The leaves of a full binary tree make a complete prefix code: the sum of 2^-depth over all
// symbols is exactly 1, before, between and after the rebuilds at the weight limit.
TEST(SymbolCoder, SymbolDepthsFormACompleteCode) {
  encoder::SymbolCoder coder;
  const Bytes input = encoder_test::random_bytes(90000, 21);
  for (std::size_t i = 0; i <= input.size(); ++i) {
    if (i % 15000 == 0) {
      std::uint64_t sum = 0;  // in units of 2^-40; no leaf sits deeper than 40 here
      for (int s = 0; s < decode::kSymbols; ++s) {
        const int depth = encoder::symbol_depth(coder.model(), s);
        ASSERT_GE(depth, 1) << s;
        ASSERT_LE(depth, 40) << s;
        sum += std::uint64_t{1} << (40 - depth);
      }
      EXPECT_EQ(sum, std::uint64_t{1} << 40) << "after " << i << " symbols";
    }
    if (i == input.size()) break;
    // Skewed: mostly a few small bytes, so the tree grows deep on one side.
    const std::uint8_t byte = input[i] < 200 ? input[i] % 6 : input[i];
    if (i % 5 == 0) {
      coder.put_match(3 + static_cast<int>(byte % 4), 1);
    } else {
      coder.put_literal(byte);
    }
  }
}

}  // namespace
