// Read-ahead and delayed writes for the sandbox's file handles.
#include "platform/posix/file_buffers.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

namespace platform::posix::detail {

namespace {

// A seek followed by a small read (a header, a table entry) reads this much ahead.
constexpr std::size_t kFirstFill = 4096;

struct FileBuffer {
  std::unique_ptr<char[]> bytes{new char[kFileBufferSize]};
  std::size_t start = 0;  // reading: the next byte to hand out; always <= end
  std::size_t end = 0;    // reading: end of the bytes read ahead; writing: end of waiting bytes
  bool writing = false;   // bytes [0, end) wait to be written at the descriptor's position
  bool failed = false;    // a delayed write failed: later writes and the close fail too
  std::size_t fill = kFirstFill;  // what the next read-ahead asks for: doubles up to
                                  // kFileBufferSize while reads run on, kFirstFill after a seek
};

// Buffers of the handles that read or wrote since they were opened, by descriptor.
std::map<int, FileBuffer>& buffers() {
  static std::map<int, FileBuffer> open;
  return open;
}

// Reads into `out` until `count` bytes or the end of the file; -1 on a failure.
long long read_fully(int fd, char* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd, out + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return done == 0 ? -1 : static_cast<long long>(done);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<long long>(done);
}

bool write_fully(int fd, const char* bytes, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(fd, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool settle_buffer(int fd, FileBuffer& buffer) {
  if (buffer.writing && !buffer.failed && !write_fully(fd, buffer.bytes.get(), buffer.end))
    buffer.failed = true;
  if (!buffer.writing && buffer.end > buffer.start) {
    ::lseek(fd, -static_cast<off_t>(buffer.end - buffer.start), SEEK_CUR);
  }
  buffer.start = buffer.end = 0;
  buffer.writing = false;
  buffer.fill = kFirstFill;
  return !buffer.failed;
}

}  // namespace

long long buffered_read(int fd, char* out, std::size_t count) {
  FileBuffer& buffer = buffers()[fd];
  if (buffer.writing && !settle_buffer(fd, buffer)) return -1;
  std::size_t done = 0;
  while (done < count) {
    if (buffer.start == buffer.end) {
      if (count - done >= kFileBufferSize) {  // nothing to gain from copying through
        const long long got = read_fully(fd, out + done, count - done);
        return got < 0 ? (done == 0 ? -1 : static_cast<long long>(done)) : done + got;
      }
      const long long got = read_fully(fd, buffer.bytes.get(), buffer.fill);
      buffer.fill = std::min(buffer.fill * 2, kFileBufferSize);
      buffer.start = 0;
      buffer.end = got < 0 ? 0 : static_cast<std::size_t>(got);
      if (got < 0) return done == 0 ? -1 : static_cast<long long>(done);
      if (got == 0) break;
    }
    const std::size_t take = std::min(count - done, buffer.end - buffer.start);
    std::copy_n(buffer.bytes.get() + buffer.start, take, out + done);
    buffer.start += take;
    done += take;
  }
  return static_cast<long long>(done);
}

bool buffered_write(int fd, const char* bytes, std::size_t count) {
  FileBuffer& buffer = buffers()[fd];
  if (!buffer.writing) settle_buffer(fd, buffer);
  if (buffer.failed) return false;
  buffer.writing = true;
  while (count > 0) {
    if (buffer.end == kFileBufferSize && !settle_buffer(fd, buffer)) return false;
    buffer.writing = true;
    const std::size_t take = std::min(count, kFileBufferSize - buffer.end);
    std::copy_n(bytes, take, buffer.bytes.get() + buffer.end);
    buffer.end += take;
    bytes += take;
    count -= take;
  }
  return true;
}

bool settle(int fd) {
  const auto found = buffers().find(fd);
  return found == buffers().end() || settle_buffer(fd, found->second);
}

bool release(int fd) {
  const bool settled = settle(fd);
  buffers().erase(fd);
  return settled;
}

}  // namespace platform::posix::detail
