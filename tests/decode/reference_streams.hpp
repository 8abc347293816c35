// The reference decoder's byte streams: one byte per call, blocks of 16,384 bytes, never
// reading past the entry, chunks ending exactly at the original size.
#pragma once

#include <cstdint>

#include "reference_decoder.hpp"

namespace reference {

void streams_open(ReadFn read, void* read_context, WriteFn write, void* write_context);
void reset_input_stream();
void reset_output_stream();
int read_ptr(std::uint32_t stored_left);
void write_ptr(unsigned char c, std::uint32_t original_size);
bool write_failed();
void reset_streams_process_state();

}  // namespace reference
