#include "token_encoder.hpp"

#include <algorithm>

#include "decode/model.hpp"
#include "decode/position_code.hpp"

namespace testsupport {
namespace {

// Code bits of one symbol, root first: the low `length` bits of `bits`.
struct Code {
  std::uint64_t bits;
  int length;
};

class BitWriter {
 public:
  void put(std::uint64_t bits, int length) {
    for (int i = length - 1; i >= 0; --i) {
      pending_ = static_cast<unsigned>((pending_ << 1) | ((bits >> i) & 1u));
      if (++pending_length_ == 8) {
        out_.push_back(static_cast<std::uint8_t>(pending_));
        pending_ = 0;
        pending_length_ = 0;
      }
    }
  }
  Bytes finish() {
    if (pending_length_ > 0) put(0, 8 - pending_length_);
    return out_;
  }

 private:
  Bytes out_;
  unsigned pending_ = 0;
  int pending_length_ = 0;
};

// Walks leaf to root collecting the branch taken at each step; codes can exceed 16 bits.
Code code_of(const decode::Model& m, int symbol) {
  Code code{0, 0};
  int node = m.parent[decode::kLeafBase + symbol];
  while (node != decode::kRoot) {
    const int parent = m.parent[node];
    code.bits |= static_cast<std::uint64_t>(node - m.child[parent]) << code.length;
    ++code.length;
    node = parent;
  }
  return code;
}

// The upper 6 bits go out as the leading bits of the first byte value that decodes to them.
void put_position(BitWriter& out, int position) {
  const int upper = position >> 6;
  int first = 0;
  while (decode::kPositionCodes.entry[first].upper != upper) ++first;
  const int length = decode::kPositionCodes.entry[first].length;
  out.put(static_cast<std::uint64_t>(first) >> (8 - length), length);
  out.put(static_cast<std::uint64_t>(position & 63), 6);
}

int symbol_of(const Token& t) {
  return t.is_match ? 256 + t.length - (decode::kThreshold + 1) : t.byte;
}

}  // namespace

Bytes encode_tokens(const std::vector<Token>& tokens) {
  static decode::Model model;  // large: keep it off the stack
  decode::model_init(model);
  BitWriter out;
  for (const Token& t : tokens) {
    const Code code = code_of(model, symbol_of(t));
    out.put(code.bits, code.length);
    decode::model_update(model, symbol_of(t));
    if (t.is_match) put_position(out, t.position);
  }
  return out.finish();
}

int longest_code(const std::vector<Token>& tokens) {
  static decode::Model model;
  decode::model_init(model);
  int longest = 0;
  for (const Token& t : tokens) {
    const int length = code_of(model, symbol_of(t)).length;
    if (length > longest) longest = length;
    decode::model_update(model, symbol_of(t));
  }
  return longest;
}

std::vector<Token> greedy_tokens(const Bytes& data) {
  // Spaces stand for the ring's filled part; a match may start anywhere in them.
  Bytes text(decode::kFirstWrite + data.size(), ' ');
  std::copy(data.begin(), data.end(), text.begin() + decode::kFirstWrite);
  constexpr int kHashSize = 1 << 14;
  constexpr int kCandidates = 16;
  std::vector<int> head(kHashSize, -1);
  std::vector<int> previous(text.size(), -1);
  auto hash = [&](std::size_t i) {
    return ((text[i] << 6) ^ (text[i + 1] << 3) ^ text[i + 2] ^ (text[i] >> 2)) & (kHashSize - 1);
  };
  auto insert = [&](std::size_t i) {
    if (i + 2 >= text.size()) return;
    const int h = hash(i);
    previous[i] = head[h];
    head[h] = static_cast<int>(i);
  };
  for (std::size_t i = 0; i < decode::kFirstWrite; ++i) insert(i);

  std::vector<Token> tokens;
  std::size_t i = decode::kFirstWrite;
  while (i < text.size()) {
    int best_length = 0;
    std::size_t best_from = 0;
    if (i + 2 < text.size()) {
      int candidate = head[hash(i)];
      for (int n = 0; n < kCandidates && candidate >= 0; ++n, candidate = previous[candidate]) {
        const std::size_t from = static_cast<std::size_t>(candidate);
        if (i - from > static_cast<std::size_t>(decode::kRingSize)) break;
        int length = 0;
        while (length < decode::kMaxMatch && i + length < text.size() &&
               text[from + length] == text[i + length]) {
          ++length;
        }
        if (length > best_length) {
          best_length = length;
          best_from = from;
        }
      }
    }
    const std::size_t step = best_length > decode::kThreshold ? best_length : 1;
    if (step > 1) {
      tokens.push_back(Token::match(best_length, static_cast<int>(i - best_from - 1)));
    } else {
      tokens.push_back(Token::literal(text[i]));
    }
    for (std::size_t k = 0; k < step; ++k) insert(i + k);
    i += step;
  }
  return tokens;
}

}  // namespace testsupport
