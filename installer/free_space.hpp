// The free-space query for the Windows directory's drive.
#pragma once

#include <cstddef>
#include <cstdint>

namespace installer {

// The query looks at no more than this many characters of the directory path.
constexpr std::size_t kFreeSpacePathChars = 32;
constexpr std::uint32_t kNoFreeSpaceFigure = 0xFFFFFFFFu;

// Copies at most the first 32 characters of directory and cuts the copy after its last
// backslash (C:\WINDOWS -> C:\). False when the copy holds no backslash.
bool free_space_parent(const char* directory, char (&parent)[kFreeSpacePathChars + 1]);

// Bytes to whole kilobytes, saturating at 0xFFFFFFFF instead of wrapping.
std::uint32_t kilobytes_saturated(std::uint64_t bytes);

// Free kilobytes on the volume holding the directory's parent, or 0xFFFFFFFF when no
// figure can be had.
std::uint32_t free_kilobytes(const char* directory);

}  // namespace installer
