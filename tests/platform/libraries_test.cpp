#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"

namespace {

struct LibraryCase {
  const char* library;
  const char* symbol;
  bool loads;
  bool exports;
};

TEST_F(SandboxTest, LibrariesAndExportsListedMissingAreAbsent) {
  reconfigure([](platform::posix::Config& config) {
    config.machine.missing = {"GLU32.DLL", "glGenTextures"};
  });
  const LibraryCase cases[] = {
      {"OPENGL32.DLL", "glGenTextures", true, false},
      {"opengl32.dll", "glBegin", true, true},
      {"GLU32.DLL", nullptr, false, false},
      {"Glu32.Dll", nullptr, false, false},
      {"KERNEL32.DLL", "GetDiskFreeSpaceExA", true, true},
  };
  for (const LibraryCase& c : cases) {
    platform::Library library = platform::library_load(c.library);
    EXPECT_EQ(library != nullptr, c.loads) << c.library;
    if (c.symbol != nullptr) {
      EXPECT_EQ(platform::library_has_export(library, c.symbol), c.exports) << c.symbol;
    }
    platform::library_free(library);
  }
  EXPECT_EQ(platform::posix::open_library_count(), 0);
}

struct FreeSpaceCase {
  std::set<std::string> missing;
  platform::FreeSpaceEx expected;
};

TEST_F(SandboxTest, ExtendedFreeSpaceIsUnavailableWhenItsLibraryOrExportIsMissing) {
  const FreeSpaceCase cases[] = {
      {{}, platform::FreeSpaceEx::ok},
      {{"GetDiskFreeSpaceExA"}, platform::FreeSpaceEx::unavailable},
      {{"kernel32.dll"}, platform::FreeSpaceEx::unavailable},
  };
  for (const FreeSpaceCase& c : cases) {
    reconfigure([&](platform::posix::Config& config) {
      config.machine.missing = c.missing;
      config.machine.free_kb = 2048;
    });
    std::uint64_t free_bytes = 0;
    EXPECT_EQ(platform::disk_free_space_ex("C:\\", &free_bytes), c.expected);
    if (c.expected == platform::FreeSpaceEx::ok) {
      EXPECT_EQ(free_bytes, 2048u * 1024u);
    }
    EXPECT_EQ(platform::posix::open_library_count(), 0) << "the library was not released";
  }
  reconfigure([](platform::posix::Config&) {});
  EXPECT_EQ(platform::disk_free_space_ex("C:\\NO\\SUCH\\DIR", nullptr),
            platform::FreeSpaceEx::failed);
}

TEST_F(SandboxTest, HostFreeSpaceIsUsedWithoutAConfiguredFigure) {
  std::uint64_t free_bytes = 0;
  ASSERT_EQ(platform::disk_free_space_ex("C:\\", &free_bytes), platform::FreeSpaceEx::ok);
  const fs::space_info host = fs::space(drive_c_);
  // Other processes write to the same disk meanwhile: allow a little drift.
  EXPECT_NEAR(static_cast<double>(free_bytes), static_cast<double>(host.available), 64.0e6);
}

struct ClusterCase {
  std::uint64_t free_kb;
  std::uint32_t free_clusters;
};

TEST_F(SandboxTest, ClusterFiguresUseFourKilobyteClustersCappedTo32Bits) {
  const ClusterCase cases[] = {{2048, 512}, {5, 1}, {3, 0}, {std::uint64_t{1} << 40, 0xFFFFFFFFu}};
  for (const ClusterCase& c : cases) {
    reconfigure([&](platform::posix::Config& config) { config.machine.free_kb = c.free_kb; });
    std::uint32_t sectors = 0, bytes = 0, free_clusters = 0, total = 0;
    ASSERT_TRUE(platform::disk_free_space("C:\\", &sectors, &bytes, &free_clusters, &total));
    EXPECT_EQ(sectors, 8u);
    EXPECT_EQ(bytes, 512u);
    EXPECT_EQ(free_clusters, c.free_clusters) << c.free_kb;
    EXPECT_GE(total, free_clusters);
  }
  EXPECT_FALSE(platform::disk_free_space("D:\\", nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
