#include "inspect/bodies.hpp"

#include <fstream>

#include "decode/decoder.hpp"

namespace scrpkg::inspect {
namespace {

bool count_bytes(void* context, const unsigned char*, std::size_t size) {
  *static_cast<std::uint64_t*>(context) += size;
  return true;
}

std::string entry_label(std::size_t index) {
  return "entry " + std::to_string(index);
}

// The entry's stored bytes as they are in the file.
std::vector<unsigned char> read_body(const Package& package, const payload::Entry& entry) {
  std::vector<unsigned char> body(entry.stored_size);
  std::ifstream in(package.path, std::ios::binary);
  in.seekg(entry.offset);
  in.read(reinterpret_cast<char*>(body.data()), static_cast<std::streamsize>(body.size()));
  body.resize(static_cast<std::size_t>(in.gcount()));
  return body;
}

// Empty when the stream of `stored_size` bytes ended inside its last byte.
std::optional<std::string> stream_end_reason(std::uint64_t bits_used, std::uint32_t stored_size) {
  const std::uint64_t stored_bits = std::uint64_t{stored_size} * 8;
  if (bits_used > stored_bits) {
    return "its bit stream runs " + std::to_string(bits_used - stored_bits) +
           " bits past its stored bytes";
  }
  const std::uint64_t unread = (stored_bits - bits_used) / 8;
  if (unread == 0) return std::nullopt;
  return "its bit stream leaves " + std::to_string(unread) + " of its " +
         std::to_string(stored_size) + " stored bytes unread";
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

DecodeCheck decode_all_in_memory(const Package& package) {
  DecodeCheck check;
  decode::decoder_reset_process_state();
  for (std::size_t i = 0; i < package.entries.size(); ++i) {
    const payload::Entry& e = package.entries[i];
    if (!payload::is_compressed(e)) continue;
    const std::vector<unsigned char> body = read_body(package, e);
    if (body.size() != e.stored_size) {
      check.problem = entry_label(i) + ": stored bytes cut short";
      break;
    }
    std::uint64_t restored = 0;
    decode::decode_memory(body.data(), e.stored_size, e.original_size, count_bytes, &restored);
    if (restored != e.original_size) {
      check.problem = entry_label(i) + ": restores " + std::to_string(restored) +
                      " bytes instead of " + std::to_string(e.original_size);
      break;
    }
    if (auto why = stream_end_reason(decode::decoder_last_bits_used(), e.stored_size))
      check.suspects.push_back({i, *why});
  }
  return check;
}

}  // namespace scrpkg::inspect
