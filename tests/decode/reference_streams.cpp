#include "reference_streams.hpp"

#include <cstring>

namespace reference {
namespace {

constexpr int BLOCK = 16384;

struct Streams {
  unsigned char in_buffer[BLOCK];
  short in_left;
  short in_index;
  unsigned char out_buffer[BLOCK];
  short out_held;
  short out_limit;
  unsigned short limit_set;
  std::uint32_t flushed;
  bool write_failed;
};
Streams st;

ReadFn g_read;
void* g_read_context;
WriteFn g_write;
void* g_write_context;

}  // namespace

void streams_open(ReadFn read, void* read_context, WriteFn write, void* write_context) {
  g_read = read;
  g_read_context = read_context;
  g_write = write;
  g_write_context = write_context;
}

void reset_input_stream() {
  std::memset(st.in_buffer, 0, sizeof st.in_buffer);
  st.in_left = st.in_index = 0;
}

void reset_output_stream() {
  std::memset(st.out_buffer, 0, sizeof st.out_buffer);
  st.out_held = st.out_limit = 0;
  st.limit_set = 0;
  st.flushed = 0;
  st.write_failed = false;
}

int read_ptr(std::uint32_t left) {
  if (st.in_left < 1) {
    const std::uint32_t ask = left < BLOCK ? left : BLOCK;
    st.in_left = static_cast<short>(g_read(g_read_context, st.in_buffer, ask));
    st.in_index = 0;
  }
  const int c = st.in_buffer[st.in_index];
  st.in_index++;
  st.in_left--;
  return c;
}

void write_ptr(unsigned char c, std::uint32_t original) {
  if (st.flushed >= original || st.write_failed) return;
  st.out_buffer[st.out_held] = c;
  st.out_held++;
  if (!st.limit_set) {
    const std::uint32_t rest = original - st.flushed;
    st.out_limit = static_cast<short>(rest < BLOCK ? rest : BLOCK);
    st.limit_set = 1;
  }
  if (st.out_held < st.out_limit) return;
  if (!g_write(g_write_context, st.out_buffer, static_cast<std::size_t>(st.out_held))) {
    st.write_failed = true;
    return;
  }
  st.flushed += static_cast<std::uint32_t>(st.out_held);
  st.out_held = 0;
  st.limit_set = 0;
}

bool write_failed() {
  return st.write_failed;
}

void reset_streams_process_state() {
  std::memset(&st, 0, sizeof st);
}

}  // namespace reference
