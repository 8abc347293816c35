#include "reference_decoder.hpp"

#include "reference_streams.hpp"

#include <cstring>

namespace reference {
namespace {

constexpr int kRing = 4096;
constexpr int kLongest = 30;
constexpr int kThresholdLength = 2;
constexpr int kAlphabet = 256 - kThresholdLength + kLongest;  // 284
constexpr int kTreeNodes = kAlphabet * 2 - 1;                 // 567
constexpr int kTop = kTreeNodes - 1;
constexpr unsigned kHalveAt = 0x8000;

struct State {
  unsigned char ring[kRing];
  unsigned short weight[kTreeNodes + 1];
  unsigned short up[kTreeNodes + kAlphabet];
  unsigned short down[kTreeNodes];
  unsigned short bit_buffer;
  unsigned char bit_count;
  std::uint32_t stored_left;
};
State st;

void top_up() {
  while (st.bit_count <= 8) {
    unsigned c = 0;
    if (st.stored_left != 0) {
      c = static_cast<unsigned>(read_ptr(st.stored_left));
      st.stored_left--;
    }
    st.bit_buffer = static_cast<unsigned short>(st.bit_buffer | (c << (8 - st.bit_count)));
    st.bit_count = static_cast<unsigned char>(st.bit_count + 8);
  }
}

int one_bit() {
  top_up();
  const int bit = (st.bit_buffer & 0x8000) ? 1 : 0;
  st.bit_buffer = static_cast<unsigned short>(st.bit_buffer << 1);
  st.bit_count--;
  return bit;
}

int eight_bits() {
  top_up();
  const int byte = st.bit_buffer >> 8;
  st.bit_buffer = static_cast<unsigned short>(st.bit_buffer << 8);
  st.bit_count = static_cast<unsigned char>(st.bit_count - 8);
  return byte;
}

void fresh_tree() {
  for (int i = 0; i < kAlphabet; i++) {
    st.weight[i] = 1;
    st.down[i] = static_cast<unsigned short>(i + kTreeNodes);
    st.up[i + kTreeNodes] = static_cast<unsigned short>(i);
  }
  int i = 0;
  int j = kAlphabet;
  while (j <= kTop) {
    st.weight[j] = static_cast<unsigned short>(st.weight[i] + st.weight[i + 1]);
    st.down[j] = static_cast<unsigned short>(i);
    st.up[i] = st.up[i + 1] = static_cast<unsigned short>(j);
    i += 2;
    j++;
  }
  st.weight[kTreeNodes] = 0xFFFF;
  st.up[kTop] = 0;
}

void rebuild() {
  int j = 0;
  for (int i = 0; i < kTreeNodes; i++) {
    if (st.down[i] >= kTreeNodes) {
      st.weight[j] = static_cast<unsigned short>((st.weight[i] + 1) / 2);
      st.down[j] = st.down[i];
      j++;
    }
  }
  for (int i = 0, k = kAlphabet; k < kTreeNodes; i += 2, k++) {
    const unsigned f = static_cast<unsigned>(st.weight[i] + st.weight[i + 1]);
    st.weight[k] = static_cast<unsigned short>(f);
    int p = k - 1;
    while (f < st.weight[p]) p--;
    p++;
    for (int m = k; m > p; m--) {
      st.weight[m] = st.weight[m - 1];
      st.down[m] = st.down[m - 1];
    }
    st.weight[p] = static_cast<unsigned short>(f);
    st.down[p] = static_cast<unsigned short>(i);
  }
  for (int i = 0; i < kTreeNodes; i++) {
    const int k = st.down[i];
    st.up[k] = static_cast<unsigned short>(i);
    if (k < kTreeNodes) st.up[k + 1] = static_cast<unsigned short>(i);
  }
}

void count_symbol(int c) {
  if (st.weight[kTop] == kHalveAt) rebuild();
  int x = st.up[c + kTreeNodes];
  do {
    const unsigned k = ++st.weight[x];
    if (k > st.weight[x + 1]) {
      int l = x + 1;
      while (k > st.weight[l + 1]) l++;
      st.weight[x] = st.weight[l];
      st.weight[l] = static_cast<unsigned short>(k);
      const int i = st.down[x];
      st.up[i] = static_cast<unsigned short>(l);
      if (i < kTreeNodes) st.up[i + 1] = static_cast<unsigned short>(l);
      const int j = st.down[l];
      st.down[l] = static_cast<unsigned short>(i);
      st.up[j] = static_cast<unsigned short>(x);
      if (j < kTreeNodes) st.up[j + 1] = static_cast<unsigned short>(x);
      st.down[x] = static_cast<unsigned short>(j);
      x = l;
    }
    x = st.up[x];
  } while (x != 0);
}

int next_symbol() {
  int c = st.down[kTop];
  while (c < kTreeNodes) c = st.down[c + one_bit()];
  c -= kTreeNodes;
  count_symbol(c);
  return c;
}

// Upper 6 bits of a position and their code length, group by group.
void position_code(int byte, int* upper, int* length) {
  struct Group {
    int first_byte, first_upper, bytes_per_upper, length;
  };
  static const Group groups[] = {{0x00, 0, 32, 3}, {0x20, 1, 16, 4}, {0x50, 4, 8, 5},
                                 {0x90, 12, 4, 6}, {0xC0, 24, 2, 7}, {0xF0, 48, 1, 8}};
  for (int g = 5; g >= 0; g--) {
    if (byte >= groups[g].first_byte) {
      *upper = groups[g].first_upper + (byte - groups[g].first_byte) / groups[g].bytes_per_upper;
      *length = groups[g].length;
      return;
    }
  }
}

int next_position() {
  int i = eight_bits();
  int c = 0;
  int j = 0;
  position_code(i, &c, &j);
  j -= 2;
  while (j--) i = (i << 1) + one_bit();
  return (c << 6) | (i & 0x3f);
}

}  // namespace

std::int32_t decode(ReadFn read, void* read_context, WriteFn write, void* write_context,
                    std::uint32_t stored_size, std::uint32_t original_size) {
  streams_open(read, read_context, write, write_context);
  reset_input_stream();
  reset_output_stream();

  st.bit_count = 0;
  st.bit_buffer = 0;
  st.stored_left = stored_size;
  if (original_size == 0) return 0;
  fresh_tree();
  for (int i = 0; i < kRing - kLongest; i++) st.ring[i] = ' ';
  int r = kRing - kLongest;
  const std::int32_t n = static_cast<std::int32_t>(original_size);
  std::int32_t count = 0;
  while (count < n && !write_failed()) {
    const int c = next_symbol();
    if (c < 256) {
      write_ptr(static_cast<unsigned char>(c), original_size);
      st.ring[r++] = static_cast<unsigned char>(c);
      r &= (kRing - 1);
      count++;
    } else {
      const int i = (r - next_position() - 1) & (kRing - 1);
      const int j = c - 255 + kThresholdLength;
      for (int k = 0; k < j; k++) {
        const unsigned char b = st.ring[(i + k) & (kRing - 1)];
        write_ptr(b, original_size);
        st.ring[r++] = b;
        r &= (kRing - 1);
      }
      count += j;
    }
  }
  return write_failed() ? -1 : count;
}

void reset_process_state() {
  std::memset(&st, 0, sizeof st);
  reset_streams_process_state();
}

}  // namespace reference
