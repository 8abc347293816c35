// Finding the payload start through the image's headers and resource tree.
#include <filesystem>
#include <functional>
#include <ostream>

#include "platform/posix/sandbox.hpp"
#include "tests/payload/package_file.hpp"
#include "tests/support/image_reader.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using namespace payload_test;
using testsupport::build_stub;
using testsupport::StubOptions;

StubOptions stub_options(bool pe32plus, bool earlier_type, bool lastres_not_last) {
  StubOptions options;
  options.pe32plus = pe32plus;
  options.named_type_before_lastres = earlier_type;
  options.lastres_not_last = lastres_not_last;
  options.placeholder = 0x53455250;  // "PRES"
  return options;
}

struct FoundCase {
  const char* label;
  StubOptions options;
  const char* type;      // the named type whose data the locator must reach
  const char* expected;  // the first four bytes there
  friend void PrintTo(const FoundCase& c, std::ostream* os) { *os << c.label; }
};

class LocatorFinds : public testing::TestWithParam<FoundCase> {};

TEST_P(LocatorFinds, TheDataOfTheFirstResourceInTreeOrder) {
  const Bytes stub = build_stub(GetParam().options);
  const TempFile file(stub);
  const platform::File handle = payload::locate_payload(file.path());
  ASSERT_NE(handle, platform::kInvalidFile);
  EXPECT_EQ(platform::file_seek(handle, 0, platform::SeekFrom::current),
            static_cast<std::int32_t>(testsupport::resource_data_offset(stub, GetParam().type)));
  char first[4];
  EXPECT_EQ(platform::file_read(handle, first, 4), 4u);
  EXPECT_EQ(std::string(first, 4), GetParam().expected);
  platform::file_close(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Stubs, LocatorFinds,
    testing::Values(FoundCase{"pe32", stub_options(false, false, false), "LASTRES", "PRES"},
                    FoundCase{"pe32plus", stub_options(true, false, false), "LASTRES", "PRES"},
                    FoundCase{"lastres_not_last", stub_options(false, false, true), "LASTRES",
                              "PRES"},
                    FoundCase{"earlier_named_type", stub_options(false, true, false),
                              testsupport::kEarlierTypeName, "EARL"},
                    FoundCase{"earlier_named_type_pe32plus", stub_options(true, true, false),
                              testsupport::kEarlierTypeName, "EARL"}),
    [](const auto& info) { return std::string(info.param.label); });

std::uint32_t lastres_data_entry(const Bytes& image) {
  return testsupport::find_named_resource(image, "LASTRES").data_entry;
}

std::uint32_t first_type_entry(const Bytes& image) {
  return u32_at(image, resource_section_header(image) + 20) + 16;
}

// Follows first entries by their offsets, as a resource tree is laid out.
std::uint32_t first_language_entry(const Bytes& image) {
  const std::uint32_t entry_base = first_type_entry(image);
  const std::uint32_t name_entry = entry_base + (u32_at(image, entry_base + 4) & 0x7FFFFFFFu);
  return entry_base + (u32_at(image, name_entry + 4) & 0x7FFFFFFFu);
}

struct BrokenCase {
  const char* label;
  std::function<void(Bytes&)> damage;
  friend void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.label; }
};

class LocatorRejects : public testing::TestWithParam<BrokenCase> {};

TEST_P(LocatorRejects, ADamagedImage) {
  for (const bool pe32plus : {false, true}) {
    StubOptions options;
    options.pe32plus = pe32plus;
    Bytes stub = build_stub(options);
    GetParam().damage(stub);
    const TempFile file(stub);
    const int free_before = lowest_free_descriptor();
    EXPECT_EQ(located_at(file.path()), -1) << (pe32plus ? "PE32+" : "PE32");
    EXPECT_EQ(lowest_free_descriptor(), free_before) << "the file was left open";
  }
}

const std::uint32_t kFar = 0x7FFFFFF0u;

