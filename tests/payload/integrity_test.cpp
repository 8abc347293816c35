// The integrity verdict and the shared table reader.
#include <functional>
#include <ostream>

#include "payload/header.hpp"
#include "payload/integrity.hpp"
#include "platform/posix/sandbox.hpp"
#include "tests/payload/package_file.hpp"

namespace {

using namespace payload_test;
using payload::Integrity;
using testsupport::build_package;
using testsupport::PackageOptions;
using testsupport::PayloadEntry;

const std::vector<PayloadEntry> kEntries{
    {Bytes(100, 0x11), 0, ".SCR"}, {Bytes(40, 0x22), 500, ".DAT"}, {Bytes(3, 0x33), 0, ".BMP"}};

Integrity verdict_of(const Bytes& package, std::uint32_t* failed_entry = nullptr) {
  const TempFile file(package);
  return payload::check_integrity(file.path(), failed_entry);
}

struct Region {
  std::uint32_t end;  // the region covers lengths below this
  Integrity verdict;
  int entry;  // expected failed entry, or -1
};

// Cutting the file at any length below its own gives the verdict of the region the cut falls
// in: before the payload, inside the header, inside the table, inside a body.
TEST(IntegrityTruncated, AtEveryLengthIsNotSound) {
  for (const bool pe32plus : {false, true}) {
    PackageOptions options;
    options.stub.pe32plus = pe32plus;
    const Bytes package = build_package(kEntries, options);
    const std::uint32_t start = testsupport::payload_offset(package);
    const std::uint32_t table_end = start + 34 + 4 * 16;
    const Region regions[] = {{start, Integrity::not_found, -1},
                              {start + 34, Integrity::header_incomplete, -1},
                              {table_end, Integrity::table_unterminated, -1},
                              {table_end + 100, Integrity::body_outside_file, 0},
                              {table_end + 140, Integrity::body_outside_file, 1},
                              {table_end + 143, Integrity::body_outside_file, 2}};
    ASSERT_EQ(package.size(), table_end + 143);
    std::uint32_t length = 0;
    for (const Region& region : regions) {
      for (; length < region.end; ++length) {
        std::uint32_t failed = 99;
        const Bytes cut(package.begin(), package.begin() + length);
        ASSERT_EQ(verdict_of(cut, &failed), region.verdict) << "length " << length;
        if (region.entry >= 0) {
          ASSERT_EQ(failed, static_cast<std::uint32_t>(region.entry)) << length;
        }
      }
    }
    EXPECT_EQ(verdict_of(package), Integrity::sound);
  }
}

struct DamageCase {
  const char* label;
  std::function<void(Bytes&)> damage;
  Integrity verdict;
  std::uint32_t entry;  // expected failed entry for the body verdicts
  friend void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.label; }
};

class IntegrityOfTable : public testing::TestWithParam<DamageCase> {};

TEST_P(IntegrityOfTable, JudgesEveryBody) {
  Bytes package = build_package(kEntries);
  GetParam().damage(package);
  std::uint32_t failed = 99;
  EXPECT_EQ(verdict_of(package, &failed), GetParam().verdict);
  if (GetParam().verdict == Integrity::body_outside_file ||
      GetParam().verdict == Integrity::body_overlaps_table) {
    EXPECT_EQ(failed, GetParam().entry);
  }
}

std::uint32_t stored_of(const Bytes& b, std::uint32_t index) {
  return u32_at(b, entry_position(b, index) + 4);
}

void set_original(Bytes& b, std::uint32_t index, std::uint32_t original) {
  set_u32(b, entry_position(b, index) + 8, original);
}

void set_entry(Bytes& b, std::uint32_t index, std::uint32_t offset, std::uint32_t stored) {
  set_u32(b, entry_position(b, index), offset);
  set_u32(b, entry_position(b, index) + 4, stored);
}

