// Module path, Windows directory, short names, directories and fixed local memory.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace platform {

using posix::detail::mapped;
using posix::detail::state;

// As on current Windows: a path that does not fit is cut to size - 1 characters and
// terminated, and the result is then `size`.
std::uint32_t module_file_name(Module, char* buffer, std::uint32_t size) {
  if (state().config.faults.no_module_path || buffer == nullptr || size == 0) return 0;
  const std::string path = posix::module_windows_path();
  if (path.empty()) return 0;
  if (path.size() < size) {
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
  }
  std::memcpy(buffer, path.data(), size - 1);
  buffer[size - 1] = '\0';
  return size;
}

std::uint32_t windows_directory(char* buffer, std::uint32_t size) {
  if (state().config.faults.no_windows_dir) return 0;
  const std::string path = posix::windows_directory_path();
  if (path.empty()) return 0;
  return posix::detail::copy_or_size_needed(path, buffer, size);
}

// Every name this system writes is 8.3 already, so an existing path is its own short form.
std::uint32_t short_path_name(const char* path, char* buffer, std::uint32_t size) {
  if (!path_exists(path)) return 0;
  return posix::detail::copy_or_size_needed(path, buffer, size);
}

bool create_directory(const char* path) {
  if (state().config.faults.fail_create_directory) return false;
  const std::string host = mapped(path);
  return !host.empty() && ::mkdir(host.c_str(), 0777) == 0;
}

bool path_exists(const char* path) {
  const std::string host = mapped(path);
  struct stat info;
  return !host.empty() && ::stat(host.c_str(), &info) == 0;
}

void* local_alloc(std::size_t size) {
  if (posix::config().faults.fail_local_alloc) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

void local_free(void* memory) {
  std::free(memory);
}

}  // namespace platform
