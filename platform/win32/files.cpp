// File access of the platform seam: the old-style handles for the payload and the
// installer's own file, msvcrt's buffered streams for the decoder.
#include "platform/platform.hpp"
#include "platform/win32/win32.hpp"

namespace platform {

namespace {

HFILE as_handle(File file) {
  return static_cast<HFILE>(file);
}

}  // namespace

File file_open_read(const char* path) {
  HFILE handle = _lopen(path, OF_READ | OF_SHARE_DENY_NONE);
  return handle == HFILE_ERROR ? kInvalidFile : handle;
}

File file_create(const char* path) {
  HFILE handle = _lcreat(path, 0);
  return handle == HFILE_ERROR ? kInvalidFile : handle;
}

std::uint32_t file_read(File file, void* buffer, std::uint32_t count) {
  return _lread(as_handle(file), buffer, count);
}

std::uint32_t file_write(File file, const void* buffer, std::uint32_t count) {
  return _lwrite(as_handle(file), static_cast<LPCCH>(buffer), count);
}

std::int32_t file_seek(File file, std::int32_t offset, SeekFrom origin) {
  return _llseek(as_handle(file), offset, static_cast<int>(origin));
}

bool file_close(File file) {
  return _lclose(as_handle(file)) != HFILE_ERROR;
}

std::FILE* stream_open(const char* path, const char* mode) {
  return fopen(path, mode);
}

std::size_t stream_read(void* buffer, std::size_t count, std::FILE* stream) {
  return fread(buffer, 1, count, stream);
}

std::size_t stream_write(const void* buffer, std::size_t count, std::FILE* stream) {
  return fwrite(buffer, 1, count, stream);
}

int stream_seek(std::FILE* stream, long offset) {
  return fseek(stream, offset, SEEK_SET);
}

bool stream_close(std::FILE* stream) {
  return fclose(stream) == 0;
}

}  // namespace platform