INSTANTIATE_TEST_SUITE_P(
    Damage, LocatorRejects,
    testing::Values(
        BrokenCase{"not_mz", [](Bytes& b) { b[1] = 'Y'; }},
        BrokenCase{"no_pe_signature", [](Bytes& b) { b[pe_header(b) + 2] = 'X'; }},
        BrokenCase{"new_header_past_end", [](Bytes& b) { set_u32(b, 0x3C, 0xFFFFFFF0u); }},
        BrokenCase{"optional_header_past_end",
                   [](Bytes& b) { set_u16(b, file_header(b) + 16, 0xFFFF); }},
        BrokenCase{"no_sections", [](Bytes& b) { set_u16(b, file_header(b) + 2, 0); }},
        BrokenCase{"resources_beyond_section_count",
                   [](Bytes& b) { set_u16(b, file_header(b) + 2, 1); }},
        BrokenCase{"section_renamed", [](Bytes& b) { b[resource_section_header(b) + 4] = 'x'; }},
        BrokenCase{"section_name_longer",
                   [](Bytes& b) { b[resource_section_header(b) + 5] = 'x'; }},
        BrokenCase{"section_data_past_end",
                   [](Bytes& b) { set_u32(b, resource_section_header(b) + 20, 0x10000000u); }},
        BrokenCase{"type_subdirectory_past_end",
                   [](Bytes& b) { set_u32(b, first_type_entry(b) + 4, 0x80000000u | kFar); }},
        BrokenCase{"data_entry_past_end",
                   [](Bytes& b) { set_u32(b, first_language_entry(b) + 4, 0x80000000u | 0x120u); }},
        BrokenCase{"data_before_file_start",
                   [](Bytes& b) { set_u32(b, lastres_data_entry(b), 0); }},
        BrokenCase{"data_past_end", [](Bytes& b) { set_u32(b, lastres_data_entry(b), kFar); }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Locator, MissingFileGivesNoHandle) {
  EXPECT_EQ(located_at((testing::TempDir() + "payload_no_such_file.exe").c_str()), -1);
}

TEST(Locator, EveryTruncationBeforeThePlaceholderGivesNoHandle) {
  for (const bool pe32plus : {false, true}) {
    StubOptions options;
    options.pe32plus = pe32plus;
    const Bytes stub = build_stub(options);
    const std::uint32_t start = testsupport::placeholder_offset(stub);
    for (std::uint32_t length = 0; length < start; ++length) {
      const TempFile file(Bytes(stub.begin(), stub.begin() + length));
      ASSERT_EQ(located_at(file.path()), -1) << "length " << length;
    }
    const TempFile cut(Bytes(stub.begin(), stub.begin() + start));
    EXPECT_EQ(located_at(cut.path()), static_cast<long>(start)) << "a stub cut at its placeholder";
  }
}

// The running module's own file, as the sandbox reports it.
class ModuleLocator : public testing::Test {
 protected:
  void TearDown() override { platform::posix::configure({}); }
  void use_module(const std::string& host_path, bool no_path = false) {
    platform::posix::Config config;
    config.machine.module_host_path = host_path;
    config.faults.no_module_path = no_path;
    platform::posix::configure(config);
  }
  static long located() {
    const platform::File file = payload::locate_payload();
    if (file == platform::kInvalidFile) return -1;
    const long position = platform::file_seek(file, 0, platform::SeekFrom::current);
    platform::file_close(file);
    return position;
  }
};

TEST_F(ModuleLocator, FindsThePayloadOfItsOwnFile) {
  const Bytes package = testsupport::build_package({{Bytes(9, 1), 0, ".SCR"}});
  const TempFile file(package);
  use_module(file.path());
  EXPECT_EQ(located(), static_cast<long>(testsupport::payload_offset(package)));
}

TEST_F(ModuleLocator, GivesNoHandleWithoutAModulePath) {
  const TempFile file(testsupport::build_package({{Bytes(9, 1), 0, ".SCR"}}));
  use_module(file.path(), true);
  EXPECT_EQ(located(), -1);
}

// The module path is "Z:" + the host path; 255 characters fit the locator's buffer of 256.
// A longer path arrives cut to 255: a package is placed at the cut path too, so a locator
// that went on with the cut path would find one.
TEST_F(ModuleLocator, AcceptsPathsUpTo255CharactersOnly) {
  namespace fs = std::filesystem;
  const Bytes package = testsupport::build_package({{Bytes(9, 1), 0, ".SCR"}});
  const testsupport::ScratchDir top;
  const std::string folder =
      top.path().string() + "/" + std::string(120, 'd') + "/";  // names stay below 255
  fs::create_directories(folder);
  for (const std::size_t windows_length : {254u, 255u, 256u, 300u}) {
    const std::size_t host_length = windows_length - 2;
    ASSERT_GT(host_length, folder.size() + 4);
    const std::string path = folder + std::string(host_length - folder.size() - 4, 'p') + ".exe";
    const std::string cut_path = path.substr(0, 253);
    testsupport::write_file(path, package);
    testsupport::write_file(cut_path, package);
    use_module(path);
    const long expected =
        windows_length <= 255 ? static_cast<long>(testsupport::payload_offset(package)) : -1;
    EXPECT_EQ(located(), expected) << windows_length;
    fs::remove(path);
    fs::remove(cut_path);
  }
}

}  // namespace
