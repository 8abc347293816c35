// Compares the encoder's default and best levels with a plain greedy encoder: the longest
// match at every position, found with a binary search tree over the window (the published
// LZHUF scheme's own way), coded with the same adaptive model. Prints one table row per
// sample: sizes, speeds and the size ratios against the greedy encoder.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "decode/model.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/match_finder.hpp"
#include "tools/encoder/symbol_coder.hpp"

#if __has_include("tests/bench/corpus.hpp")
#include "tests/bench/corpus.hpp"
#define ENCODE_BENCH_HAVE_CORPUS 1
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// Binary search tree over the ring's 4096 slots, one tree per first byte. A string equal to
// one in the tree over the whole compared length replaces it.
class GreedyTree {
 public:
  explicit GreedyTree(const Bytes& text) : text_(text) {
    std::fill(std::begin(parent_), std::end(parent_), kNil);
    std::fill(std::begin(left_), std::end(left_), kNil);
    std::fill(std::begin(right_), std::end(right_), kNil);
  }

  // Drops the string 4096 positions back from its slot, then inserts `pos` and returns the
  // longest match found on the way (length 0 when shorter than the minimum).
  encoder::Match insert(std::size_t pos) {
    const int slot = static_cast<int>(pos % kSlots);
    remove(slot);
    const std::size_t limit = std::min<std::size_t>(encoder::kMaxMatch, text_.size() - pos);
    if (limit < static_cast<std::size_t>(encoder::kMinMatch)) return {0, 0};
    at_[slot] = pos;
    left_[slot] = right_[slot] = kNil;
    const std::uint8_t* key = &text_[pos];
    int node = kSlots + 1 + key[0];
    int cmp = 1;
    encoder::Match best{0, 0};
    for (;;) {
      int* next = cmp >= 0 ? &right_[node] : &left_[node];
      if (*next == kNil) {
        *next = slot;
        parent_[slot] = node;
        return best;
      }
      node = *next;
      const std::uint8_t* other = &text_[at_[node]];
      std::size_t i = 1;
      while (i < limit && (cmp = key[i] - other[i]) == 0) ++i;
      if (i == limit) cmp = 0;
      const int distance = static_cast<int>(pos - at_[node]);
      if (static_cast<int>(i) > best.length ||
          (static_cast<int>(i) == best.length && distance < best.distance)) {
        if (i >= static_cast<std::size_t>(encoder::kMinMatch))
          best = {static_cast<int>(i), distance};
      }
      if (i == limit) break;
    }
    replace(node, slot);
    return best;
  }

 private:
  static constexpr int kSlots = encoder::kMaxDistance;
  static constexpr int kNil = kSlots;  // roots live at kSlots + 1 + first byte

  void replace(int old, int with) {
    parent_[with] = parent_[old];
    left_[with] = left_[old];
    right_[with] = right_[old];
    parent_[left_[old]] = with;
    parent_[right_[old]] = with;
    int& link = right_[parent_[old]] == old ? right_[parent_[old]] : left_[parent_[old]];
    link = with;
    parent_[old] = kNil;
  }

  void remove(int node) {
    if (parent_[node] == kNil) return;
    int q;
    if (right_[node] == kNil) {
      q = left_[node];
    } else if (left_[node] == kNil) {
      q = right_[node];
    } else {
      q = left_[node];
      if (right_[q] != kNil) {
        while (right_[q] != kNil) q = right_[q];
        right_[parent_[q]] = left_[q];
        parent_[left_[q]] = parent_[q];
        left_[q] = left_[node];
        parent_[left_[node]] = q;
      }
      right_[q] = right_[node];
      parent_[right_[node]] = q;
    }
    parent_[q] = parent_[node];
    int& link = right_[parent_[node]] == node ? right_[parent_[node]] : left_[parent_[node]];
    link = q;
    parent_[node] = kNil;
  }

  const Bytes& text_;
  std::size_t at_[kSlots];
  int parent_[kSlots + 1];
  int left_[kSlots + 1];
  int right_[kSlots + 257];
};

Bytes greedy_compress(const Bytes& data) {
  Bytes text(decode::kFirstWrite + data.size(), 0x20);
  std::copy(data.begin(), data.end(), text.begin() + decode::kFirstWrite);
  auto tree = std::make_unique<GreedyTree>(text);
  for (std::size_t p = decode::kFirstWrite - encoder::kMaxMatch; p < decode::kFirstWrite; ++p)
    tree->insert(p);
  encoder::SymbolCoder coder;
  std::size_t pos = decode::kFirstWrite;
  encoder::Match m = tree->insert(pos);
  while (pos < text.size()) {
    std::size_t step = 1;
    if (m.length >= encoder::kMinMatch) {
      coder.put_match(m.length, m.distance);
      step = static_cast<std::size_t>(m.length);
    } else {
      coder.put_literal(text[pos]);
    }
    for (; step > 0; --step) {
      if (++pos < text.size()) m = tree->insert(pos);
    }
  }
  return coder.finish();
}

struct Run {
  std::size_t size;
  double mb_per_s;
};

// Best of three runs, to keep other load on the machine out of the speed.
template <typename Compress>
Run measure(const Bytes& data, Compress compress) {
  Run run{0, 0};
  for (int round = 0; round < 3; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    const Bytes out = compress(data);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    run.size = out.size();
    run.mb_per_s = std::max(run.mb_per_s, static_cast<double>(data.size()) / s / 1e6);
  }
  return run;
}

void print_row(const std::string& name, const Bytes& data) {
  const Run base = measure(data, greedy_compress);
  const auto level = [](int l) {
    return [l](const Bytes& d) { return encoder::compress(d.data(), d.size(), l); };
  };
  const Run def = measure(data, level(encoder::kDefaultLevel));
  const Run best = measure(data, level(encoder::kMaxLevel));
  const auto ratio = [&](const Run& r) {
    return 100.0 * static_cast<double>(r.size) / static_cast<double>(base.size);
  };
  std::printf("%-14s %9zu | %9zu %6.2f | %9zu %6.2f %6.2f%% | %9zu %6.2f %6.2f%%\n", name.c_str(),
              data.size(), base.size, base.mb_per_s, def.size, def.mb_per_s, ratio(def), best.size,
              best.mb_per_s, ratio(best));
}

Bytes read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("%-14s %9s | %-16s | %-24s | %-24s\n", "sample", "bytes", "greedy size MB/s",
              "default size MB/s ratio", "best size MB/s ratio");
#ifdef ENCODE_BENCH_HAVE_CORPUS
  if (argc < 2) {
    Bytes all;
    for (const auto& sample : testsupport::bench_corpus()) {
      print_row(sample.name, sample.bytes);
      all.insert(all.end(), sample.bytes.begin(), sample.bytes.end());
    }
    print_row("whole corpus", all);
  }
#endif
  for (int i = 1; i < argc; ++i) print_row(argv[i], read_file(argv[i]));
  return 0;
}
