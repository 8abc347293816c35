// Old-style file handles over POSIX file descriptors.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  auto* bytes = static_cast<char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(descriptor(file), bytes + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return kIoError;
    if (got == 0) break;
    done += static_cast<std::uint32_t>(got);
  }
  return done;
}

// Writes what the write limit allows; fewer bytes than asked is a short write. A write of
// no bytes sets the end of the file at the current position, as _lwrite does.
std::uint32_t file_write(File file, const void* buffer, std::uint32_t count) {
  if (file == kInvalidFile) return kIoError;
  if (count == 0) {
    const off_t position = ::lseek(descriptor(file), 0, SEEK_CUR);
    return position >= 0 && ::ftruncate(descriptor(file), position) == 0 ? 0 : kIoError;
  }
  const auto allowed = static_cast<std::uint32_t>(posix::detail::writable(count));
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint32_t done = 0;
  while (done < allowed) {
    const ssize_t put = ::write(descriptor(file), bytes + done, allowed - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<std::uint32_t>(put);
  }
  posix::detail::note_written(done);
  if (done == 0 && allowed > 0) return kIoError;
  return done;
}

std::int32_t file_seek(File file, std::int32_t offset, SeekFrom origin) {
  if (file == kInvalidFile) return -1;
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  const off_t position = ::lseek(descriptor(file), offset, kWhence[static_cast<int>(origin)]);
  if (position < 0 || position > std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int32_t>(position);
}

bool file_close(File file) {
  if (file == kInvalidFile) return false;
  const bool failing = posix::detail::close_fails(descriptor(file));
  return ::close(descriptor(file)) == 0 && !failing;
}

}  // namespace platform
