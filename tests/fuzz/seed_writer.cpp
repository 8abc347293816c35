// Writes the seed corpora of the fuzz targets from fixture packages, one folder per target,
// and makes the folders for the corpora the runs grow. Usage: fuzz_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/pe_builder.hpp"
#include "tests/support/sample_bytes.hpp"
#include "tools/encoder/encoder.hpp"

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::compressed;
using testsupport::pattern_bytes;
using testsupport::PayloadEntry;
using testsupport::text_bytes;

// Packages built like the authoring tool builds them, with the default stub.
std::vector<Bytes> packages() {
  std::vector<Bytes> out;
  out.push_back(testsupport::build_package(
      {{pattern_bytes(300, 1), 0, ".SCR"}, {pattern_bytes(200, 2), 0, ".DAT"}}));
  out.push_back(testsupport::build_package({compressed(text_bytes(2000, 1), ".SCR"),
                                            {pattern_bytes(100, 3), 0, ".DAT"},
                                            compressed(text_bytes(700, 2), ".BMP")}));
  out.push_back(testsupport::build_package({{pattern_bytes(64, 4), 0, ".SCR"}}));
  out.push_back(testsupport::build_package({{pattern_bytes(40, 5), 0, ".SCR"},
                                            {pattern_bytes(30, 6), 0, ".DAT"},
                                            {pattern_bytes(20, 7), 0, ".BMP"},
                                            {pattern_bytes(10, 8), 0, ".WAV"},
                                            {pattern_bytes(5, 9), 0, ""}}));
  return out;
}

// Images that are not sound packages: a bare stub, a 64-bit one, one without resources.
std::vector<Bytes> other_images() {
  testsupport::StubOptions wide, bare;
  wide.pe32plus = true;
  bare.without_rsrc = true;
  return {testsupport::build_stub(),
          testsupport::build_package({{pattern_bytes(50, 1), 0, ".SCR"}}, {wide}),
          testsupport::build_stub(bare)};
}

Bytes with_prefix(std::vector<std::uint8_t> prefix, const Bytes& rest) {
  prefix.insert(prefix.end(), rest.begin(), rest.end());
  return prefix;
}

Bytes decoder_seed(const Bytes& original) {
  const auto n = static_cast<std::uint32_t>(original.size());
  const Bytes stored = encoder::compress(original.data(), original.size());
  return with_prefix({static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                      static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)},
                     stored);
}

void write_corpus(const fs::path& folder, const std::vector<Bytes>& seeds) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    testsupport::write_file((folder / ("seed-" + std::to_string(i))).string(), seeds[i]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  const std::vector<Bytes> sound = packages();
  std::vector<Bytes> files = sound;
  for (const Bytes& image : other_images()) files.push_back(image);

  std::vector<Bytes> payloads, installs;
  for (const Bytes& package : sound) {
    const std::uint32_t start = testsupport::payload_offset(package);
    payloads.emplace_back(package.begin() + start, package.end());
    installs.push_back(with_prefix({0x00, 0x00, 0xFF}, package));
  }
  installs.push_back(with_prefix({0x55, 0x41, 0x03}, sound[1]));

  const std::vector<Bytes> decodes = {decoder_seed(text_bytes(3000, 3)),
                                      decoder_seed(Bytes(5000, 0)),
                                      decoder_seed(pattern_bytes(300, 9)), decoder_seed({})};
  std::vector<Bytes> large_decodes = decodes;
  large_decodes.push_back(decoder_seed(text_bytes(40000, 4)));  // past one output chunk

  write_corpus(root / "seeds" / "locator", files);
  write_corpus(root / "seeds" / "table", payloads);
  write_corpus(root / "seeds" / "decode", decodes);
  write_corpus(root / "seeds" / "decode_large", large_decodes);
  write_corpus(root / "seeds" / "inspect", files);
  write_corpus(root / "seeds" / "install", installs);
  // The working corpora grow from run to run; they are only made when missing.
  for (const char* target : {"locator", "table", "decode", "decode_large", "inspect", "install"}) {
    fs::create_directories(root / "work" / target);
  }
  fs::create_directories(root / "artifacts");
  return 0;
}
