// Buffered streams for the decoder, with the write limit and failing closes applied.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

#include <sys/stat.h>

namespace platform {

std::FILE* stream_open(const char* path, const char* mode) {
  const std::string host = posix::detail::mapped(path);
  if (host.empty() || mode == nullptr) return nullptr;
  std::FILE* stream = std::fopen(host.c_str(), mode);
  struct stat info;
  if (stream != nullptr && (::fstat(::fileno(stream), &info) != 0 || S_ISDIR(info.st_mode))) {
    std::fclose(stream);  // a folder is no file to read, as on Windows
    return nullptr;
  }
  if (stream != nullptr && mode[0] == 'w') posix::detail::watch_close(path, ::fileno(stream));
  return stream;
}

std::size_t stream_read(void* buffer, std::size_t count, std::FILE* stream) {
  if (stream == nullptr) return 0;
  return std::fread(buffer, 1, count, stream);
}

std::size_t stream_write(const void* buffer, std::size_t count, std::FILE* stream) {
  if (stream == nullptr) return 0;
  const std::size_t allowed = posix::detail::writable(count);
  const std::size_t done = allowed == 0 ? 0 : std::fwrite(buffer, 1, allowed, stream);
  posix::detail::note_written(done);
  return done;
}

int stream_seek(std::FILE* stream, long offset) {
  if (stream == nullptr) return -1;
  return std::fseek(stream, offset, SEEK_SET);
}

bool stream_close(std::FILE* stream) {
  if (stream == nullptr) return false;
  const bool failing = posix::detail::close_fails(::fileno(stream));
  return std::fclose(stream) == 0 && !failing;
}

}  // namespace platform
