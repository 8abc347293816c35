// The match finder against a search of every distance: for each length it must report the
// nearest match, and nothing the window does not hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/model.hpp"
#include "tests/tools/encoder_test_support.hpp"
#include "tools/encoder/match_finder.hpp"

namespace {

using encoder_test::Bytes;

// Walks every distance from the nearest outwards and keeps each match longer than the last.
std::vector<encoder::Match> every_distance(const Bytes& text, std::size_t pos) {
  std::vector<encoder::Match> found;
  const std::size_t limit = std::min<std::size_t>(encoder::kMaxMatch, text.size() - pos);
  int best = encoder::kMinMatch - 1;
  for (std::size_t d = 1; d <= std::min<std::size_t>(pos, encoder::kMaxDistance); ++d) {
    std::size_t len = 0;
    while (len < limit && text[pos - d + len] == text[pos + len]) ++len;
    if (static_cast<int>(len) > best) {
      best = static_cast<int>(len);
      found.push_back({best, static_cast<int>(d)});
    }
  }
  return found;
}

struct FinderCase {
  std::string name;
  Bytes input;
};

Bytes two_letters(std::size_t size) {
  Bytes b = encoder_test::random_bytes(size, 77);
  for (auto& byte : b) byte = (byte & 0x10) ? 'a' : 'b';
  return b;
}

Bytes words_and_spaces(std::size_t size) {
  const std::string text = "  the saver   and its data   ";
  Bytes b;
  for (std::size_t i = 0; b.size() < size; ++i)
    b.push_back(static_cast<std::uint8_t>(text[(i * 7) % text.size()]));
  return b;
}

// Random bytes said twice: the second time round only the whole window's distance matches.
Bytes repeated_window() {
  Bytes b = encoder_test::random_bytes(encoder::kMaxDistance, 6);
  const Bytes again = b;
  b.insert(b.end(), again.begin(), again.begin() + 1000);
  return b;
}

TEST(MatchFinder, ReportsTheNearestMatchOfEachLength) {
  const FinderCase cases[] = {
      {"two_letters", two_letters(2500)},
      {"words_and_spaces", words_and_spaces(2500)},
      {"random", encoder_test::random_bytes(2500, 5)},
      {"repeated_window", repeated_window()},
  };
  for (const FinderCase& c : cases) {
    Bytes text(decode::kFirstWrite, 0x20);
    text.insert(text.end(), c.input.begin(), c.input.end());
    encoder::MatchFinder finder(text.data(), text.size(), 1 << 20);
    encoder::Match out[encoder::kMaxMatch];
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      const int n = finder.find(pos, out);
      if (pos < decode::kFirstWrite - 40) continue;  // the space fill alone: nothing to learn
      const std::vector<encoder::Match> expected = every_distance(text, pos);
      ASSERT_EQ(static_cast<std::size_t>(n), expected.size()) << c.name << " at " << pos;
      for (int k = 0; k < n; ++k) {
        ASSERT_EQ(out[k].length, expected[k].length) << c.name << " at " << pos;
        ASSERT_EQ(out[k].distance, expected[k].distance) << c.name << " at " << pos;
      }
    }
  }
}

}  // namespace
