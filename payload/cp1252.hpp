#pragma once

#include <cstddef>
#include <cstdint>

namespace payload {

// Windows-1252, a package's code page: bytes 0x80 to 0x9F as code points, 0 if unassigned.
inline constexpr std::uint16_t kCp1252HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a code point, or -1 when the code page has none for it.
inline int cp1252_byte(std::uint32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
    return static_cast<int>(code_point);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252HighControls[i] == code_point) return 0x80 + i;  // code_point is not 0 here
  }
  return -1;
}

// Decodes the UTF-8 sequence at text[at] and moves `at` past it: the code point, or -1 when
// the sequence is not well formed (a lead byte outside 00 to 7F and C2 to F4, or fewer
// continuation bytes than it announces).
inline std::int32_t next_utf8_code_point(const char* text, std::size_t size, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  if (lead < 0xC2 || lead > 0xF4) return -1;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  std::int32_t code_point = lead & (0x3F >> extra);
  for (; extra > 0; --extra, ++at) {
    if (at >= size) return -1;
    const auto c = static_cast<unsigned char>(text[at]);
    if ((c & 0xC0) != 0x80) return -1;
    code_point = (code_point << 6) | (c & 0x3F);
  }
  return code_point;
}

}  // namespace payload