std::uint32_t start_of(const Bytes& b) {
  return testsupport::payload_offset(b);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, IntegrityOfTable,
    testing::Values(
        DamageCase{"as_built", [](Bytes&) {}, Integrity::sound, 0},
        DamageCase{"offset_wraps_at_32_bits", [](Bytes& b) { set_entry(b, 1, 0xFFFFFFF0u, 0x20); },
                   Integrity::body_outside_file, 1},
        DamageCase{"last_body_one_byte_longer",
                   [](Bytes& b) { set_entry(b, 2, u32_at(b, entry_position(b, 2)), 4); },
                   Integrity::body_outside_file, 2},
        DamageCase{"body_starting_at_the_end",
                   [](Bytes& b) { set_entry(b, 0, static_cast<std::uint32_t>(b.size()), 1); },
                   Integrity::body_outside_file, 0},
        DamageCase{"body_inside_the_table",
                   [](Bytes& b) { set_entry(b, 2, entry_position(b, 1), 3); },
                   Integrity::body_overlaps_table, 2},
        DamageCase{"body_across_the_header_start",
                   [](Bytes& b) { set_entry(b, 1, start_of(b) - 4, 8); },
                   Integrity::body_overlaps_table, 1},
        DamageCase{"body_ending_at_the_header",
                   [](Bytes& b) {
                     set_entry(b, 1, start_of(b) - 8, 8);
                     set_original(b, 1, 0);
                   },
                   Integrity::sound, 0},
        DamageCase{"body_inside_the_stub", [](Bytes& b) { set_entry(b, 0, 0, 64); },
                   Integrity::sound, 0},
        DamageCase{"terminator_early", [](Bytes& b) { set_entry(b, 1, 0, 0); }, Integrity::sound,
                   0},
        DamageCase{"terminator_first", [](Bytes& b) { set_entry(b, 0, 0, 0); },
                   Integrity::table_empty, 0},
        DamageCase{"not_an_executable", [](Bytes& b) { b[0] = 'N'; }, Integrity::not_found, 0},
        // A stream yields at most 3 bytes per stored bit; 2 GiB and up decodes to nothing.
        DamageCase{"original_at_the_size_bound",
                   [](Bytes& b) { set_original(b, 1, stored_of(b, 1) * 24 + 30); },
                   Integrity::sound, 0},
        DamageCase{"original_past_the_size_bound",
                   [](Bytes& b) { set_original(b, 1, stored_of(b, 1) * 24 + 31); },
                   Integrity::size_impossible, 1},
        DamageCase{"original_of_2_gib", [](Bytes& b) { set_original(b, 2, 0x80000000u); },
                   Integrity::size_impossible, 2}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(IntegrityOfMovedHeader, FindsTheStaleOffsets) {
  struct Case {
    std::int32_t shift;
    Integrity verdict;
    std::uint32_t entry;
  };
  // Moved 16 bytes back, the file loses 16 bytes: the last two bodies now reach past its
  // end (the second by 13 bytes). Moved forward, the first body's offset points into the table.
  for (const Case& c :
       {Case{-16, Integrity::body_outside_file, 1}, Case{16, Integrity::body_overlaps_table, 0}}) {
    PackageOptions options;
    options.move_header = c.shift;
    std::uint32_t failed = 99;
    EXPECT_EQ(verdict_of(build_package(kEntries, options), &failed), c.verdict) << c.shift;
    EXPECT_EQ(failed, c.entry) << c.shift;
  }
}

TEST(IntegrityText, DescribesEachVerdict) {
  const std::pair<Integrity, const char*> texts[] = {
      {Integrity::sound, "the payload is complete"},
      {Integrity::not_found, "no payload found: not an executable with a resource section"},
      {Integrity::header_incomplete, "the file ends inside the payload header"},
      {Integrity::table_unterminated, "the file ends before the entry table's terminating entry"},
      {Integrity::body_outside_file, "an entry's stored bytes reach past the end of the file"},
      {Integrity::body_overlaps_table,
       "an entry's stored bytes overlap the payload header or entry table"}};
  for (const auto& [verdict, text] : texts) EXPECT_STREQ(payload::integrity_text(verdict), text);
}

TEST(ModuleIntegrity, ChecksTheRunningPackage) {
  const TempFile sound(build_package(kEntries));
  const Bytes whole = build_package(kEntries);
  const TempFile cut(Bytes(whole.begin(), whole.end() - 1));
  for (const auto& [path, verdict] : {std::pair{sound.path(), Integrity::sound},
                                      std::pair{cut.path(), Integrity::body_outside_file}}) {
    platform::posix::Config config;
    config.machine.module_host_path = path;
    platform::posix::configure(config);
    EXPECT_EQ(payload::check_integrity(nullptr), verdict);
  }
  platform::posix::configure({});
  EXPECT_EQ(payload::check_integrity(nullptr), Integrity::not_found);
}

TEST(Readers, LeaveNoFileOpen) {
  const Bytes whole = build_package(kEntries);
  const std::uint32_t start = testsupport::payload_offset(whole);
  for (const std::uint32_t length :
       {0u, start, start + 20, start + 40, start + 100, static_cast<std::uint32_t>(whole.size())}) {
    const TempFile file(Bytes(whole.begin(), whole.begin() + length));
    const int free_before = lowest_free_descriptor();
    payload::read_display_name(file.path());
    payload::sum_installed_size(file.path());
    payload::check_integrity(file.path());
    EXPECT_EQ(lowest_free_descriptor(), free_before) << length;
  }
}

struct TableCase {
  const char* label;
  std::uint32_t max;
  bool terminator;
  std::uint32_t cut;  // bytes removed from the end
  bool complete;
  std::uint32_t count;
  friend void PrintTo(const TableCase& c, std::ostream* os) { *os << c.label; }
};

class TableReader : public testing::TestWithParam<TableCase> {};

TEST_P(TableReader, ReadsHeaderAndEntries) {
  PackageOptions options;
  options.name = "Tabel";
  options.base = 0x1234;
  options.terminator = GetParam().terminator;
  const std::vector<PayloadEntry> entries{
      {Bytes(20, 1), 0, ".SCR"}, {Bytes(4, 2), 77, ".DAT"}, {Bytes(18, 3), 0, ".WAV"}};
  const Bytes package = build_package(entries, options);
  const TempFile file(Bytes(package.begin(), package.end() - GetParam().cut));
  const platform::File handle = payload::locate_payload(file.path());
  ASSERT_NE(handle, platform::kInvalidFile);
  payload::Header header{};
  payload::Entry read[3] = {};
  std::uint32_t count = 99;
  EXPECT_EQ(payload::read_table(handle, header, read, GetParam().max, &count), GetParam().complete);
  platform::file_close(handle);
  EXPECT_EQ(count, GetParam().count);
  EXPECT_EQ(std::string(header.name, 6), std::string("Tabel\0", 6));
  EXPECT_EQ(header.base, 0x1234);
  const std::uint32_t first_body =
      testsupport::payload_offset(package) + 34 + 16 * (options.terminator ? 4 : 3);
  const std::uint32_t offsets[] = {first_body, first_body + 20, first_body + 24};
  const std::uint32_t originals[] = {0, 77, 0};
  const char* extensions[] = {".SCR", ".DAT", ".WAV"};
  for (std::uint32_t i = 0; i < std::min(GetParam().max, GetParam().count); ++i) {
    EXPECT_EQ(read[i].offset, offsets[i]) << i;
    EXPECT_EQ(read[i].stored_size, entries[i].body.size()) << i;
    EXPECT_EQ(read[i].original_size, originals[i]) << i;
    EXPECT_EQ(std::string(read[i].extension, 4), extensions[i]) << i;
  }
  for (std::uint32_t i = GetParam().max; i < 3; ++i) EXPECT_EQ(read[i].offset, 0u) << "not stored";
}

// Without a terminator the 42 body bytes are read on as entries: two of 16 bytes, whose
// stored-size fields hold body bytes (0x01010101, 0x02020202), then a short read of 10.
INSTANTIATE_TEST_SUITE_P(Tables, TableReader,
                         testing::Values(TableCase{"all", 3, true, 0, true, 3},
                                         TableCase{"fewer_stored", 2, true, 0, true, 3},
                                         TableCase{"none_stored", 0, true, 0, true, 3},
                                         TableCase{"unterminated", 3, false, 0, false, 5},
                                         TableCase{"last_body_cut", 3, false, 9, false, 5}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(TableReaderEnds, ShortReadsReportAnIncompleteTable) {
  const Bytes package = build_package({{Bytes(20, 1), 0, ".SCR"}});
  const std::uint32_t start = testsupport::payload_offset(package);
  struct Case {
    std::uint32_t length;
    std::uint32_t count;
  };
  for (const Case& c : {Case{start + 33, 0}, Case{start + 34, 0}, Case{start + 49, 0},
                        Case{start + 50, 1}, Case{start + 65, 1}}) {
    const TempFile file(Bytes(package.begin(), package.begin() + c.length));
    const platform::File handle = payload::locate_payload(file.path());
    ASSERT_NE(handle, platform::kInvalidFile);
    payload::Header header;
    payload::Entry read[1];
    std::uint32_t count = 99;
    EXPECT_FALSE(payload::read_table(handle, header, read, 1, &count)) << c.length;
    EXPECT_EQ(count, c.count) << c.length;
    platform::file_close(handle);
  }
}

}  // namespace
