// Decoding an entry between two files opened through the platform's streams: kernel file
// handles in the stub, C streams in the sandbox and scrpkg.exe (platform/platform.hpp).
#include <cstdio>

#include "decode/decoder.hpp"
#include "platform/platform.hpp"

namespace decode {
namespace {

std::size_t read_file(void* context, unsigned char* buffer, std::size_t size) {
  return platform::stream_read(buffer, size, static_cast<std::FILE*>(context));
}

bool write_file(void* context, const unsigned char* data, std::size_t size) {
  return platform::stream_write(data, size, static_cast<std::FILE*>(context)) == size;
}

}  // namespace

int decode_file_to_file(const char* source, std::uint32_t offset, EntrySizes sizes,
                        const char* target) {
  std::FILE* in = platform::stream_open(source, "rb");
  if (in == nullptr) return kDecodeNotRun;
  // An offset past 2 GiB cannot be reached through a long on every platform.
  if (offset > 0x7FFFFFFFu || platform::stream_seek(in, static_cast<long>(offset)) != 0) {
    platform::stream_close(in);
    return kDecodeNotRun;
  }
  std::FILE* out = platform::stream_open(target, "wb");
  if (out == nullptr) {
    platform::stream_close(in);
    return kDecodeNotCreated;
  }
  const std::int32_t result = decode_from_reader(read_file, in, sizes, write_file, out);
  // The last chunk may be accepted and fail only at the close, where the system (or a C
  // stream) writes what it still held.
  const bool closed = platform::stream_close(out);
  platform::stream_close(in);
  return result == kDecodeWriteFailed || !closed ? kDecodeWriteFailed : kDecodeDone;
}

int decode_entry_to_file(platform::Module module, std::uint32_t offset, EntrySizes sizes,
                         const char* target) {
  char module_path[platform::kPathSize];
  const std::uint32_t length = platform::module_file_name(module, module_path, sizeof module_path);
  if (length == 0 || length >= sizeof module_path) return kDecodeNotRun;
  return decode_file_to_file(module_path, offset, sizes, target);
}

}  // namespace decode
