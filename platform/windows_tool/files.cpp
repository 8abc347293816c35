// The seam for scrpkg.exe: file handles and streams over the C runtime's streams. Paths are the
// tool's own (UTF-8, as its command line is turned into); they open through the wide API
// so that any name Windows allows can be read.
#include "platform/platform.hpp"

#include <windows.h>

#include <string>

namespace platform {

namespace {

std::wstring wide(const char* utf8) {
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (size <= 0) return {};
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), size);
  text.pop_back();  // the NUL the count included
  return text;
}

std::FILE* open_wide(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  const std::wstring name = wide(path);
  const std::wstring how = wide(mode);
  if (name.empty() || how.empty()) return nullptr;
  return ::_wfopen(name.c_str(), how.c_str());
}

std::FILE* stream_of(File file) {
  return reinterpret_cast<std::FILE*>(file);
}

File file_of(std::FILE* stream) {
  return stream == nullptr ? kInvalidFile : reinterpret_cast<File>(stream);
}

}  // namespace

File file_open_read(const char* path) {
  return file_of(open_wide(path, "rb"));
}

File file_create(const char* path) {
  return file_of(open_wide(path, "w+b"));
}

std::uint32_t file_read(File file, void* buffer, std::uint32_t count) {
  if (file == kInvalidFile) return kIoError;
  const std::size_t got = std::fread(buffer, 1, count, stream_of(file));
  return got < count && std::ferror(stream_of(file)) ? kIoError : static_cast<std::uint32_t>(got);
}

std::uint32_t file_write(File file, const void* buffer, std::uint32_t count) {
  if (file == kInvalidFile) return kIoError;
  return static_cast<std::uint32_t>(std::fwrite(buffer, 1, count, stream_of(file)));
}

std::int32_t file_seek(File file, std::int32_t offset, SeekFrom origin) {
  if (file == kInvalidFile) return -1;
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (std::fseek(stream_of(file), offset, kWhence[static_cast<int>(origin)]) != 0) return -1;
  return static_cast<std::int32_t>(std::ftell(stream_of(file)));
}

bool file_close(File file) {
  return file != kInvalidFile && std::fclose(stream_of(file)) == 0;
}

std::FILE* stream_open(const char* path, const char* mode) {
  return open_wide(path, mode);
}

std::size_t stream_read(void* buffer, std::size_t count, std::FILE* stream) {
  return stream == nullptr ? 0 : std::fread(buffer, 1, count, stream);
}

std::size_t stream_write(const void* buffer, std::size_t count, std::FILE* stream) {
  return stream == nullptr ? 0 : std::fwrite(buffer, 1, count, stream);
}

int stream_seek(std::FILE* stream, long offset) {
  return stream == nullptr ? -1 : std::fseek(stream, offset, SEEK_SET);
}

bool stream_close(std::FILE* stream) {
  return stream != nullptr && std::fclose(stream) == 0;
}

// The tool runs no package and installs nothing: it names packages and folders itself, so
// these two fail, as they do in a sandbox that was never configured.
std::uint32_t module_file_name(Module, char*, std::uint32_t) {
  return 0;
}

std::uint32_t windows_directory(char*, std::uint32_t) {
  return 0;
}

}  // namespace platform
