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

void encode(const std::vector<std::uint8_t>& text, int level, SymbolCoder& coder) {
  const LevelSettings& s = kLevels[std::clamp(level, kMinLevel, kMaxLevel) - kMinLevel];
  const History history{text.data(), decode::kFirstWrite, text.size()};
  if (s.optimal) {
    parse_optimal(history, OptimalSettings{s.max_depth, s.block}, coder);
  } else {
    parse_lazy(history, LazySettings{s.max_depth, s.lazy}, coder);
  }
}

}  // namespace

std::vector<std::uint8_t> text_for_input(std::size_t size) {
  std::vector<std::uint8_t> text(decode::kFirstWrite + size);
  std::fill(text.begin(), text.begin() + decode::kFirstWrite, std::uint8_t{0x20});
  return text;
}

std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size, int level) {
  if (size == 0) return {};
  std::vector<std::uint8_t> text = text_for_input(size);
  std::copy(data, data + size, text.begin() + decode::kFirstWrite);
  SymbolCoder coder;
  encode(text, level, coder);
  return coder.finish();
}

void compress_text(const std::vector<std::uint8_t>& text, int level, const ByteSink& sink) {
  if (text.size() <= decode::kFirstWrite) return;
  SymbolCoder coder(sink);
  encode(text, level, coder);
  coder.finish();
}

}  // namespace encoder
