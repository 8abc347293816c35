// The decoder over arbitrary stored bytes and original sizes, against the plain reference
// decoder: the same bytes, the same count, and always exactly the original size.
//
// Input: 4 bytes of original size (little-endian), then the stored bytes. From 2 GiB up the
// size is kept, and nothing may come out. Below, fuzz_decode keeps the size within two ring
// lengths so that it runs quickly; fuzz_decode_large (this file built with FUZZ_DECODE_LARGE)
// takes sizes up to 64 KB, past the output chunk, the input block and a model rebuild, or
// up to 1 MB with bit 30. Bit 29 sends every symbol through the per-symbol path, as the
// size-built installer stub decodes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.hpp"
#include "decode/model.hpp"
#include "reference_decoder.hpp"
#include "tests/fuzz/fuzz_support.hpp"

namespace {

#ifdef FUZZ_DECODE_LARGE
constexpr std::uint32_t kLargestOriginal = 1u << 20;
constexpr std::uint32_t kLargestQuick = 1u << 16;
#else
constexpr std::uint32_t kLargestOriginal = 2 * decode::kRingSize;
constexpr std::uint32_t kLargestQuick = kLargestOriginal;
#endif
constexpr std::uint32_t kLargeFlag = 1u << 30;
constexpr std::uint32_t kPerSymbolFlag = 1u << 29;
constexpr std::uint32_t kNegativeSizes = 0x80000000u;  // compared signed: nothing decoded

using Output = std::vector<std::uint8_t>;

bool collect(void* context, const unsigned char* data, std::size_t size) {
  auto* out = static_cast<Output*>(context);
  out->insert(out->end(), data, data + size);
  return true;
}

struct Memory {
  const std::uint8_t* data;
  std::size_t left;
};

std::size_t read_memory(void* context, unsigned char* buffer, std::size_t size) {
  auto* memory = static_cast<Memory*>(context);
  const std::size_t count = size < memory->left ? size : memory->left;
  std::copy_n(memory->data, count, buffer);
  memory->data += count;
  memory->left -= count;
  return count;
}

std::uint32_t original_size_of(const std::uint8_t* data) {
  const std::uint32_t raw = fuzz::le32(data);
  if (raw >= kNegativeSizes) return raw;
  return raw % ((raw & kLargeFlag) != 0 ? kLargestOriginal + 1 : kLargestQuick + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint32_t original = original_size_of(data);
  const std::uint8_t* stored = data + 4;
  const auto stored_size = static_cast<std::uint32_t>(size - 4);

  // Each input stands alone: both decoders start from a fresh process's state.
  decode::decoder_reset_process_state();
  reference::reset_process_state();
  // Kept between inputs: fresh vectors cost more in page faults than the decode itself.
  static Output shipped, expected;
  shipped.clear();
  expected.clear();
  decode::decoder_use_bulk_loop((fuzz::le32(data) & kPerSymbolFlag) == 0);
  const std::int32_t count =
      decode::decode_memory(stored, stored_size, original, collect, &shipped);
  decode::decoder_use_bulk_loop(true);
  Memory memory{stored, stored_size};
  const std::int32_t reference_count =
      reference::decode(read_memory, &memory, collect, &expected, stored_size, original);

  FUZZ_REQUIRE(count == reference_count,
               std::to_string(count) + " vs " + std::to_string(reference_count));
  FUZZ_REQUIRE(shipped == expected, "restored bytes differ from the reference");
  const std::size_t wanted = original >= kNegativeSizes ? 0 : original;
  FUZZ_REQUIRE(shipped.size() == wanted, "restored " + std::to_string(shipped.size()));
  return 0;
}
