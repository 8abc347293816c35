// File access of the platform seam: the old-style kernel file handles, for the payload and
// the installer's own file and, behind the stream calls, for the decoder.
#include "platform/platform.hpp"
#include "platform/win32/win32.hpp"

namespace platform {

namespace {

HFILE as_handle(File file) {
  return static_cast<HFILE>(file);
}

}  // namespace

static_assert(HFILE_ERROR == kInvalidFile, "a failed _lopen or _lcreat is returned as it is");

File file_open_read(const char* path) {
  return _lopen(path, OF_READ | OF_SHARE_DENY_NONE);
}

File file_create(const char* path) {
  return _lcreat(path, 0);
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

// The decoder's streams are the same kernel handles, unbuffered: the decoder already reads
// and writes whole blocks. The std::FILE* the seam hands out is never dereferenced; it
// carries the handle's value (a kernel handle is never 0, so null still means "not open").
namespace {

std::FILE* as_stream(File file) {
  return file == kInvalidFile ? nullptr : reinterpret_cast<std::FILE*>(file);
}

File as_file(std::FILE* stream) {
  return reinterpret_cast<File>(stream);
}

// The count a stdio call would report: a failed transfer moved nothing.
std::size_t transferred(std::uint32_t result) {
  return result == kIoError ? 0 : result;
}

}  // namespace

std::FILE* stream_open(const char* path, const char* mode) {
  // "rb": an existing file, for reading; "wb": created, or emptied when it exists.
  if (mode[0] == 'r') return as_stream(file_open_read(path));
  if (mode[0] == 'w') return as_stream(file_create(path));
  return nullptr;
}

std::size_t stream_read(void* buffer, std::size_t count, std::FILE* stream) {
  return transferred(file_read(as_file(stream), buffer, static_cast<std::uint32_t>(count)));
}

std::size_t stream_write(const void* buffer, std::size_t count, std::FILE* stream) {
  // A write of 0 bytes through _lwrite would cut the file at the current position.
  if (count == 0) return 0;
  return transferred(file_write(as_file(stream), buffer, static_cast<std::uint32_t>(count)));
}

int stream_seek(std::FILE* stream, long offset) {
  return file_seek(as_file(stream), offset, SeekFrom::begin) < 0 ? -1 : 0;
}

bool stream_close(std::FILE* stream) {
  return file_close(as_file(stream));
}

}  // namespace platform
