// The fixed prefix code for the upper 6 bits of a match position, as a table indexed by
// the next 8 bits of the stream: each entry gives the upper value and the code's length.
#pragma once

#include <cstdint>

namespace decode {

struct PositionCode {
  std::uint8_t upper;   // 0..63
  std::uint8_t length;  // 3..8 bits
};

// Codes of length 3..8 take 32, 16, 8, 4, 2 and 1 byte values each; the groups of lengths
// 3 to 8 hold 1, 3, 8, 12, 24 and 16 upper values. At namespace scope the counts are read-only
// data; a local array would be copied from the stub's data section, which is otherwise zeros.
inline constexpr std::uint8_t kUppersPerLength[6] = {1, 3, 8, 12, 24, 16};

constexpr void fill_position_codes(PositionCode (&entry)[256]) {
  int byte = 0;
  int upper = 0;
  for (int group = 0; group < 6; ++group) {
    const int length = group + 3;
    const int span = 1 << (8 - length);
    for (int n = 0; n < kUppersPerLength[group]; ++n, ++upper) {
      for (int k = 0; k < span; ++k, ++byte) {
        entry[byte].upper = static_cast<std::uint8_t>(upper);
        entry[byte].length = static_cast<std::uint8_t>(length);
      }
    }
  }
}

struct PositionCodeTable {
  PositionCode entry[256];
  constexpr PositionCodeTable() : entry{} { fill_position_codes(entry); }
};

// The table as a constant, for the packer and tests. The decoder fills its own copy at run
// time instead, which keeps 512 bytes of constants out of the installer stub.
inline constexpr PositionCodeTable kPositionCodes{};

}  // namespace decode
