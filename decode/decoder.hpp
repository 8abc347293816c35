// The LZSS decoder with adaptive Huffman coding, and the operations that decode one
// compressed payload entry into a file or into a caller's sink.
//
// All decoder state (tree, ring, both stream buffers) is process-wide fixed storage that
// serves one decode at a time. Each entry starts with a fresh tree and the ring positions
// below kFirstWrite filled with spaces; the last kMaxMatch ring positions keep the bytes of
// the previous entry, as they always have.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.hpp"

namespace decode {

constexpr int kDecodeDone = 1;          // the decoder ran
constexpr int kDecodeNotRun = 0;        // no module path, or the source could not be opened
constexpr int kDecodeWriteFailed = -1;  // the target took fewer bytes than it was given, or
                                        // failed to close (bytes held by the stream lost)
constexpr int kDecodeNotCreated = -2;   // the target file could not be created

// Receives a chunk of restored bytes; false means the chunk was not (fully) written.
using Sink = bool (*)(void* context, const unsigned char* data, std::size_t size);

// Delivers up to `size` stored bytes into `buffer`; returns how many it delivered.
using Reader = std::size_t (*)(void* context, unsigned char* buffer, std::size_t size);

// An entry's size as stored and as restored.
struct EntrySizes {
  std::uint32_t stored;
  std::uint32_t original;
};

// Decodes the entry at `offset` of the module's own file into the file `target`.
int decode_entry_to_file(platform::Module module, std::uint32_t offset, EntrySizes sizes,
                         const char* target);

// Same, reading the stored bytes from the file `source` instead of the module's file.
int decode_file_to_file(const char* source, std::uint32_t offset, EntrySizes sizes,
                        const char* target);

// Decodes `stored_size` bytes at `stored`, handing the restored bytes to the sink in the
// chunks the output stream writes. Returns the output count, or kDecodeWriteFailed when
// the sink refused a chunk (nothing more is handed to it then).
std::int32_t decode_memory(const unsigned char* stored, std::uint32_t stored_size,
                           std::uint32_t original_size, Sink sink, void* context);

// Same, pulling the stored bytes from a reader in the blocks the input stream reads.
std::int32_t decode_from_reader(Reader reader, void* reader_context, EntrySizes sizes, Sink sink,
                                void* sink_context);

// Off: every symbol goes through the per-symbol path, as in a build for size, where the
// bulk loop is left out and this does nothing. On by default.
void decoder_use_bulk_loop(bool on);

// Why the last decode failed, or null when it did not.
const char* decoder_last_error();

// How many bits of its stored bytes the last decode took to restore the original size.
// A stream ends inside its last stored byte when this lies in (stored - 1) * 8 + 1 to
// stored * 8; more means it ran on into the zero bits supplied past its end, less that it
// left whole stored bytes unread. The stream has no end code, so nothing else shows
// where it ends.
std::uint64_t decoder_last_bits_used();

// Puts every piece of decoder state back as a freshly started process has it.
void decoder_reset_process_state();

}  // namespace decode
