// Damaged and hostile packages: the installer shows the damaged-installer box, ends with
// status 2 and leaves the machine as it was; the inspector's test and extract end with
// status 2 and a one-line reason and write nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "payload/format.hpp"
#include "tests/matrix/matrix_support.hpp"

namespace matrix {
namespace {

struct Damaged {
  std::string label;
  Bytes package;
};

void PrintTo(const Damaged& d, std::ostream* out) {
  *out << d.label << " (" << d.package.size() << " bytes)";
}

constexpr std::uint32_t kEntries = 3;

// Screen saver stored, data file compressed, one extra file stored.
Bytes sound_package() {
  return testsupport::build_package({{pattern_bytes(1000, 1), 0, ".SCR"},
                                     compressed(text_bytes(3000, 2), ".DAT"),
                                     {pattern_bytes(500, 3), 0, ".BMP"}});
}

std::uint32_t entry_at(const Bytes& package, std::uint32_t index) {
  return testsupport::payload_offset(package) + payload::kHeaderSize + index * payload::kEntrySize;
}

payload::Entry entry_of(const Bytes& package, std::uint32_t index) {
  return payload::decode_entry(package.data() + entry_at(package, index));
}

void set_entry(Bytes& package, std::uint32_t index, const payload::Entry& entry) {
  payload::encode_entry(entry, package.data() + entry_at(package, index));
}

Bytes cut(const Bytes& bytes, std::size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

// Every length from the payload start to the end of the table, and three inside each body.
std::vector<Damaged> truncations() {
  const Bytes sound = sound_package();
  const std::uint32_t start = testsupport::payload_offset(sound);
  const std::uint32_t table_end = entry_at(sound, kEntries + 1);
  std::vector<Damaged> cases;
  for (std::uint32_t length = start; length <= table_end; ++length) {
    cases.push_back({"cut_at_payload_plus_" + std::to_string(length - start), cut(sound, length)});
  }
  for (std::uint32_t i = 0; i < kEntries; ++i) {
    const payload::Entry e = entry_of(sound, i);
    for (std::uint32_t into : {1u, e.stored_size / 2, e.stored_size - 1}) {
      cases.push_back({"cut_in_body_" + std::to_string(i) + "_after_" + std::to_string(into),
                       cut(sound, e.offset + into)});
    }
  }
  for (std::uint32_t length : {0u, 2u, 64u, 300u, start - 4}) {
    cases.push_back({"cut_in_image_at_" + std::to_string(length), cut(sound, length)});
  }
  return cases;
}

Bytes with_entry(std::uint32_t index, std::uint32_t offset, std::uint32_t stored,
                 std::uint32_t original) {
  Bytes package = sound_package();
  payload::Entry e = entry_of(package, index);
  e.offset = offset;
  e.stored_size = stored;
  e.original_size = original;
  set_entry(package, index, e);
  return package;
}

Bytes with_options(const testsupport::StubOptions& stub, bool terminator = true) {
  testsupport::PackageOptions options;
  options.stub = stub;
  options.terminator = terminator;
  // Bodies of 0xAB bytes: read as entries they never hold a stored size of 0.
  return testsupport::build_package({{Bytes(777, 0xAB), 0, ".SCR"}, {Bytes(333, 0xAB), 0, ".DAT"}},
                                    options);
}

std::vector<Damaged> malformed() {
  const auto size = static_cast<std::uint32_t>(sound_package().size());
  const payload::Entry data = entry_of(sound_package(), 1);
  testsupport::StubOptions no_resources, earlier_type;
  no_resources.without_rsrc = true;
  earlier_type.named_type_before_lastres = true;
  const std::string text = "Dit is geen programma.\r\n";
  Bytes not_a_program;
  for (int i = 0; i < 40; ++i) not_a_program.insert(not_a_program.end(), text.begin(), text.end());
  return {
      {"body_past_the_end", with_entry(1, size - 10, data.stored_size, data.original_size)},
      {"body_offset_near_4_gib", with_entry(2, 0xFFFFFFF0u, 500, 0)},
      {"body_over_the_table",
       with_entry(0, testsupport::payload_offset(sound_package()) + 8, 1000, 0)},
      {"stored_size_ffffffff", with_entry(0, entry_of(sound_package(), 0).offset, 0xFFFFFFFFu, 0)},
      // Original sizes that no stream of the stored size restores (at most 3 bytes a bit),
      // or that the decoder would not restore at all (2 GiB and up).
      {"original_2_gib_minus_1_from_10_bytes", with_entry(1, data.offset, 10, 0x7FFFFFFFu)},
      {"original_ff000000", with_entry(1, data.offset, data.stored_size, 0xFF000000u)},
      {"original_one_past_the_bound", with_entry(1, data.offset, 100, 100 * 24 + 31)},
      {"table_without_terminator", with_options({}, false)},
      {"table_of_the_terminator_alone", with_entry(0, 0, 0, 0)},
      {"not_an_executable", not_a_program},
      {"mz_only", Bytes{'M', 'Z'}},
      {"executable_without_resources", with_options(no_resources)},
      {"bare_stub_without_payload", testsupport::build_stub()},
      {"first_named_type_not_lastres", with_options(earlier_type)},
  };
}

// Extensions that would make an extra file's name leave FILEnnnn in the data folder.
std::vector<Damaged> hostile_extensions() {
  const std::vector<std::pair<std::string, std::string>> extensions = {
      {"backslash_dotdot", "\\.."}, {"backslash_dotdot_backslash", "\\..\\"},
      {"slash_dotdot", "/.."},      {"slash_name", "/ETC"},
      {"colon_stream", ".B:X"},     {"colon_first", ":X"},
      {"control_01", ".\x01X"},     {"newline", ".\nX"},
      {"delete_7f", ".\x7F"},       {"tab", "\t"},
      {"wildcard", ".*"},           {"pipe", ".|"}};
  std::vector<Damaged> cases;
  for (const auto& [label, extension] : extensions) {
    cases.push_back({"extension_" + label,
                     testsupport::build_package({{pattern_bytes(100, 1), 0, ".SCR"},
                                                 {pattern_bytes(200, 2), 0, ".DAT"},
                                                 {pattern_bytes(300, 3), 0, extension}})});
  }
  return cases;
}

class DamagedPackage : public ::testing::TestWithParam<Damaged> {};

TEST_P(DamagedPackage, InstallerShowsTheDamagedBoxAndChangesNothing) {
  Machine machine;
  machine.put_earlier_installation();
  const auto before = machine.drive_files();
  machine.put_package(GetParam().package);

  EXPECT_EQ(machine.install(), 2);

  EXPECT_EQ(machine.boxes(), std::vector<Box>{damaged_box("Aurora.exe")});
  EXPECT_EQ(machine.drive_files(), before);
  using Kind = platform::posix::Event::Kind;
  EXPECT_EQ(machine.count(Kind::dialog), 0);
  EXPECT_EQ(machine.count(Kind::registration), 0);
  EXPECT_EQ(machine.count(Kind::launch), 0);
}

TEST_P(DamagedPackage, InspectorRefusesWithOneLineAndWritesNothing) {
  Machine machine;
  machine.put_package(GetParam().package);
  const fs::path out = machine.drive() / "out";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"test", machine.package().string()},
        std::vector<std::string>{"extract", machine.package().string(), "-d", out.string()}}) {
    const RunResult run = run_scrpkg(args);
    EXPECT_EQ(run.status, 2) << args[0] << ": " << run.err;
    EXPECT_EQ(run.out, "") << args[0];
    EXPECT_EQ(run.err.rfind("scrpkg: " + machine.package().string() + ": ", 0), 0u)
        << args[0] << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args[0] << ": " << run.err;
    EXPECT_FALSE(fs::exists(out)) << args[0];
  }
}

std::string test_name(const ::testing::TestParamInfo<Damaged>& info) {
  return info.param.label;
}

INSTANTIATE_TEST_SUITE_P(Truncated, DamagedPackage, ::testing::ValuesIn(truncations()), test_name);
INSTANTIATE_TEST_SUITE_P(Malformed, DamagedPackage, ::testing::ValuesIn(malformed()), test_name);
INSTANTIATE_TEST_SUITE_P(HostileExtension, DamagedPackage,
                         ::testing::ValuesIn(hostile_extensions()), test_name);

}  // namespace
}  // namespace matrix
