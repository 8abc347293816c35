#include "installer/free_space.hpp"

#include <cstring>

#include "platform/platform.hpp"

namespace installer {

bool free_space_parent(const char* directory, char (&parent)[kFreeSpacePathChars + 1]) {
  std::size_t length = 0;
  while (length < kFreeSpacePathChars && directory[length] != '\0') {
    parent[length] = directory[length];
    ++length;
  }
  parent[length] = '\0';

  char* last = std::strrchr(parent, '\\');
  if (last == nullptr) return false;
  last[1] = '\0';
  return true;
}

std::uint32_t kilobytes_saturated(std::uint64_t bytes) {
  const std::uint64_t kilobytes = bytes >> 10;
  return kilobytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kilobytes);
}

namespace {

// The older cluster-based call, for systems without the extended one.
std::uint32_t free_kilobytes_from_clusters(const char* parent) {
  std::uint32_t sectors_per_cluster = 0;
  std::uint32_t bytes_per_sector = 0;
  std::uint32_t free_clusters = 0;
  std::uint32_t total_clusters = 0;
  if (!platform::disk_free_space(parent, &sectors_per_cluster, &bytes_per_sector, &free_clusters,
                                 &total_clusters)) {
    return kNoFreeSpaceFigure;
  }
  const std::uint64_t bytes = static_cast<std::uint64_t>(bytes_per_sector) * free_clusters *
                              static_cast<std::uint64_t>(sectors_per_cluster);
  return kilobytes_saturated(bytes);
}

}  // namespace

std::uint32_t free_kilobytes(const char* directory) {
  char parent[kFreeSpacePathChars + 1];
  if (!free_space_parent(directory, parent)) return kNoFreeSpaceFigure;

  std::uint64_t free_to_caller = 0;
  if (platform::disk_free_space_ex(parent, &free_to_caller) == platform::FreeSpaceEx::ok) {
    return kilobytes_saturated(free_to_caller);
  }
  return free_kilobytes_from_clusters(parent);
}

}  // namespace installer
