// Old-style file handles over POSIX file descriptors, buffered beneath (file_buffers.hpp).
#include "platform/platform.hpp"
#include "platform/posix/file_buffers.hpp"
#include "platform/posix/state.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

namespace platform {

namespace {

int descriptor(File file) {
  return static_cast<int>(file);
}

File open_mapped(const char* path, int flags) {
  const std::string host = posix::detail::mapped(path);
  if (host.empty()) return kInvalidFile;
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {  // Windows opens no folder as a file
    ::close(fd);
    return kInvalidFile;
  }
  return static_cast<File>(fd);
}

}  // namespace

File file_open_read(const char* path) {
  return open_mapped(path, O_RDONLY);
}

File file_create(const char* path) {
  const File file = open_mapped(path, O_RDWR | O_CREAT | O_TRUNC);
  if (file != kInvalidFile) posix::detail::watch_close(path, descriptor(file));
  return file;
}

// Reads until `count` bytes or the end of the file, like one _lread call.
std::uint32_t file_read(File file, void* buffer, std::uint32_t count) {
  if (file == kInvalidFile) return kIoError;
  const long long got =
      posix::detail::buffered_read(descriptor(file), static_cast<char*>(buffer), count);
  return got < 0 ? kIoError : static_cast<std::uint32_t>(got);
}

// Takes what the write limit allows; fewer bytes than asked is a short write. A write of
// no bytes sets the end of the file at the current position, as _lwrite does.
std::uint32_t file_write(File file, const void* buffer, std::uint32_t count) {
  if (file == kInvalidFile) return kIoError;
  if (count == 0) {
    if (!posix::detail::settle(descriptor(file))) return kIoError;
    const off_t position = ::lseek(descriptor(file), 0, SEEK_CUR);
    return position >= 0 && ::ftruncate(descriptor(file), position) == 0 ? 0 : kIoError;
  }
  const auto allowed = static_cast<std::uint32_t>(posix::detail::writable(count));
  if (allowed == 0) return 0;
  if (!posix::detail::buffered_write(descriptor(file), static_cast<const char*>(buffer), allowed))
    return kIoError;
  posix::detail::note_written(allowed);
  return allowed;
}

std::int32_t file_seek(File file, std::int32_t offset, SeekFrom origin) {
  if (file == kInvalidFile) return -1;
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (!posix::detail::settle(descriptor(file))) return -1;
  const off_t position = ::lseek(descriptor(file), offset, kWhence[static_cast<int>(origin)]);
  if (position < 0 || position > std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int32_t>(position);
}

// Bytes still waiting are written first; when that fails the close fails too.
bool file_close(File file) {
  if (file == kInvalidFile) {
    ++posix::detail::state().invalid_closes;
    return false;
  }
  const bool failing = posix::detail::close_fails(descriptor(file));
  const bool written = posix::detail::release(descriptor(file));
  return ::close(descriptor(file)) == 0 && written && !failing;
}

}  // namespace platform
