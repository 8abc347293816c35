// A plain decoder that follows the published algorithm step by step: one bit per tree
// step, a linear search in the model update, one byte per stream call. It keeps its own
// tables and process-wide state and serves as the oracle for the shipped decoder.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reference {

using ReadFn = std::size_t (*)(void* context, unsigned char* buffer, std::size_t size);
using WriteFn = bool (*)(void* context, const unsigned char* data, std::size_t size);

// Decodes one entry; returns the output count, or -1 after a short write.
std::int32_t decode(ReadFn read, void* read_context, WriteFn write, void* write_context,
                    std::uint32_t stored_size, std::uint32_t original_size);

// Back to the state of a freshly started process (ring tail zero).
void reset_process_state();

}  // namespace reference
