// The packer's encoder: turns a file into the compressed stream of a payload entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace encoder {

constexpr int kMinLevel = 1;
constexpr int kMaxLevel = 9;
constexpr int kDefaultLevel = 6;

// Compresses `size` bytes at `data`. Levels run from kMinLevel (fastest) to kMaxLevel
// (smallest); a level outside the range is clamped. An empty input gives an empty stream.
std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size,
                                   int level = kDefaultLevel);

}  // namespace encoder
