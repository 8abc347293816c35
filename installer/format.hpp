// Number and text formatting for the installer's messages.
#pragma once

#include <cstddef>
#include <cstdint>

namespace installer {

// Room for the longest grouped 32-bit value, "4,294,967,295", and its NUL.
constexpr std::size_t kGroupedSize = 14;

// Writes value in decimal with a comma between every group of three digits counted from
// the right (1234567 -> "1,234,567").
void group_thousands(std::uint32_t value, char (&out)[kGroupedSize]);

// Removes trailing blanks (0x20 only) in place.
void trim_trailing_blanks(char* text);

}  // namespace installer
