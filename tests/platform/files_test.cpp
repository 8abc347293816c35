#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

namespace {

using platform::kInvalidFile;
using platform::kIoError;
using platform::SeekFrom;

TEST_F(SandboxTest, FileHandlesCreateTruncateReadAndSeek) {
  write_all(windows_ / "DATA.BIN", "old contents that must go");
  platform::File out = platform::file_create("C:\\WINDOWS\\data.bin");
  ASSERT_NE(out, kInvalidFile);
  EXPECT_EQ(platform::file_write(out, "0123456789", 10), 10u);
  platform::file_close(out);
  EXPECT_EQ(read_all(windows_ / "DATA.BIN"), "0123456789");

  platform::File in = platform::file_open_read("c:\\windows\\DATA.BIN");
  ASSERT_NE(in, kInvalidFile);
  char buffer[16] = {};
  EXPECT_EQ(platform::file_seek(in, 3, SeekFrom::begin), 3);
  EXPECT_EQ(platform::file_read(in, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(platform::file_seek(in, 1, SeekFrom::current), 8);
  EXPECT_EQ(platform::file_read(in, buffer, 16), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(platform::file_seek(in, -2, SeekFrom::end), 8);
  EXPECT_EQ(platform::file_read(in, buffer, 16), 2u);
  EXPECT_EQ(platform::file_read(in, buffer, 16), 0u);
  platform::file_close(in);
}

TEST_F(SandboxTest, FileHandleFailures) {
  char buffer[4];
  EXPECT_EQ(platform::file_open_read("C:\\WINDOWS\\NOWHERE.BIN"), kInvalidFile);
  EXPECT_EQ(platform::file_open_read("C:\\WINDOWS"), kInvalidFile) << "a folder";
  EXPECT_EQ(platform::stream_open("C:\\WINDOWS", "rb"), nullptr) << "a folder";
  EXPECT_EQ(platform::file_create("C:\\WINDOWS\\NO\\SUCH\\DIR.BIN"), kInvalidFile);
  EXPECT_EQ(platform::file_read(kInvalidFile, buffer, 4), kIoError);
  EXPECT_EQ(platform::file_write(kInvalidFile, buffer, 4), kIoError);
  EXPECT_EQ(platform::file_seek(kInvalidFile, 0, SeekFrom::begin), -1);
}

struct LimitCase {
  std::uint64_t limit;
  std::uint32_t first, second;                  // sizes of two writes in a row
  std::uint32_t first_written, second_written;  // what each must report
};

const LimitCase kLimitCases[] = {
    {10, 4, 4, 4, 4},  // under the limit
    {10, 6, 6, 6, 4},  // the second write is cut at the limit
    {10, 10, 1, 10, 0}, {3, 8, 8, 3, 0}, {0, 5, 5, 0, 0},
};

TEST_F(SandboxTest, WriteLimitShortensFileWrites) {
  const std::string data = "abcdefghijklmnop";
  for (const LimitCase& c : kLimitCases) {
    reconfigure([&](platform::posix::Config& config) { config.faults.write_limit = c.limit; });
    platform::File out = platform::file_create("C:\\WINDOWS\\OUT.BIN");
    const std::uint32_t first = platform::file_write(out, data.data(), c.first);
    const std::uint32_t second = platform::file_write(out, data.data() + c.first, c.second);
    platform::file_close(out);
    EXPECT_EQ(first == kIoError ? 0u : first, c.first_written) << "limit " << c.limit;
    EXPECT_EQ(second == kIoError ? 0u : second, c.second_written) << "limit " << c.limit;
    EXPECT_EQ(read_all(windows_ / "OUT.BIN"), data.substr(0, c.first_written + c.second_written))
        << "limit " << c.limit;
  }
}

TEST_F(SandboxTest, WriteLimitShortensStreamWrites) {
  const std::string data = "abcdefghijklmnop";
  for (const LimitCase& c : kLimitCases) {
    reconfigure([&](platform::posix::Config& config) { config.faults.write_limit = c.limit; });
    std::FILE* out = platform::stream_open("C:\\WINDOWS\\OUT.BIN", "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(platform::stream_write(data.data(), c.first, out), c.first_written);
    EXPECT_EQ(platform::stream_write(data.data() + c.first, c.second, out), c.second_written);
    platform::stream_close(out);
    EXPECT_EQ(read_all(windows_ / "OUT.BIN"), data.substr(0, c.first_written + c.second_written))
        << "limit " << c.limit;
  }
}

TEST_F(SandboxTest, WriteLimitCountsBothKindsOfWriteTogether) {
  reconfigure([](platform::posix::Config& config) { config.faults.write_limit = 7; });
  platform::File file = platform::file_create("C:\\WINDOWS\\A.BIN");
  EXPECT_EQ(platform::file_write(file, "12345", 5), 5u);
  platform::file_close(file);
  std::FILE* stream = platform::stream_open("C:\\WINDOWS\\B.BIN", "wb");
  EXPECT_EQ(platform::stream_write("abcde", 5, stream), 2u);
  platform::stream_close(stream);
  EXPECT_EQ(platform::posix::bytes_written(), 7u);
}

TEST_F(SandboxTest, StreamsReadAndSeekFromTheStart) {
  write_all(windows_ / "IN.BIN", "0123456789");
  std::FILE* in = platform::stream_open("C:\\Windows\\in.bin", "rb");
  ASSERT_NE(in, nullptr);
  char buffer[8] = {};
  EXPECT_EQ(platform::stream_seek(in, 6), 0);
  EXPECT_EQ(platform::stream_read(buffer, 8, in), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  platform::stream_close(in);
  EXPECT_EQ(platform::stream_open("C:\\Windows\\missing.bin", "rb"), nullptr);
}

}  // namespace
