#include "corpus.hpp"

#include <cstdio>

namespace testsupport {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kTextSize = 900 * 1024;
constexpr std::size_t kExecutableSize = 800 * 1024;
constexpr std::size_t kRandomSize = 200 * 1024;
constexpr int kImageWidth = 512;
constexpr int kImageHeight = 384;

// A fixed-seed generator so every run sees the same bytes.
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed) {}
  std::uint32_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  std::uint32_t state_;
};

// Words drawn with a falling frequency, sentences and paragraphs.
Bytes text_sample() {
  static const char* const kWords[] = {
      "de",     "het",    "een",      "en",      "van",     "in",         "is",     "dat",
      "op",     "te",     "voor",     "met",     "niet",    "zijn",       "scherm", "beveiliger",
      "kleur",  "licht",  "beweging", "venster", "bestand", "installeer", "map",    "schijf",
      "ruimte", "vogel",  "zee",      "golf",    "ster",    "nacht",      "maan",   "wolk",
      "the",    "screen", "saver",    "moves",   "slowly",  "across",     "quiet",  "colour",
  };
  constexpr std::uint32_t kWordCount = sizeof kWords / sizeof kWords[0];
  Lcg random(2024);
  Bytes out;
  int words_in_sentence = 0;
  while (out.size() < kTextSize) {
    const std::uint32_t r = random.next();
    const std::uint32_t index = (r % kWordCount) * ((r >> 8) % kWordCount) / kWordCount;
    for (const char* c = kWords[index]; *c != '\0'; ++c)
      out.push_back(static_cast<std::uint8_t>(*c));
    if (++words_in_sentence > 6 + static_cast<int>((r >> 16) % 9)) {
      out.push_back('.');
      out.push_back((r >> 20) % 5 == 0 ? '\n' : ' ');
      words_in_sentence = 0;
    } else {
      out.push_back(' ');
    }
  }
  out.resize(kTextSize);
  return out;
}

// Slices of the host's own programs; a synthetic stand-in when none can be read.
Bytes executable_sample() {
  static const char* const kPrograms[] = {"/usr/bin/cmake", "/usr/bin/perl", "/usr/bin/git",
                                          "/usr/bin/gdb", "/usr/bin/python3"};
  Bytes out;
  for (const char* path : kPrograms) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) continue;
    Bytes slice(kExecutableSize / 2);
    slice.resize(std::fread(slice.data(), 1, slice.size(), f));
    std::fclose(f);
    out.insert(out.end(), slice.begin(), slice.end());
    if (out.size() >= kExecutableSize) break;
  }
  Lcg random(77);
  while (out.size() < kExecutableSize) {
    const std::uint32_t r = random.next();
    out.push_back(static_cast<std::uint8_t>((r & 3) == 0 ? r >> 4 : (r >> 4) % 16 * 0x11));
  }
  out.resize(kExecutableSize);
  return out;
}

void put_le(Bytes& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit bottom-up bitmap: gradients, a few discs and flat areas.
Bytes image_sample() {
  const std::uint32_t row = kImageWidth * 3;
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  put_le(out, 54 + row * kImageHeight, 4);
  put_le(out, 0, 4);
  put_le(out, 54, 4);
  put_le(out, 40, 4);
  put_le(out, kImageWidth, 4);
  put_le(out, kImageHeight, 4);
  put_le(out, 1, 2);
  put_le(out, 24, 2);
  for (int i = 0; i < 6; ++i) put_le(out, 0, 4);
  for (int y = 0; y < kImageHeight; ++y) {
    for (int x = 0; x < kImageWidth; ++x) {
      const int dx = x % 128 - 64;
      const int dy = y % 128 - 64;
      const bool disc = dx * dx + dy * dy < 40 * 40;
      const bool flat = y > 300;
      out.push_back(static_cast<std::uint8_t>(flat ? 200 : disc ? 255 - x / 4 : x / 2));
      out.push_back(static_cast<std::uint8_t>(flat ? 180 : disc ? 40 : y * 2 / 3));
      out.push_back(static_cast<std::uint8_t>(flat ? 90 : disc ? y / 3 : (x + y) / 4));
    }
  }
  return out;
}

Bytes random_sample() {
  Lcg random(5);
  Bytes out(kRandomSize);
  for (std::uint8_t& b : out) b = static_cast<std::uint8_t>(random.next());
  return out;
}

}  // namespace

std::vector<Sample> bench_corpus() {
  return {
      {"text", text_sample()},
      {"executables", executable_sample()},
      {"bitmap", image_sample()},
      {"random", random_sample()},
  };
}

}  // namespace testsupport
