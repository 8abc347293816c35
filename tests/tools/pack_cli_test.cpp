// scrpkg pack run as a program: the package it writes and the errors it refuses with.
#include <gtest/gtest.h>
#include <sys/stat.h>

#ifdef SCRPKG_EXE

#include "payload/format.hpp"
#include "tests/tools/encoder_test_support.hpp"
#include "tests/tools/scrpkg_cli.hpp"

namespace {

using namespace scrpkg_test;
using testsupport::Bytes;

class PackCli : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::write_file((dir_ / "stub.exe").string(), testsupport::build_stub());
    testsupport::write_file((dir_ / "AURORA.SCR").string(), sample_bytes(9000, 1));
    testsupport::write_file((dir_ / "aurora.dat").string(), sample_bytes(30000, 2));
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  Bytes payload_header(const Bytes& package) const {
    const std::uint32_t at = testsupport::placeholder_offset(testsupport::build_stub());
    return Bytes(package.begin() + at,
                 package.begin() + at + payload::kHeaderSize + 3 * payload::kEntrySize);
  }

  ScratchDir dir_;
};

TEST_F(PackCli, WritesHeaderAndEntriesFromTheArguments) {
  const RunResult r =
      run_scrpkg({"pack", "-q", "-o", path("OUT.EXE"), "--stub", path("stub.exe"), "--name",
                  "Caf\xC3\xA9", "--base", "12", path("AURORA.SCR"), path("aurora.dat")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const Bytes header = payload_header(testsupport::read_file(path("OUT.EXE")));
  EXPECT_EQ(std::string(header.begin(), header.begin() + 5), std::string("Caf\xE9\0", 5));
  EXPECT_EQ(payload::get_u16(&header[payload::kNameSize]), 12);
  const payload::Entry scr = payload::decode_entry(&header[payload::kHeaderSize]);
  const payload::Entry dat =
      payload::decode_entry(&header[payload::kHeaderSize + payload::kEntrySize]);
  EXPECT_EQ(std::string(scr.extension, 4), ".SCR");
  EXPECT_EQ(std::string(dat.extension, 4), ".dat");
  EXPECT_EQ(scr.original_size, 9000u);
  EXPECT_EQ(dat.original_size, 30000u);
}

TEST_F(PackCli, NameDefaultsToTheSaversFileName) {
  const RunResult r = run_scrpkg(
      {"pack", "-o", path("OUT.EXE"), "--stub", path("stub.exe"), "--store", path("AURORA.SCR")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(": 1 entry, "), std::string::npos) << r.out;
  const Bytes header = payload_header(testsupport::read_file(path("OUT.EXE")));
  EXPECT_EQ(std::string(header.begin(), header.begin() + 7), std::string("AURORA\0", 7));
  EXPECT_EQ(payload::decode_entry(&header[payload::kHeaderSize]).original_size, 0u);
}

struct ErrorCase {
  std::string label;
  std::vector<std::string> extra_args;  // before the files
  std::vector<std::string> files;
  std::string expected;  // part of the message
};

TEST_F(PackCli, RefusesWithAMessageAndStatusOne) {
  testsupport::write_file(path("photo.JPEG"), Bytes{1, 2, 3});
  testsupport::write_file(path("notes.txt"), Bytes{'n', 'o', 't', 'e', 's'});
  testsupport::write_file(path("huge.dat"), Bytes{});  // sparse: no disk space is used
  fs::resize_file(path("huge.dat"), std::uint64_t{payload::kMaxEntrySize} + 1);
  testsupport::write_file(path("half.dat"), Bytes{});
  fs::resize_file(path("half.dat"), payload::kMaxPackageSize / 2 + 1);
  ASSERT_EQ(::mkfifo(path("pipe.dat").c_str(), 0600), 0);
  const ErrorCase cases[] = {
      {"long_name",
       {"--name", "123456789012345678901234567890123"},
       {"AURORA.SCR"},
       "longer than 32 bytes"},
      {"unmappable_name",
       {"--name", "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
       {"AURORA.SCR"},
       "Windows-1252"},
      {"long_extension", {}, {"AURORA.SCR", "photo.JPEG"}, "longer than 4 characters"},
      {"level_out_of_range", {"--level", "10"}, {"AURORA.SCR"}, "level"},
      {"input_is_a_fifo", {}, {"AURORA.SCR", "pipe.dat"}, "pipe.dat: is not a regular file"},
      {"input_past_an_entry", {}, {"AURORA.SCR", "huge.dat"}, "huge.dat: is 2147483648 bytes"},
      {"package_past_the_readers",
       {"--store"},
       {"AURORA.SCR", "half.dat", "half.dat"},
       "OUT.EXE: would be "},
  };
  for (const ErrorCase& c : cases) {
    std::vector<std::string> args = {"pack", "-o", path("OUT.EXE"), "--stub", path("stub.exe")};
    args.insert(args.end(), c.extra_args.begin(), c.extra_args.end());
    for (const std::string& f : c.files) args.push_back(path(f));
    const RunResult r = run_scrpkg(args);
    EXPECT_EQ(r.status, 1) << c.label;
    EXPECT_EQ(r.err.rfind("scrpkg: ", 0), 0u) << c.label << ": " << r.err;
    EXPECT_NE(r.err.find(c.expected), std::string::npos) << c.label << ": " << r.err;
  }
  const RunResult r =
      run_scrpkg({"pack", "-o", path("OUT.EXE"), "--stub", path("notes.txt"), path("AURORA.SCR")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("stub"), std::string::npos) << r.err;
}

TEST_F(PackCli, UnwritableOutputIsAnError) {
  const RunResult r = run_scrpkg({"pack", "-q", "-o", path("no/such/dir/OUT.EXE"), "--stub",
                                  path("stub.exe"), path("AURORA.SCR")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("OUT.EXE: No such file or directory"), std::string::npos) << r.err;
}

}  // namespace

#endif
