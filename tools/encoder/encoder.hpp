// The packer's encoder: turns a file into the compressed stream of a payload entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/encoder/bit_writer.hpp"

namespace encoder {

constexpr int kMinLevel = 1;
constexpr int kMaxLevel = 9;
constexpr int kDefaultLevel = 6;

// Compresses `size` bytes at `data`. Levels run from kMinLevel (fastest) to kMaxLevel
// (smallest); a level outside the range is clamped. An empty input gives an empty stream.
std::vector<std::uint8_t> compress(const std::uint8_t* data, std::size_t size,
                                   int level = kDefaultLevel);

// Room for an input of `size` bytes behind the space fill that the decoder's ring holds
// before the first byte: the text compress_text() reads. The caller fills the room, so the
// input is held once.
std::vector<std::uint8_t> text_for_input(std::size_t size);

// Compresses the input in a text made by text_for_input() as compress() does, handing the
// stream to `sink` a chunk at a time. An exception from the sink stops the encoding.
void compress_text(const std::vector<std::uint8_t>& text, int level, const ByteSink& sink);

}  // namespace encoder
