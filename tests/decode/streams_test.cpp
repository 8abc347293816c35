#include "decode/streams.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel.hpp"

namespace {

using testsupport::Channel;
using testsupport::IoEvent;

class Streams : public ::testing::Test {
 protected:
  void SetUp() override {
    decode::decoder_reset_process_state();
    decode::reset_input_stream();
    decode::reset_output_stream();
  }
  decode::Source source() { return decode::Source{Channel::read, &channel}; }
  decode::Target target() { return decode::Target{Channel::write, &channel}; }
  std::vector<std::size_t> sizes(char kind) const {
    std::vector<std::size_t> out;
    for (const IoEvent& e : channel.events) {
      if (e.kind == kind) out.push_back(e.size);
    }
    return out;
  }
  Channel channel;
};

struct ChunkCase {
  std::uint32_t original_size;
  std::uint32_t bytes_given;
  std::vector<std::size_t> writes;
};

TEST_F(Streams, WritesWholeChunksAndALastChunkEndingAtTheOriginalSize) {
  const ChunkCase cases[] = {
      {1, 1, {1}},
      {1, 3, {1}},
      {16384, 16384, {16384}},
      {16385, 16385, {16384, 1}},
      {16383, 16383, {16383}},
      {32767, 32767, {16384, 16383}},
      {40000, 40000, {16384, 16384, 7232}},
      {40000, 40029, {16384, 16384, 7232}},
      {40000, 39999, {16384, 16384}},
  };
  for (const ChunkCase& c : cases) {
    SetUp();
    channel = Channel{};
    for (std::uint32_t i = 0; i < c.bytes_given; ++i) {
      decode::WritePtr(target(), static_cast<unsigned char>(i * 13), c.original_size);
    }
    EXPECT_EQ(sizes('w'), c.writes) << c.original_size << " / " << c.bytes_given;
    std::size_t total = 0;
    for (std::size_t s : c.writes) total += s;
    ASSERT_EQ(channel.output.size(), total);
    for (std::size_t i = 0; i < total; ++i) {
      ASSERT_EQ(channel.output[i], static_cast<unsigned char>(i * 13)) << i;
    }
  }
}

TEST_F(Streams, BlockWritesBehaveLikeByteWrites) {
  std::vector<unsigned char> data(50000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + 1);
  decode::write_bytes(target(), data.data(), 100, 40000);
  decode::write_bytes(target(), data.data() + 100, 30000, 40000);
  decode::write_bytes(target(), data.data() + 30100, 19900, 40000);
  EXPECT_EQ(sizes('w'), (std::vector<std::size_t>{16384, 16384, 7232}));
  EXPECT_EQ(channel.output, std::vector<std::uint8_t>(data.begin(), data.begin() + 40000));
}

TEST_F(Streams, ReadsBlocksOfAtMostTheStoredBytesLeft) {
  const std::pair<std::uint32_t, std::vector<std::size_t>> cases[] = {
      {1000, {1000}},
      {16384, {16384}},
      {16385, {16384, 1}},
      {40000, {16384, 16384, 7232}},
  };
  for (const auto& [stored_size, reads] : cases) {
    SetUp();
    channel = Channel{};
    channel.stored.resize(stored_size + 100);
    for (std::size_t i = 0; i < channel.stored.size(); ++i) {
      channel.stored[i] = static_cast<std::uint8_t>(i % 251);
    }
    for (std::uint32_t left = stored_size; left > 0; --left) {
      const int byte = decode::ReadPtr(source(), left);
      ASSERT_EQ(byte, static_cast<int>((stored_size - left) % 251)) << left;
    }
    EXPECT_EQ(sizes('r'), reads) << stored_size;
  }
}

TEST_F(Streams, AReadThatDeliversNothingHandsOutTheBlockStartAndReadsAgain) {
  channel.stored = {'A', 'B', 'C'};
  channel.read_caps = {3};
  EXPECT_EQ(decode::ReadPtr(source(), 10), 'A');
  EXPECT_EQ(decode::ReadPtr(source(), 9), 'B');
  EXPECT_EQ(decode::ReadPtr(source(), 8), 'C');
  EXPECT_EQ(decode::ReadPtr(source(), 7), 'A');  // the file has ended
  EXPECT_EQ(decode::ReadPtr(source(), 6), 'A');
  EXPECT_EQ(sizes('r'), (std::vector<std::size_t>{10, 7, 6}));
}

TEST_F(Streams, AReadThatDeliversNothingAfterAResetHandsOutZero) {
  EXPECT_EQ(decode::ReadPtr(source(), 5), 0);
  EXPECT_EQ(decode::ReadPtr(source(), 4), 0);
  EXPECT_EQ(sizes('r'), (std::vector<std::size_t>{5, 4}));
}

TEST_F(Streams, AShortWriteStopsTheStreamAndRecordsTheReason) {
  channel.failing_write = 0;
  for (int i = 0; i < 40000; ++i) decode::WritePtr(target(), 'x', 40000);
  EXPECT_EQ(sizes('w'), (std::vector<std::size_t>{16384}));
  EXPECT_TRUE(channel.output.empty());
  ASSERT_NE(decode::decoder_last_error(), nullptr);
  EXPECT_EQ(std::string(decode::decoder_last_error()), "Write error in function WritePtr()");
}

}  // namespace
