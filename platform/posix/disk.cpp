// Free disk space of the host file system holding a mapped path, or the configured figure.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <sys/statvfs.h>

#include <algorithm>

namespace platform {

namespace {

constexpr std::uint32_t kBytesPerSector = 512;
constexpr std::uint32_t kSectorsPerCluster = 8;
constexpr std::uint64_t kClusterBytes = kBytesPerSector * kSectorsPerCluster;

struct Space {
  std::uint64_t free_bytes;
  std::uint64_t total_bytes;
};

bool query_space(const char* path, Space& space) {
  const std::string host = posix::detail::mapped(path);
  struct statvfs info;
  if (host.empty() || ::statvfs(host.c_str(), &info) != 0) return false;
  space.free_bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  space.total_bytes = static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
  const auto& free_kb = posix::detail::state().config.machine.free_kb;
  if (free_kb) space.free_bytes = *free_kb * 1024;
  space.total_bytes = std::max(space.total_bytes, space.free_bytes);
  return true;
}

std::uint32_t clusters(std::uint64_t bytes) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes / kClusterBytes, 0xFFFFFFFFu));
}

}  // namespace

FreeSpaceEx disk_free_space_ex(const char* path, std::uint64_t* free_to_caller) {
  const Library kernel = library_load("KERNEL32.DLL");
  if (kernel == nullptr) return FreeSpaceEx::unavailable;
  const bool has_call = library_has_export(kernel, "GetDiskFreeSpaceExA");
  library_free(kernel);
  if (!has_call) return FreeSpaceEx::unavailable;
  Space space;
  if (!query_space(path, space)) return FreeSpaceEx::failed;
  if (free_to_caller != nullptr) *free_to_caller = space.free_bytes;
  return FreeSpaceEx::ok;
}

bool disk_free_space(const char* path, std::uint32_t* sectors_per_cluster,
                     std::uint32_t* bytes_per_sector, std::uint32_t* free_clusters,
                     std::uint32_t* total_clusters) {
  Space space;
  if (!query_space(path, space)) return false;
  if (sectors_per_cluster != nullptr) *sectors_per_cluster = kSectorsPerCluster;
  if (bytes_per_sector != nullptr) *bytes_per_sector = kBytesPerSector;
  if (free_clusters != nullptr) *free_clusters = clusters(space.free_bytes);
  if (total_clusters != nullptr) *total_clusters = clusters(space.total_bytes);
  return true;
}

}  // namespace platform
