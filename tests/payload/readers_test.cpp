// The display name and the installed-size total.
#include <cstring>
#include <ostream>

#include "platform/posix/sandbox.hpp"
#include "tests/payload/package_file.hpp"

namespace {

using namespace payload_test;
using testsupport::build_package;
using testsupport::PackageOptions;
using testsupport::PayloadEntry;

PayloadEntry stored(std::size_t size) {
  return {Bytes(size, 0x5A), 0, ".DAT"};
}
PayloadEntry compressed(std::size_t size, std::uint32_t original) {
  return {Bytes(size, 0xC3), original, ".SCR"};
}

std::uint32_t total_of(const Bytes& package) {
  const TempFile file(package);
  payload::g_installed_total = 0;
  EXPECT_TRUE(payload::sum_installed_size(file.path()));
  return payload::g_installed_total;
}

PackageOptions without_terminator() {
  PackageOptions options;
  options.terminator = false;
  return options;
}

struct TotalCase {
  const char* label;
  std::vector<PayloadEntry> entries;
  PackageOptions options;
  std::uint32_t expected;
  friend void PrintTo(const TotalCase& c, std::ostream* os) { *os << c.label; }
};

class InstalledSize : public testing::TestWithParam<TotalCase> {};

TEST_P(InstalledSize, SumsWhatEachEntryInstalls) {
  EXPECT_EQ(total_of(build_package(GetParam().entries, GetParam().options)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, InstalledSize,
    testing::Values(
        TotalCase{"terminator_only", {}, {}, 0},
        TotalCase{"stored_entries", {stored(100), stored(50), stored(7)}, {}, 157},
        TotalCase{"compressed_adds_original_size", {compressed(1000, 5000)}, {}, 5000},
        TotalCase{"mixed", {compressed(1000, 5000), stored(300), compressed(20, 64)}, {}, 5364},
        // Without a terminator the walk reads on into the bodies: an 8-byte body is a short
        // read that ends it, a 16-byte body of zeros is read as a terminator.
        TotalCase{"unterminated_short_read", {stored(8)}, without_terminator(), 8},
        TotalCase{"unterminated_zero_body", {{Bytes(16, 0), 0, ".DAT"}}, without_terminator(), 16},
        TotalCase{"header_only", {}, without_terminator(), 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(InstalledSizeWalk, CountsTheTerminatorsOriginalSize) {
  Bytes package = build_package({stored(10)});
  set_u32(package, entry_position(package, 1) + 8, 7);
  EXPECT_EQ(total_of(package), 17u);
}

TEST(InstalledSizeWalk, StopsAtTheFirstTerminator) {
  Bytes package = build_package({stored(10), stored(20), stored(30)});
  set_u32(package, entry_position(package, 1) + 4, 0);
  EXPECT_EQ(total_of(package), 10u);
}

TEST(InstalledSizeWalk, AddsToTheRunningTotal) {
  const TempFile file(build_package({stored(10)}));
  payload::g_installed_total = 5;
  EXPECT_TRUE(payload::sum_installed_size(file.path()));
  EXPECT_EQ(payload::g_installed_total, 15u);
}

TEST(InstalledSizeWalk, WrapsAt32Bits) {
  EXPECT_EQ(total_of(build_package({compressed(4, 0xFFFFFFF0u), compressed(4, 0x20)})), 0x10u);
}

TEST(InstalledSizeWalk, ReportsAMissingPayloadAndAddsNothing) {
  Bytes package = build_package({stored(10)});
  package[0] = 'X';
  const TempFile file(package);
  payload::g_installed_total = 3;
  EXPECT_FALSE(payload::sum_installed_size(file.path()));
  EXPECT_EQ(payload::g_installed_total, 3u);
}

std::string display_name_of(const Bytes& package) {
  const TempFile file(package);
  std::memset(payload::g_display_name, '?', sizeof payload::g_display_name - 1);
  payload::read_display_name(file.path());
  EXPECT_EQ(payload::g_display_name[32], '\0');
  return payload::g_display_name;
}

PackageOptions named(const std::string& name) {
  PackageOptions options;
  options.name = name;
  return options;
}

struct NameCase {
  const char* label;
  std::string name;
  std::string expected;
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }
};

class DisplayName : public testing::TestWithParam<NameCase> {};

TEST_P(DisplayName, IsReadAsStored) {
  EXPECT_EQ(display_name_of(build_package({stored(4)}, named(GetParam().name))),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, DisplayName,
                         testing::Values(NameCase{"short", "Aurora", "Aurora"},
                                         NameCase{"full_32", "Zeer lange naam voor een beveili",
                                                  "Zeer lange naam voor een beveili"},
                                         NameCase{"trailing_blanks_kept", "Aurora   ", "Aurora   "},
                                         NameCase{"windows_1252",
                                                  "Gele\xEF"
                                                  "nde",
                                                  "Gele\xEF"
                                                  "nde"},
                                         NameCase{"empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DisplayNameRead, IsEmptyWhenTheFileEndsInsideTheName) {
  const Bytes package = build_package({stored(4)}, named(std::string(32, 'A')));
  const std::uint32_t start = testsupport::payload_offset(package);
  for (const std::uint32_t present : {0u, 1u, 31u}) {
    EXPECT_EQ(display_name_of(Bytes(package.begin(), package.begin() + start + present)), "")
        << present;
  }
  EXPECT_EQ(display_name_of(Bytes(package.begin(), package.begin() + start + 32)),
            std::string(32, 'A'));
}

TEST(DisplayNameRead, IsEmptyWithoutAPayload) {
  testsupport::StubOptions options;
  options.without_rsrc = true;
  EXPECT_EQ(display_name_of(testsupport::build_stub(options)), "");
}

// The moved header: offsets go stale, but name and total come from the header itself.
TEST(MovedHeader, KeepsNameAndTotal) {
  for (const std::int32_t shift : {-16, 16, 40}) {
    PackageOptions options = named("Verplaatst");
    options.move_header = shift;
    const Bytes package = build_package({stored(100), compressed(30, 250)}, options);
    EXPECT_EQ(display_name_of(package), "Verplaatst") << shift;
    EXPECT_EQ(total_of(package), 350u) << shift;
  }
}

class ModuleReaders : public testing::Test {
 protected:
  void TearDown() override { platform::posix::configure({}); }
  void use_module(const char* path, bool no_path = false) {
    platform::posix::Config config;
    config.machine.module_host_path = path;
    config.faults.no_module_path = no_path;
    platform::posix::configure(config);
  }
};

TEST_F(ModuleReaders, ReadTheRunningPackage) {
  const TempFile file(build_package({compressed(10, 1234), stored(66)}, named("Eigen")));
  use_module(file.path());
  std::memset(payload::g_display_name, 0, sizeof payload::g_display_name);
  payload::g_installed_total = 0;
  payload::read_display_name();
  EXPECT_TRUE(payload::sum_installed_size());
  EXPECT_STREQ(payload::g_display_name, "Eigen");
  EXPECT_EQ(payload::g_installed_total, 1300u);
}

TEST_F(ModuleReaders, FindNothingWithoutAModulePath) {
  const TempFile file(build_package({stored(10)}, named("Eigen")));
  use_module(file.path(), true);
  payload::g_installed_total = 0;
  payload::read_display_name();
  EXPECT_FALSE(payload::sum_installed_size());
  EXPECT_STREQ(payload::g_display_name, "");
  EXPECT_EQ(payload::g_installed_total, 0u);
}

}  // namespace
