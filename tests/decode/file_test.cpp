// Decoding between files through the platform's buffered streams, in the POSIX sandbox.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "decode/decoder.hpp"
#include "platform/posix/sandbox.hpp"
#include "tests/support/scratch_dir.hpp"
#include "token_encoder.hpp"

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;

constexpr std::uint32_t kOffset = 1000;

Bytes read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_all(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

class DecodeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(root / "WINDOWS");
    std::mt19937 random(3);
    for (int i = 0; i < 40000; ++i)
      data.push_back(static_cast<std::uint8_t>("screen saver "[random() % 13]));
    stored = testsupport::encode_tokens(testsupport::greedy_tokens(data));
    // The entry sits between other bytes of the package.
    Bytes package(kOffset + stored.size() + 5000, 0xCD);
    std::fill(package.begin(), package.begin() + kOffset, 0xAB);
    std::copy(stored.begin(), stored.end(), package.begin() + kOffset);
    write_all(root / "PACKAGE.EXE", package);
    configure({});
    decode::decoder_reset_process_state();
  }

  void configure(platform::posix::Config config) {
    config.machine.windows_dir_host = (root / "WINDOWS").string();
    config.machine.module_host_path = (root / "PACKAGE.EXE").string();
    platform::posix::configure(config);
  }
  decode::EntrySizes sizes() const {
    return {static_cast<std::uint32_t>(stored.size()), static_cast<std::uint32_t>(data.size())};
  }
  int decode_entry(const fs::path& target) {
    return decode::decode_entry_to_file(nullptr, kOffset, sizes(), target.string().c_str());
  }

  testsupport::ScratchDir scratch;
  fs::path root = scratch.path();
  Bytes data;
  Bytes stored;
};

TEST_F(DecodeFiles, AnEntryOfTheModuleDecodesIntoItsTarget) {
  EXPECT_EQ(decode_entry(root / "OUT.DAT"), decode::kDecodeDone);
  EXPECT_EQ(read_all(root / "OUT.DAT"), data);
}

TEST_F(DecodeFiles, WindowsPathsReachTheSandbox) {
  const std::string source = platform::posix::module_windows_path();
  EXPECT_EQ(decode::decode_file_to_file(source.c_str(), kOffset, sizes(), "C:\\WINDOWS\\OUT.DAT"),
            decode::kDecodeDone);
  EXPECT_EQ(read_all(root / "WINDOWS" / "OUT.DAT"), data);
}

TEST_F(DecodeFiles, NothingIsCreatedWithoutASource) {
  platform::posix::Config config;
  config.faults.no_module_path = true;
  configure(config);
  EXPECT_EQ(decode_entry(root / "OUT.DAT"), decode::kDecodeNotRun);
  EXPECT_FALSE(fs::exists(root / "OUT.DAT"));

  const std::string missing = (root / "MISSING.EXE").string();
  EXPECT_EQ(decode::decode_file_to_file(missing.c_str(), 0, {10, 10},
                                        (root / "OUT.DAT").string().c_str()),
            decode::kDecodeNotRun);
  EXPECT_FALSE(fs::exists(root / "OUT.DAT"));
}

TEST_F(DecodeFiles, ATargetThatCannotBeCreatedIsNotDecoded) {
  EXPECT_EQ(decode_entry(root / "NO_SUCH_FOLDER" / "OUT.DAT"), decode::kDecodeNotCreated);
}

TEST_F(DecodeFiles, AShortWriteKeepsWhatWasWrittenAndStops) {
  platform::posix::Config config;
  config.faults.write_limit = 20000;
  configure(config);
  EXPECT_EQ(decode_entry(root / "OUT.DAT"), decode::kDecodeWriteFailed);
  EXPECT_EQ(read_all(root / "OUT.DAT"), Bytes(data.begin(), data.begin() + 20000));
  EXPECT_STREQ(decode::decoder_last_error(), "Write error in function WritePtr()");
  config.faults.write_limit.reset();
  config.faults.failing_close = "out.dat";  // every byte accepted, the close fails
  configure(config);
  EXPECT_EQ(decode_entry(root / "OUT.DAT"), decode::kDecodeWriteFailed);
}

TEST_F(DecodeFiles, OriginalSizeZeroStillCreatesAnEmptyTarget) {
  EXPECT_EQ(decode::decode_entry_to_file(nullptr, kOffset, {sizes().stored, 0},
                                         (root / "EMPTY.DAT").string().c_str()),
            decode::kDecodeDone);
  EXPECT_TRUE(fs::exists(root / "EMPTY.DAT"));
  EXPECT_EQ(fs::file_size(root / "EMPTY.DAT"), 0u);
}

}  // namespace
