#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

#include <cstring>

namespace {

struct BufferCase {
  std::uint32_t size;
  std::uint32_t expected_result;
  const char* expected_text;  // null: the buffer must be left untouched
};

// "C:\windows" is 10 characters.
TEST_F(SandboxTest, WindowsDirectoryReportsTheSizeNeededWhenTheBufferIsTooSmall) {
  const BufferCase cases[] = {
      {260, 10, "C:\\windows"}, {11, 10, "C:\\windows"}, {10, 11, nullptr}, {1, 11, nullptr}};
  for (const BufferCase& c : cases) {
    char buffer[260];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(platform::windows_directory(buffer, c.size), c.expected_result) << c.size;
    if (c.expected_text != nullptr) {
      EXPECT_STREQ(buffer, c.expected_text) << c.size;
    } else {
      EXPECT_EQ(buffer[0], '#') << c.size;
    }
  }
}

TEST_F(SandboxTest, ModuleFileNameTruncatesAndTerminates) {
  const std::string full = platform::posix::module_windows_path();
  const auto length = static_cast<std::uint32_t>(full.size());
  const BufferCase cases[] = {{260, length, nullptr},
                              {length + 1, length, nullptr},
                              {length, length, nullptr},
                              {6, 6, nullptr}};
  for (const BufferCase& c : cases) {
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(platform::module_file_name(nullptr, buffer, c.size), c.expected_result) << c.size;
    const std::size_t kept = std::min<std::size_t>(full.size(), c.size - 1);
    EXPECT_EQ(std::string(buffer), full.substr(0, kept)) << c.size;
    EXPECT_EQ(buffer[c.size], '#') << "written past the buffer, size " << c.size;
  }
}

TEST_F(SandboxTest, FactFindingCallsFailWhenConfiguredTo) {
  char buffer[260] = "";
  reconfigure([](platform::posix::Config& config) { config.faults.no_windows_dir = true; });
  EXPECT_EQ(platform::windows_directory(buffer, sizeof buffer), 0u);
  EXPECT_NE(platform::module_file_name(nullptr, buffer, sizeof buffer), 0u);
  reconfigure([](platform::posix::Config& config) { config.faults.no_module_path = true; });
  EXPECT_EQ(platform::module_file_name(nullptr, buffer, sizeof buffer), 0u);
  EXPECT_EQ(platform::windows_directory(buffer, sizeof buffer), 10u);
}

TEST_F(SandboxTest, ShortPathNameIsThePathOfAnExistingFile) {
  write_all(windows_ / "AURORA.SCR", "x");
  const char* path = "C:\\WINDOWS\\AURORA.SCR";  // 21 characters
  char buffer[260] = "";
  EXPECT_EQ(platform::short_path_name(path, buffer, sizeof buffer), 21u);
  EXPECT_STREQ(buffer, path);
  EXPECT_EQ(platform::short_path_name(path, buffer, 21), 22u);
  EXPECT_EQ(platform::short_path_name("C:\\WINDOWS\\MISSING.SCR", buffer, sizeof buffer), 0u);
}

TEST_F(SandboxTest, CreateDirectoryFailsWhenPresentOrWhenConfiguredTo) {
  EXPECT_TRUE(platform::create_directory("C:\\WINDOWS\\TOLVERAN"));
  EXPECT_TRUE(fs::is_directory(windows_ / "TOLVERAN"));
  EXPECT_FALSE(platform::create_directory("C:\\windows\\tolveran"));
  EXPECT_TRUE(platform::path_exists("C:\\windows\\tolveran"));

  reconfigure([](platform::posix::Config& config) { config.faults.fail_create_directory = true; });
  EXPECT_FALSE(platform::create_directory("C:\\WINDOWS\\OTHER"));
  EXPECT_FALSE(fs::exists(windows_ / "OTHER"));
  EXPECT_FALSE(platform::path_exists("C:\\WINDOWS\\OTHER"));
}

TEST(LocalMemory, AllocatesWritableBlocks) {
  auto* block = static_cast<char*>(platform::local_alloc(2048));
  ASSERT_NE(block, nullptr);
  std::memset(block, 0x5A, 2048);
  EXPECT_EQ(block[2047], 0x5A);
  platform::local_free(block);
}

}  // namespace
