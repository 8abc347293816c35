#include <algorithm>

#include "tools/encoder/match_finder.hpp"
#include "tools/encoder/parsers.hpp"

namespace encoder {
namespace {

constexpr int kPricedLength = 6;  // longer matches always beat their bytes as literals

// The matches found at one position, shortest first, each at its nearest distance.
struct Candidates {
  int count = 0;
  Match match[kMaxMatch];
  const Match& longest() const { return match[count - 1]; }
};

class LazyParser {
 public:
  LazyParser(const History& history, const LazySettings& settings, SymbolCoder& coder)
      : h_(history),
        settings_(settings),
        coder_(coder),
        finder_(h_.text, h_.size, settings.max_depth) {}

  void run() {
    for (std::size_t p = 0; p < h_.start; ++p) finder_.skip(p);
    std::size_t pos = h_.start;
    find(pos, cur_);
    while (pos < h_.size) {
      if (cur_.count > 0 && !worth_it(cur_.longest(), pos)) cur_.count = 0;
      if (cur_.count == 0) {
        coder_.put_literal(h_.text[pos]);
        find(++pos, cur_);
        continue;
      }
      std::size_t inserted = pos + 1;
      const Match chosen = cur_.longest();
      if (settings_.lazy && pos + 1 < h_.size) {
        find(pos + 1, next_);
        ++inserted;
        if (!match_now_wins(pos)) {
          coder_.put_literal(h_.text[pos]);
          ++pos;
          std::swap(cur_, next_);
          continue;
        }
      }
      coder_.put_match(chosen.length, chosen.distance);
      pos += static_cast<std::size_t>(chosen.length);
      for (; inserted < pos; ++inserted) finder_.skip(inserted);
      find(pos, cur_);
    }
  }

 private:
  void find(std::size_t pos, Candidates& c) {
    c.count = pos < h_.size ? finder_.find(pos, c.match) : 0;
  }

  bool worth_it(const Match& m, std::size_t pos) const {
    if (m.length > kPricedLength) return true;
    int literal_bits = 0;
    for (int k = 0; k < m.length; ++k) literal_bits += coder_.literal_bits(h_.text[pos + k]);
    return coder_.match_bits(m.length, m.distance) <= literal_bits;
  }

  // Twice the bits per input byte so far, in sixteenths: the price of input that a choice
  // leaves for later, where it will need a match or literals of its own.
  int byte_price() const {
    const std::size_t done = std::max<std::size_t>(1, coder_.bytes_in());
    return static_cast<int>(std::clamp<std::size_t>(coder_.bytes_written() * 256 / done, 8, 256));
  }

  // Prices the longest match at `pos` against a literal followed by the longest match at
  // pos + 1, over the same stretch of input; true when the match at `pos` wins. Only a
  // longer match is worth waiting for: an equal one would be put off again and again.
  bool match_now_wins(std::size_t pos) const {
    if (next_.count == 0) return true;
    const Match& now = cur_.longest();
    const Match& later = next_.longest();
    if (later.length <= now.length) return true;
    const int per_byte = byte_price();
    const int reach = std::max(now.length, 1 + later.length);
    const int now_cost =
        16 * coder_.match_bits(now.length, now.distance) + (reach - now.length) * per_byte;
    const int later_cost =
        16 * (coder_.literal_bits(h_.text[pos]) + coder_.match_bits(later.length, later.distance)) +
        (reach - 1 - later.length) * per_byte;
    return now_cost <= later_cost;
  }

  const History& h_;
  const LazySettings& settings_;
  SymbolCoder& coder_;
  MatchFinder finder_;
  Candidates cur_;
  Candidates next_;
};

}  // namespace

void parse_lazy(const History& history, const LazySettings& settings, SymbolCoder& coder) {
  LazyParser(history, settings, coder).run();
}

}  // namespace encoder
