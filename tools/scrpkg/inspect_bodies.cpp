#include "inspect_bodies.hpp"

#include <fstream>

#include "decode/decoder.hpp"

namespace scrpkg {
namespace {

bool count_bytes(void* context, const unsigned char*, std::size_t size) {
  *static_cast<std::uint64_t*>(context) += size;
  return true;
}

std::string entry_label(std::size_t index) {
  return "entry " + std::to_string(index);
}

}  // namespace

std::optional<std::string> body_outside_file(const Package& package) {
  for (std::size_t i = 0; i < package.entries.size(); ++i) {
    const payload::Entry& e = package.entries[i];
    const std::uint64_t end = std::uint64_t{e.offset} + e.stored_size;
    if (end > package.file_size) {
      return entry_label(i) + ": stored bytes " + std::to_string(e.offset) + " to " +
             std::to_string(end) + " run past the end of the file (" +
             std::to_string(package.file_size) + " bytes)";
    }
  }
  return std::nullopt;
}

std::vector<unsigned char> read_body(const Package& package, const payload::Entry& entry) {
  std::vector<unsigned char> body(entry.stored_size);
  std::ifstream in(package.path, std::ios::binary);
  in.seekg(entry.offset);
  in.read(reinterpret_cast<char*>(body.data()), static_cast<std::streamsize>(body.size()));
  body.resize(static_cast<std::size_t>(in.gcount()));
  return body;
}

std::optional<std::string> decode_all_in_memory(const Package& package) {
  decode::decoder_reset_process_state();
  for (std::size_t i = 0; i < package.entries.size(); ++i) {
    const payload::Entry& e = package.entries[i];
    if (!payload::is_compressed(e)) continue;
    const std::vector<unsigned char> body = read_body(package, e);
    if (body.size() != e.stored_size) return entry_label(i) + ": stored bytes cut short";
    std::uint64_t restored = 0;
    decode::decode_memory(body.data(), e.stored_size, e.original_size, count_bytes, &restored);
    if (restored != e.original_size) {
      return entry_label(i) + ": restores " + std::to_string(restored) + " bytes instead of " +
             std::to_string(e.original_size);
    }
  }
  return std::nullopt;
}

}  // namespace scrpkg
