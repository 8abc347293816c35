// The payload layout: one definition shared by every reader and by the packer.
//
// At the payload start: a 32-byte display name, a 16-bit file-number base, then a table
// of 16-byte entries ended by an entry whose stored size is 0. All integers are
// little-endian and unsigned.
#pragma once

#include <cstdint>

namespace payload {

constexpr std::uint32_t kNameSize = 32;    // display name field
constexpr std::uint32_t kBaseSize = 2;     // file-number base field
constexpr std::uint32_t kHeaderSize = 34;  // name + base; the table follows
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kExtensionSize = 4;
constexpr std::uint32_t kPlaceholderSize = 4;   // the LASTRES data in an unpackaged stub
constexpr char kPlaceholderType[] = "LASTRES";  // its resource type, first in tree order

// The readers seek with signed 32-bit positions, as the installer does, and decode an
// original size as a signed 32-bit count: a package file, and so every offset, stored and
// original size in it, stays at or below this. Larger ones are refused, not cut.
constexpr std::uint32_t kMaxPackageSize = 0x7FFFFFFF;  // 2 GiB - 1
constexpr std::uint32_t kMaxEntrySize = kMaxPackageSize;

// Entry roles by position in the table.
constexpr std::uint32_t kSaverIndex = 0;
constexpr std::uint32_t kDataIndex = 1;

struct Entry {
  std::uint32_t offset;            // absolute position of the stored bytes in the file
  std::uint32_t stored_size;       // 0 ends the table
  std::uint32_t original_size;     // 0: stored as is; otherwise compressed
  char extension[kExtensionSize];  // ".SCR", NUL-padded, unterminated at 4 characters
};

inline std::uint16_t get_u16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t get_u32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void put_u16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

inline void put_u32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline Entry decode_entry(const unsigned char* raw) {
  Entry e{get_u32(raw), get_u32(raw + 4), get_u32(raw + 8), {}};
  for (std::uint32_t i = 0; i < kExtensionSize; ++i)
    e.extension[i] = static_cast<char>(raw[12 + i]);
  return e;
}

inline void encode_entry(const Entry& e, unsigned char* raw) {
  put_u32(raw, e.offset);
  put_u32(raw + 4, e.stored_size);
  put_u32(raw + 8, e.original_size);
  for (std::uint32_t i = 0; i < kExtensionSize; ++i)
    raw[12 + i] = static_cast<unsigned char>(e.extension[i]);
}

inline bool is_compressed(const Entry& e) {
  return e.original_size != 0;
}

// What the entry adds to the installed size.
inline std::uint32_t installed_size(const Entry& e) {
  return is_compressed(e) ? e.original_size : e.stored_size;
}

}  // namespace payload
