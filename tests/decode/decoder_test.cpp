#include "decode/decoder.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "channel.hpp"
#include "decode/model.hpp"
#include "decode/position_code.hpp"
#include "reference_decoder.hpp"
#include "token_encoder.hpp"

namespace {

using testsupport::Bytes;
using testsupport::Channel;
using testsupport::Implementation;
using testsupport::IoEvent;
using testsupport::Token;

struct Outcome {
  std::int32_t result;
  std::vector<IoEvent> events;
  Bytes output;
};

struct Entry {
  Bytes stored;
  std::uint32_t stored_size;
  std::uint32_t original_size;
  std::vector<std::size_t> read_caps = {};
  int failing_write = -1;
};

Outcome run(Implementation which, const Entry& entry) {
  Channel channel;
  channel.stored = entry.stored;
  channel.read_caps = entry.read_caps;
  channel.failing_write = entry.failing_write;
  const std::int32_t result =
      testsupport::run_decoder(which, channel, entry.stored_size, entry.original_size);
  return Outcome{result, channel.events, channel.output};
}

std::uint32_t output_length(const std::vector<Token>& tokens) {
  std::uint32_t n = 0;
  for (const Token& t : tokens) n += t.is_match ? static_cast<std::uint32_t>(t.length) : 1u;
  return n;
}

Entry entry_for(const std::vector<Token>& tokens) {
  const Bytes stored = testsupport::encode_tokens(tokens);
  return Entry{stored, static_cast<std::uint32_t>(stored.size()), output_length(tokens)};
}

Bytes text_of(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

std::vector<Token> literals(const Bytes& bytes) {
  std::vector<Token> tokens;
  for (std::uint8_t b : bytes) tokens.push_back(Token::literal(b));
  return tokens;
}

constexpr Implementation kEveryDecoder[] = {
    Implementation::shipped, Implementation::shipped_per_symbol, Implementation::reference};

// Each decoder, from a freshly started process, restores the tokens to `expected`.
void expect_every_decoder_gives(const std::vector<Token>& tokens, const Bytes& expected) {
  for (Implementation which : kEveryDecoder) {
    decode::decoder_reset_process_state();
    reference::reset_process_state();
    EXPECT_EQ(run(which, entry_for(tokens)).output, expected);
  }
}

// Both decoders start from a freshly started process in every test.
class Decoder : public ::testing::Test {
 protected:
  void SetUp() override {
    decode::decoder_reset_process_state();
    reference::reset_process_state();
  }
};

// ---------------------------------------------------------------------------
// Token streams with known output

struct KnownCase {
  const char* name;
  std::vector<Token> tokens;
  std::string expected;
};

TEST_F(Decoder, TokenStreamsGiveTheirKnownOutput) {
  const KnownCase cases[] = {
      {"literal then 30 at 0", {Token::literal('A'), Token::match(30, 0)}, std::string(31, 'A')},
      {"match into the spaces first", {Token::match(10, 100)}, std::string(10, ' ')},
      {"shortest match (symbol 256)",
       {Token::literal('x'), Token::literal('y'), Token::literal('z'), Token::match(3, 2)},
       "xyzxyz"},
      {"longest match (symbol 283)",
       {Token::literal('a'), Token::literal('b'), Token::match(30, 1)},
       "abababababababababababababababab"},
      {"earlier word", literals(text_of("hello, ")), "hello, "},
      {"source ahead of r", {Token::match(30, 100), Token::match(30, 4090)}, std::string(60, ' ')},
  };
  for (const KnownCase& c : cases) {
    for (Implementation which : kEveryDecoder) {
      SetUp();
      const Outcome o = run(which, entry_for(c.tokens));
      EXPECT_EQ(std::string(o.output.begin(), o.output.end()), c.expected) << c.name;
      EXPECT_EQ(o.result, static_cast<std::int32_t>(c.expected.size())) << c.name;
    }
  }
}

TEST_F(Decoder, Position4095CopiesTheBytesWritten4096PlacesEarlier) {
  Bytes pattern(4096);
  for (std::size_t i = 0; i < pattern.size(); ++i)
    pattern[i] = static_cast<std::uint8_t>(i * 7 % 251);
  std::vector<Token> tokens = literals(pattern);
  tokens.push_back(Token::match(30, 4095));
  Bytes expected = pattern;
  expected.insert(expected.end(), pattern.begin(), pattern.begin() + 30);
  expect_every_decoder_gives(tokens, expected);
}

TEST_F(Decoder, GreedyTokensOfVariedDataDecodeToTheData) {
  std::mt19937 random(7);
  Bytes data = text_of("In het begin was er de spatie, en de spatie was overal. ");
  for (int i = 0; i < 2000; ++i)
    data.push_back(static_cast<std::uint8_t>("abcde fgh\n"[random() % 10]));
  for (int i = 0; i < 3000; ++i) data.push_back(static_cast<std::uint8_t>(random()));
  data.insert(data.end(), 5000, 0);
  for (int i = 0; i < 20000; ++i) data.push_back(static_cast<std::uint8_t>(i / 40));
  const std::vector<Token> tokens = testsupport::greedy_tokens(data);
  ASSERT_EQ(output_length(tokens), data.size());
  expect_every_decoder_gives(tokens, data);
}

// ---------------------------------------------------------------------------
// Differential: both decoders agree on every byte, read and write

std::vector<Token> random_tokens(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::vector<Token> tokens;
  for (int i = 0; i < count; ++i) {
    if (random() % 3 == 0) {
      tokens.push_back(
          Token::match(3 + static_cast<int>(random() % 28), static_cast<int>(random() % 4096)));
    } else {
      const unsigned skewed = random() % 4 == 0 ? random() % 256 : random() % 16 + 'a';
      tokens.push_back(Token::literal(static_cast<std::uint8_t>(skewed)));
    }
  }
  return tokens;
}

// Longest matches on either side of every boundary between upper position values.
std::vector<Token> boundary_matches() {
  std::vector<Token> tokens = literals(text_of("grens"));
  for (int upper = 0; upper < 64; ++upper) {
    tokens.push_back(Token::match(30, upper * 64));
    tokens.push_back(Token::match(30, upper * 64 + 63));
    tokens.push_back(Token::literal(static_cast<std::uint8_t>(upper)));
  }
  tokens.push_back(Token::match(30, 4095));
  return tokens;
}

// Many symbols of a skewed alphabet: several rebuilds of the tree.
std::vector<Token> skewed_literals(int count) {
  std::mt19937 random(99);
  std::vector<Token> tokens;
  for (int i = 0; i < count; ++i) {
    const unsigned r = random();
    const unsigned zeros = static_cast<unsigned>(__builtin_ctz(r | 0x100u));
    tokens.push_back(Token::literal(static_cast<std::uint8_t>(zeros * 29 + (r >> 28))));
  }
  return tokens;
}

// Every match length at distances around its own length (repeating bytes it produces, or
// just not), and far back, repeated until the copies straddle ring wraps and output chunks.
std::vector<Token> match_copy_tokens() {
  std::vector<Token> tokens = literals(text_of("Een schermbeveiliger met 31 kleuren, 0123456789"));
  for (int round = 0; round < 9; ++round) {
    for (int length = 3; length <= 30; ++length) {
      for (int position : {0, 1, length - 2, length - 1, length, 31, 4000, 4065, 4094, 4095}) {
        tokens.push_back(Token::match(length, position));
        tokens.push_back(Token::literal(static_cast<std::uint8_t>('A' + length + round)));
      }
    }
  }
  return tokens;
}

Bytes random_bytes(unsigned seed, std::size_t n) {
  std::mt19937 random(seed);
  Bytes bytes(n);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

struct DifferentialCase {
  const char* name;
  std::function<Entry()> make;
};

Entry truncated(Entry e, std::uint32_t keep) {
  e.stored_size = keep;
  return e;
}

const std::vector<DifferentialCase>& differential_cases() {
  static const std::vector<DifferentialCase> cases = {
      {"random tokens 1", [] { return entry_for(random_tokens(1, 3000)); }},
      {"random tokens 2", [] { return entry_for(random_tokens(2, 40000)); }},
      {"random tokens 3", [] { return entry_for(random_tokens(3, 17)); }},
      {"position code boundaries", [] { return entry_for(boundary_matches()); }},
      {"matches into the spaces",
       [] {
         return entry_for({Token::match(30, 4065), Token::match(30, 0), Token::match(30, 2000)});
       }},
      {"rebuilds", [] { return entry_for(skewed_literals(120000)); }},
      {"match copies", [] { return entry_for(match_copy_tokens()); }},
      {"greedy tokens of words",
       [] {
         std::mt19937 random(17);
         const char* const words[] = {"zee ", "golf ", "ster ", "nacht ", "maan ", "wolk. "};
         Bytes data;
         while (data.size() < 70000) {
           for (const char* c = words[random() % 6 * (random() % 6) / 5]; *c != '\0'; ++c)
             data.push_back(static_cast<std::uint8_t>(*c));
         }
         return entry_for(testsupport::greedy_tokens(data));
       }},
      {"match copies, original size cut short",
       [] {
         Entry e = entry_for(match_copy_tokens());
         e.original_size -= 17;
         return e;
       }},
      {"truncated stream", [] { return truncated(entry_for(random_tokens(4, 5000)), 1000); }},
      {"no stored bytes", [] { return truncated(entry_for(random_tokens(5, 50)), 0); }},
      {"random bytes",
       [] {
         return Entry{random_bytes(6, 60000), 60000, 90000};
       }},
      {"random bytes, original 1",
       [] {
         return Entry{random_bytes(7, 100), 100, 1};
       }},
      {"file ends early",
       [] {
         return Entry{random_bytes(8, 20000), 40000, 150000};
       }},
      {"short reads",
       [] {
         Entry e = entry_for(random_tokens(9, 30000));
         e.read_caps = {100, 0, 1, 7, 16384, 0, 0, 9};
         return e;
       }},
      {"reads of a few bytes",
       [] {
         Entry e = entry_for(random_tokens(16, 20000));
         for (std::size_t i = 0; i < e.stored.size(); ++i)
           e.read_caps.push_back(i % 9 == 0 ? 0 : 5 + i * 7 % 11);
         return e;
       }},
      {"original size 0",
       [] {
         return Entry{random_bytes(10, 100), 100, 0};
       }},
      {"original size 2 GiB",
       [] {
         return Entry{random_bytes(11, 100), 100, 0x80000000u};
       }},
      {"original size 4 GiB - 1",
       [] {
         return Entry{random_bytes(12, 100), 100, 0xFFFFFFFFu};
       }},
  };
  return cases;
}

TEST_F(Decoder, BothDecodersAgreeOnEveryByteReadAndWrite) {
  for (const DifferentialCase& c : differential_cases()) {
    const Entry entry = c.make();
    for (Implementation way : {Implementation::shipped, Implementation::shipped_per_symbol}) {
      SetUp();
      const Outcome shipped = run(way, entry);
      const Outcome oracle = run(Implementation::reference, entry);
      const bool bulk = way == Implementation::shipped;
      EXPECT_EQ(shipped.result, oracle.result) << c.name << " bulk " << bulk;
      EXPECT_TRUE(shipped.events == oracle.events) << c.name << " bulk " << bulk;
      EXPECT_TRUE(shipped.output == oracle.output) << c.name << " bulk " << bulk;
      const std::int64_t expected_size =
          static_cast<std::int32_t>(entry.original_size) > 0 ? entry.original_size : 0;
      EXPECT_EQ(static_cast<std::int64_t>(shipped.output.size()), expected_size) << c.name;
    }
  }
}

// With one byte per read and stored bytes to spare, every stored byte the decoder takes is
// one read: both must take exactly as many, whatever symbol the stream ends on.
TEST_F(Decoder, BothDecodersTakeTheSameStoredBytesToTheLastOne) {
  for (int n = 1; n <= 40; ++n) {
    Entry e = entry_for(random_tokens(100 + static_cast<unsigned>(n), n * 37));
    e.stored.insert(e.stored.end(), 64, 0x5A);
    e.stored_size = static_cast<std::uint32_t>(e.stored.size());
    e.read_caps.assign(e.stored.size(), 1);
    SetUp();
    const Outcome shipped = run(Implementation::shipped, e);
    const Outcome oracle = run(Implementation::reference, e);
    EXPECT_EQ(shipped.events.size(), oracle.events.size()) << n;
    EXPECT_TRUE(shipped.output == oracle.output) << n;
  }
}

// Reads ask for min(stored left, 16384) bytes; writes are 16384-byte chunks and a rest.
void expect_block_rules(const Outcome& o, std::uint32_t stored_size, std::uint32_t original_size) {
  std::uint32_t stored_left = stored_size;
  std::uint32_t written = 0;
  for (const IoEvent& e : o.events) {
    if (e.kind == 'r') {
      EXPECT_EQ(e.size, std::min<std::uint32_t>(stored_left, 16384));
      stored_left -= static_cast<std::uint32_t>(e.size);
    } else {
      EXPECT_EQ(e.size, std::min<std::uint32_t>(original_size - written, 16384));
      written += static_cast<std::uint32_t>(e.size);
    }
  }
  EXPECT_EQ(written, original_size);
}

TEST_F(Decoder, ReadsAndWritesFollowTheBlockRules) {
  const Entry random = Entry{random_bytes(13, 40000), 40000, 300000};
  const Outcome o = run(Implementation::shipped, random);
  expect_block_rules(o, 40000, 300000);
  std::vector<std::size_t> reads;
  for (const IoEvent& e : o.events) {
    if (e.kind == 'r') reads.push_back(e.size);
  }
  EXPECT_EQ(reads, (std::vector<std::size_t>{16384, 16384, 7232}));

  const Entry tokens = entry_for(random_tokens(14, 60000));
  expect_block_rules(run(Implementation::shipped, tokens), tokens.stored_size,
                     tokens.original_size);
}

TEST_F(Decoder, AFinalMatchPastTheOriginalSizeIsCutOff) {
  Entry e = entry_for({Token::match(3, 50)});
  e.original_size = 1;
  const Outcome o = run(Implementation::shipped, e);
  EXPECT_EQ(o.output, text_of(" "));
  EXPECT_TRUE(o.events == (std::vector<IoEvent>{{'r', e.stored_size}, {'w', 1}}));
  EXPECT_EQ(o.result, 3);
}

// Padding after a stream changes nothing of the bits the decoder takes, on either path.
TEST_F(Decoder, TheBitsUsedEndInsideTheLastByteOfTheStream) {
  const Entry exact = entry_for(literals(text_of(std::string(3000, 'x') + "the end")));
  for (const bool bulk : {true, false}) {
    decode::decoder_use_bulk_loop(bulk);
    for (const std::uint32_t padding : {0u, 5u}) {
      Entry padded = exact;
      padded.stored.resize(exact.stored.size() + padding, 0);
      padded.stored_size += padding;
      run(Implementation::shipped, padded);
      EXPECT_GT(decode::decoder_last_bits_used(), (exact.stored_size - 1) * 8ull) << bulk;
      EXPECT_LE(decode::decoder_last_bits_used(), exact.stored_size * 8ull) << bulk;
    }
  }
  decode::decoder_use_bulk_loop(true);
}

TEST_F(Decoder, NothingIsReadOrWrittenWhenNothingIsToBeProduced) {
  for (std::uint32_t original : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    const Outcome o = run(Implementation::shipped, Entry{text_of("abc"), 3, original});
    EXPECT_EQ(o.result, 0) << original;
    EXPECT_TRUE(o.events.empty()) << original;
  }
}

// ---------------------------------------------------------------------------
// Process-wide state and failures

TEST_F(Decoder, TheRingTailCarriesToTheNextEntry) {
  const std::string first = "0123456789ABCDEFGHIJKLMNOPQRST";
  const Entry second = entry_for({Token::match(30, 4095)});
  for (Implementation which : kEveryDecoder) {
    SetUp();
    EXPECT_EQ(run(which, second).output, Bytes(30, 0)) << "fresh process";
    EXPECT_EQ(run(which, entry_for(literals(text_of(first)))).output, text_of(first));
    const Outcome o = run(which, second);
    EXPECT_EQ(std::string(o.output.begin(), o.output.end()), first);
    EXPECT_TRUE(o.events == (std::vector<IoEvent>{{'r', second.stored_size}, {'w', 30}}));
  }
}

TEST_F(Decoder, AShortWriteEndsTheEntryWithAFailure) {
  Entry e{random_bytes(15, 30000), 30000, 60000};
  const Outcome whole = run(Implementation::reference, e);
  for (int failing : {0, 1, 3}) {
    SetUp();
    e.failing_write = failing;
    const Outcome o = run(Implementation::shipped, e);
    EXPECT_EQ(o.result, decode::kDecodeWriteFailed);
    int writes = 0;
    for (const IoEvent& ev : o.events) writes += ev.kind == 'w';
    EXPECT_EQ(writes, failing + 1);
    EXPECT_EQ(o.events.back().kind, 'w') << "nothing is read after the failed write";
    EXPECT_EQ(o.output, Bytes(whole.output.begin(), whole.output.begin() + 16384 * failing));
    EXPECT_STREQ(decode::decoder_last_error(), "Write error in function WritePtr()");
  }
}

TEST_F(Decoder, DecodeMemoryHandsChunksToTheSink) {
  const Bytes data = random_bytes(16, 20000);
  const Entry e = entry_for(testsupport::greedy_tokens(data));
  Channel sink;
  EXPECT_EQ(
      decode::decode_memory(e.stored.data(), e.stored_size, e.original_size, Channel::write, &sink),
      20000);
  EXPECT_EQ(sink.output, data);
  EXPECT_TRUE(sink.events == (std::vector<IoEvent>{{'w', 16384}, {'w', 3616}}));
  EXPECT_EQ(decode::decoder_last_error(), nullptr);
  sink = Channel{};
  sink.failing_write = 0;
  EXPECT_EQ(
      decode::decode_memory(e.stored.data(), e.stored_size, e.original_size, Channel::write, &sink),
      decode::kDecodeWriteFailed);
  EXPECT_EQ(sink.events.size(), 1u);
}

// ---------------------------------------------------------------------------
// The model and the position code

TEST_F(Decoder, TheFirstRebuildComesInTheUpdateOfThe32485thSymbol) {
  static decode::Model m;
  decode::model_init(m);
  for (int n = 1; n <= 32484; ++n) decode::model_update(m, n % 7);
  EXPECT_EQ(m.weight[decode::kRoot], 32768);
  decode::model_update(m, 3);
  EXPECT_LT(m.weight[decode::kRoot], 32768);

  // Symbols right around the rebuild decode to what was coded.
  const std::vector<Token> tokens = skewed_literals(32490);
  Bytes expected;
  for (const Token& t : tokens) expected.push_back(t.byte);
  expect_every_decoder_gives(tokens, expected);
}

// Nine symbols whose weights grow like Fibonacci numbers stack the subtree of the 275
// unused leaves (weight 275) nine links down a chain: its leaves get codes of 18 bits.
// Each chain weight exceeds the subtree two links below, so merges never pair two leaves.
std::vector<Token> deep_tree_literals() {
  std::vector<unsigned> subtree = {275};  // the chain node after each link
  std::vector<unsigned> chain_weights = {276, 277};
  subtree.push_back(subtree[0] + chain_weights[0]);
  subtree.push_back(subtree[1] + chain_weights[1]);
  while (chain_weights.size() < 9) {
    chain_weights.push_back(subtree[chain_weights.size() - 1] + 1);
    subtree.push_back(subtree.back() + chain_weights.back());
  }
  std::vector<Token> tokens;
  for (std::size_t symbol = 0; symbol < chain_weights.size(); ++symbol) {
    for (unsigned n = 1; n < chain_weights[symbol]; ++n) {
      tokens.push_back(Token::literal(static_cast<std::uint8_t>(symbol)));
    }
  }
  for (int symbol = 100; symbol < 140; ++symbol)
    tokens.push_back(Token::literal(static_cast<std::uint8_t>(symbol)));
  return tokens;
}

TEST_F(Decoder, CodesLongerThan16BitsDecode) {
  const std::vector<Token> tokens = deep_tree_literals();
  EXPECT_GT(testsupport::longest_code(tokens), 16);
  Bytes expected;
  for (const Token& t : tokens) expected.push_back(t.byte);
  expect_every_decoder_gives(tokens, expected);
}

TEST(PositionCode, ByteValuesGiveTheirUpperValueAndCodeLength) {
  struct Row {
    int byte, upper, length;
  };
  const Row rows[] = {{0x00, 0, 3},  {0x1F, 0, 3},  {0x20, 1, 4},  {0x30, 2, 4},  {0x4F, 3, 4},
                      {0x50, 4, 5},  {0x8F, 11, 5}, {0x90, 12, 6}, {0xBF, 23, 6}, {0xC0, 24, 7},
                      {0xEF, 47, 7}, {0xF0, 48, 8}, {0xFF, 63, 8}};
  for (const Row& r : rows) {
    EXPECT_EQ(decode::kPositionCodes.entry[r.byte].upper, r.upper) << r.byte;
    EXPECT_EQ(decode::kPositionCodes.entry[r.byte].length, r.length) << r.byte;
  }
}

}  // namespace
