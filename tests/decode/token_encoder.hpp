// A test-only encoder: turns literal and match tokens into the bit stream the decoder
// reads, driving the shared adaptive model exactly as the decoder does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

struct Token {
  bool is_match = false;
  std::uint8_t byte = 0;  // literal
  int length = 0;         // match: 3..30
  int position = 0;       // match: 0..4095, copy starts position + 1 bytes back

  static Token literal(std::uint8_t b) { return Token{false, b, 0, 0}; }
  static Token match(int length, int position) { return Token{true, 0, length, position}; }
};

// The stream for the tokens, padded with zero bits to a whole byte.
Bytes encode_tokens(const std::vector<Token>& tokens);

// A greedy matcher: at each place the longest match (3..30 bytes) found among recent
// candidates, else a literal. Matches may reach into the spaces below the first write
// position but never into the ring's unwritten tail.
std::vector<Token> greedy_tokens(const Bytes& data);

// The longest symbol code (in bits) that encoding the tokens emits.
int longest_code(const std::vector<Token>& tokens);

}  // namespace testsupport
