// Every level's output restores its input byte for byte through the shipped decoder and
// the reference decoder, with a ring tail left dirty by an earlier entry.
#include <gtest/gtest.h>

#include <string>

#include "tests/tools/encoder_test_support.hpp"
#include "decode/decoder.hpp"
#include "tools/encoder/encoder.hpp"

namespace {

using encoder_test::Bytes;

struct Sample {
  std::string name;
  Bytes bytes;
};

Bytes text_bytes(std::size_t size) {
  const std::string words[] = {"the ",       "screen ", "saver ", "installs ", "into ", "Windows ",
                               "directory ", "\r\n",    "    ",   "data ",     "file "};
  Bytes b;
  std::uint32_t seed = 7;
  while (b.size() < size) {
    seed = seed * 1103515245u + 12345u;
    const std::string& w = words[(seed >> 16) % 11];
    b.insert(b.end(), w.begin(), w.end());
  }
  b.resize(size);
  return b;
}

// Records of little-endian counters and small fields, like a table in an executable.
Bytes record_bytes(std::size_t size) {
  Bytes b;
  for (std::uint32_t i = 0; b.size() < size; ++i) {
    const std::uint8_t rec[8] = {static_cast<std::uint8_t>(i),
                                 static_cast<std::uint8_t>(i >> 8),
                                 0,
                                 0,
                                 0x8B,
                                 static_cast<std::uint8_t>(i % 5),
                                 0xFF,
                                 0x15};
    b.insert(b.end(), rec, rec + 8);
  }
  b.resize(size);
  return b;
}

// Long enough to push the model through several rebuilds.
Bytes mixed_bytes() {
  Bytes b = text_bytes(60000);
  const Bytes r = encoder_test::random_bytes(40000, 3);
  b.insert(b.end(), r.begin(), r.end());
  const Bytes t = record_bytes(60000);
  b.insert(b.end(), t.begin(), t.end());
  return b;
}

std::vector<Sample> samples() {
  return {
      {"one_byte", Bytes{0x41}},
      {"two_bytes", Bytes{0x00, 0xFF}},
      {"spaces", Bytes(5000, 0x20)},
      {"spaces_then_text",
       [] {
         Bytes b(100, 0x20);
         const Bytes t = text_bytes(3000);
         b.insert(b.end(), t.begin(), t.end());
         return b;
       }()},
      {"zeros", Bytes(70000, 0x00)},
      {"text", text_bytes(50000)},
      {"records", record_bytes(30000)},
      {"random", encoder_test::random_bytes(20000, 11)},
      {"period_4096",
       [] {
         Bytes b = encoder_test::random_bytes(4096, 5);
         const Bytes again = b;
         b.insert(b.end(), again.begin(), again.end());
         b.insert(b.end(), again.begin(), again.end());
         return b;
       }()},
      {"mixed", mixed_bytes()},
  };
}

class EncoderRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(EncoderRoundTrip, ShippedDecoderRestoresEverySample) {
  for (const Sample& s : samples()) {
    const Bytes packed = encoder::compress(s.bytes.data(), s.bytes.size(), GetParam());
    encoder_test::dirty_ring_tail(static_cast<std::uint32_t>(s.bytes.size()));
    EXPECT_EQ(encoder_test::shipped_decode(packed, s.bytes.size()), s.bytes) << s.name;
    // Every stream ends inside its last byte, so test calls none of our bodies suspect.
    const std::uint64_t used = decode::decoder_last_bits_used();
    EXPECT_GT(used, (packed.size() - 1) * 8) << s.name;
    EXPECT_LE(used, packed.size() * 8) << s.name;
  }
}

#ifdef TOOLS_TESTS_HAVE_REFERENCE_DECODER
TEST_P(EncoderRoundTrip, ReferenceDecoderRestoresEverySample) {
  for (const Sample& s : samples()) {
    const Bytes packed = encoder::compress(s.bytes.data(), s.bytes.size(), GetParam());
    encoder_test::dirty_ring_tail(static_cast<std::uint32_t>(s.bytes.size()) + 1);
    EXPECT_EQ(encoder_test::reference_decode(packed, s.bytes.size()), s.bytes) << s.name;
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(AllLevels, EncoderRoundTrip,
                         ::testing::Range(encoder::kMinLevel, encoder::kMaxLevel + 1));

TEST(Encoder, EmptyInputGivesEmptyStream) {
  EXPECT_TRUE(encoder::compress(nullptr, 0, 6).empty());
}

TEST(Encoder, RepetitiveInputShrinksAtEveryLevel) {
  // Matches of 30 bytes at distance 1 cost a dozen bits or so each: about 3,000 bytes.
  const Bytes zeros(70000, 0);
  for (int level = encoder::kMinLevel; level <= encoder::kMaxLevel; ++level) {
    EXPECT_LT(encoder::compress(zeros.data(), zeros.size(), level).size(), 3500u) << level;
  }
}

TEST(Encoder, BestLevelIsNoLargerThanFastestOnText) {
  const Bytes text = text_bytes(40000);
  EXPECT_LE(encoder::compress(text.data(), text.size(), encoder::kMaxLevel).size(),
            encoder::compress(text.data(), text.size(), encoder::kMinLevel).size());
}

TEST(Encoder, LeadingSpacesAreCopiedFromTheSpaceFill) {
  // Only matches against the spaces the ring holds before the first byte can cover these
  // bytes in so few bits: 60 spaces are two 30-byte matches.
  const Bytes spaces(60, 0x20);
  EXPECT_LE(encoder::compress(spaces.data(), spaces.size(), encoder::kDefaultLevel).size(), 8u);
  encoder_test::dirty_ring_tail(99);
  EXPECT_EQ(encoder_test::shipped_decode(encoder::compress(spaces.data(), spaces.size(), 6), 60),
            spaces);
}

}  // namespace
