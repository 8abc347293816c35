#include "tools/encoder/encoder.hpp"

#include <algorithm>

#include "tools/encoder/parsers.hpp"

namespace encoder {
namespace {

struct LevelSettings {
  bool optimal;
  bool lazy;
  int max_depth;
  std::size_t block;
};

constexpr LevelSettings kLevels[kMaxLevel - kMinLevel + 1] = {
    {false, false, 4, 0},    {false, false, 8, 0},       {false, false, 16, 0},
    {false, true, 8, 0},     {false, true, 16, 0},       {false, true, 32, 0},
    {true, false, 16, 4096}, {true, false, 32, 1 << 16}, {true, false, 64, 1 << 20},
};

// The ring's space fill followed by the input: the text every match is taken from.
std::vector<std::uint8_t> history_text(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> text(decode::kFirstWrite + size, 0x20);
  std::copy(data, data + size, text.begin() + decode::kFirstWrite);
  return text;
}

}  // namespace

std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size, int level) {
  if (size == 0) return {};
  const LevelSettings& s = kLevels[std::clamp(level, kMinLevel, kMaxLevel) - kMinLevel];
  const std::vector<std::uint8_t> text = history_text(data, size);
  const History history{text.data(), decode::kFirstWrite, text.size()};
  SymbolCoder coder;
  if (s.optimal) {
    parse_optimal(history, OptimalSettings{s.max_depth, s.block}, coder);
  } else {
    parse_lazy(history, LazySettings{s.max_depth, s.lazy}, coder);
  }
  return coder.finish();
}

}  // namespace encoder
