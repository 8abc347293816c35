// The optimal parse prices each step under the model its path leaves behind: the bits it
// reports are the bits the stream holds, whatever the block size, and every level restores
// pixel rows whose best matches lie one row back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/tools/encoder_test_support.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/parsers.hpp"

namespace {

using encoder_test::Bytes;

// Rows of 3-byte pixels: slow gradients, so a row mostly repeats the one above (one row
// back, a 12-bit position) or the pixel before (3 back, a 9-bit position).
Bytes pixel_rows(int width, int height) {
  Bytes b;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool flat = y > height * 3 / 4;
      b.push_back(static_cast<std::uint8_t>(flat ? 200 : x / 2));
      b.push_back(static_cast<std::uint8_t>(flat ? 180 : y * 2 / 3));
      b.push_back(static_cast<std::uint8_t>(flat ? 90 : (x + y) / 4));
    }
  }
  return b;
}

Bytes words(std::size_t size) {
  const std::string list[] = {"pixel ", "row ", "stride ", "the ", "window ", "\r\n"};
  Bytes b;
  for (std::uint32_t seed = 3; b.size() < size;) {
    seed = seed * 1103515245u + 12345u;
    const std::string& w = list[(seed >> 16) % 6];
    b.insert(b.end(), w.begin(), w.end());
  }
  b.resize(size);
  return b;
}

struct ParseCase {
  std::string name;
  Bytes input;
  std::size_t block;
};

std::vector<ParseCase> parse_cases() {
  const Bytes rows = pixel_rows(512, 40);
  const Bytes text = words(30000);
  const Bytes noise = encoder_test::random_bytes(9000, 4);
  return {
      {"rows_small_blocks", rows, 64},    {"rows_4k_blocks", rows, 4096},
      {"rows_one_block", rows, 1 << 20},  {"text_odd_blocks", text, 1000},
      {"text_one_block", text, 1 << 20},  {"noise_one_block", noise, 1 << 20},
      {"one_byte", Bytes{0x7F}, 1 << 20},
  };
}

// Runs the optimal parse over `input` after the ring's space fill.
std::uint64_t parse(const Bytes& input, std::size_t block, encoder::SymbolCoder& coder) {
  Bytes text(decode::kFirstWrite, 0x20);
  text.insert(text.end(), input.begin(), input.end());
  const encoder::History history{text.data(), decode::kFirstWrite, text.size()};
  return encoder::parse_optimal(history, encoder::OptimalSettings{64, block}, coder);
}

TEST(OptimalParse, PricedBitsAreTheBitsWritten) {
  for (const ParseCase& c : parse_cases()) {
    encoder::SymbolCoder coder;
    const std::uint64_t bits = parse(c.input, c.block, coder);
    const Bytes stream = coder.finish();
    EXPECT_EQ((bits + 7) / 8, stream.size()) << c.name;
    encoder_test::dirty_ring_tail(static_cast<std::uint32_t>(c.input.size()));
    EXPECT_EQ(encoder_test::shipped_decode(stream, c.input.size()), c.input) << c.name;
  }
}

TEST(OptimalParse, PixelRowsRestoreAtEveryLevel) {
  const Bytes rows = pixel_rows(700, 120);  // rows of 2,100 bytes: one row back still fits
  for (int level = encoder::kMinLevel; level <= encoder::kMaxLevel; ++level) {
    const Bytes packed = encoder::compress(rows.data(), rows.size(), level);
    encoder_test::dirty_ring_tail(static_cast<std::uint32_t>(level));
    EXPECT_EQ(encoder_test::shipped_decode(packed, rows.size()), rows) << level;
#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
    EXPECT_EQ(encoder_test::reference_decode(packed, rows.size()), rows) << level;
#endif
  }
}

}  // namespace
