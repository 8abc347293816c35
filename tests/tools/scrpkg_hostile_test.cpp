// Entry names that would leave the output folder, refused with status 2 when the table
// holds them and 1 when the package's file name gives them, and damaged files: refused
// with status 2; nothing written anywhere.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

#include "payload/format.hpp"
#include "tests/support/small_disk.hpp"
#include "tests/tools/scrpkg_cli.hpp"

namespace {

using namespace scrpkg_test;
using testsupport::Bytes;

struct HostileCase {
  std::string label;
  std::string package_name;     // the package's file name decides the installed names
  std::string extra_extension;  // extension of the entry at index 2
  int status = 2;               // 1: a refusal of a sound package
};

class HostileNames : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileNames, ExtractRefusesAndWritesNothing) {
  const HostileCase& c = GetParam();
  ScratchDir dir;
  const fs::path package = dir / "pkg" / c.package_name;
  fs::create_directories(package.parent_path());
  testsupport::write_file(
      package.string(), testsupport::build_package({{sample_bytes(100, 1), 0, ".SCR"},
                                                    {sample_bytes(200, 2), 0, ".DAT"},
                                                    {sample_bytes(300, 3), 0, c.extra_extension}}));
  const fs::path sandbox = dir / "sandbox";
  fs::create_directories(sandbox);

  const RunResult run = run_scrpkg({"extract", package.string(), "-d", (sandbox / "out").string()});

  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.err.rfind("scrpkg: ", 0), 0u) << run.err;
  EXPECT_EQ(files_under(sandbox), std::set<std::string>{});
  EXPECT_EQ(files_under(dir / "pkg"), std::set<std::string>{c.package_name});
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileNames,
    testing::Values(HostileCase{"backslash_dotdot", "Aurora.exe", "\\.."},
                    HostileCase{"backslash_dotdot_backslash", "Aurora.exe", "\\..\\"},
                    HostileCase{"slash_dotdot", "Aurora.exe", "/.."},
                    HostileCase{"slash_only", "Aurora.exe", "/ETC"},
                    HostileCase{"colon", "Aurora.exe", ".C:X"},
                    HostileCase{"control_character", "Aurora.exe", std::string(".\x01X")},
                    HostileCase{"newline", "Aurora.exe", ".\nX"},
                    HostileCase{"dotdot_base_name", "...EXE", ".BMP", 1},
                    HostileCase{"colon_in_package_name", "C:evil.exe", ".BMP", 1}),
    [](const auto& info) { return info.param.label; });

struct DamagedCase {
  using Damage = std::function<Bytes(const Bytes& sound, std::uint32_t header)>;
  DamagedCase(std::string l, Damage d, std::uint64_t grown = 0, std::string s = {})
      : label(std::move(l)), damage(std::move(d)), grown_to(grown), says(std::move(s)) {}
  std::string label;
  Damage damage;
  std::uint64_t grown_to;  // when not 0, the file is grown to this size with a hole
  std::string says;        // when set, part of the message
};

Bytes cut(const Bytes& bytes, std::size_t length) {
  return Bytes(bytes.begin(), bytes.begin() + length);
}

std::vector<DamagedCase> damaged_cases() {
  return {
      {"empty", [](const Bytes&, std::uint32_t) { return Bytes{}; }},
      {"garbage",
       [](const Bytes&, std::uint32_t) {
         Bytes junk(4096);
         for (std::size_t i = 0; i < junk.size(); ++i)
           junk[i] = static_cast<std::uint8_t>(i * 131 + 7);
         return junk;
       }},
      {"cut_in_pe_headers", [](const Bytes& s, std::uint32_t) { return cut(s, 200); }},
      {"cut_in_payload_header", [](const Bytes& s, std::uint32_t h) { return cut(s, h + 20); }},
      {"cut_in_table", [](const Bytes& s, std::uint32_t h) { return cut(s, h + 34 + 24); }},
      {"cut_before_terminator",
       [](const Bytes& s, std::uint32_t h) { return cut(s, h + 34 + 32); }},
      {"cut_in_last_body", [](const Bytes& s, std::uint32_t) { return cut(s, s.size() - 1); }},
      {"past_the_format_limit", [](const Bytes& s, std::uint32_t) { return s; },
       std::uint64_t{payload::kMaxPackageSize} + 1, "larger than the package format can hold"},
  };
}

class DamagedFiles : public testing::TestWithParam<std::tuple<DamagedCase, std::string>> {};

TEST_P(DamagedFiles, EveryInspectorSaysDamagedAndWritesNothing) {
  const auto& [c, command] = GetParam();
  ScratchDir dir;
  const Bytes sound = testsupport::build_package(
      {{sample_bytes(1000, 1), 0, ".SCR"}, {sample_bytes(3000, 2), 0, ".DAT"}});
  const fs::path package = dir / "Aurora.exe";
  testsupport::write_file(package.string(), c.damage(sound, testsupport::payload_offset(sound)));
  if (c.grown_to != 0) fs::resize_file(package, c.grown_to);
  const fs::path out = dir / "out";

  const bool json = command == "list_json";
  std::vector<std::string> args = {json ? "list" : command, package.string()};
  if (command == "extract") args.insert(args.end(), {"-d", out.string()});
  if (json) args.push_back("--json");
  const RunResult run = run_scrpkg(args);

  EXPECT_EQ(run.status, 2) << run.out << run.err;
  if (json) {
    EXPECT_EQ(nlohmann::json::parse(run.out).value("sound", true), false) << run.out;
  }
  EXPECT_EQ(run.err.rfind("scrpkg: ", 0), 0u) << run.err;
  if (!c.says.empty()) {
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFiles,
                         testing::Combine(testing::ValuesIn(damaged_cases()),
                                          testing::Values("list", "test", "extract", "list_json")),
                         [](const auto& info) {
                           return std::get<0>(info.param).label + "_" + std::get<1>(info.param);
                         });

struct KeptCase {
  std::string label;
  bool small_disk;                // the folder "disk" is a full 64 KB tmpfs
  std::vector<std::string> args;  // run in a folder holding the files below
  std::string says;               // part of the message
};

// Every file under the folder, by relative path, with its bytes (through links).
std::map<std::string, std::string> contents_under(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const std::string& name : files_under(folder)) contents[name] = file_text(folder / name);
  return contents;
}

class GivenFiles : public testing::TestWithParam<KeptCase> {};

TEST_P(GivenFiles, RefusedOrFailedCommandLeavesEveryFileAsItWas) {
  const KeptCase& c = GetParam();
  ScratchDir dir;
  std::optional<testsupport::SmallDisk> disk;
  if (c.small_disk) {
    fs::create_directories(dir / "disk");
    disk.emplace(dir / "disk");
    if (!disk->mounted()) GTEST_SKIP() << "no 64 KB tmpfs (" << disk->error() << "); needs root";
    testsupport::write_file((dir / "disk/OUT.EXE").string(), Bytes{'o', 'l', 'd'});
    testsupport::write_file((dir / "disk/P.SCR").string(), Bytes{'o', 'l', 'd'});
  }
  const Bytes package = testsupport::build_package(
      {{sample_bytes(100000, 1), 0, ".SCR"}, {sample_bytes(3000, 2), 0, ".DAT"}});
  testsupport::write_file((dir / "stub.exe").string(), testsupport::build_stub());
  testsupport::write_file((dir / "a.scr").string(), sample_bytes(100000, 1));
  testsupport::write_file((dir / "b.dat").string(), sample_bytes(3000, 2));
  for (const char* name : {"P.EXE", "P.SCR", "W/P.SCR", "V/p.scr"}) {
    fs::create_directories((dir / name).parent_path());
    testsupport::write_file((dir / name).string(), package);
  }
  fs::create_symlink("b.dat", dir / "link.exe");
  const auto before = contents_under(dir.path());

  const RunResult run = run_scrpkg(c.args, "", dir.path());

  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_EQ(run.err.rfind("scrpkg: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  EXPECT_EQ(contents_under(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, GivenFiles,
    testing::Values(
        KeptCase{"pack_over_an_input",
                 false,
                 {"pack", "--stub", "stub.exe", "-o", "a.scr", "a.scr", "b.dat"},
                 "a.scr: is one of the inputs (a.scr)"},
        KeptCase{"pack_over_a_link_to_an_input",
                 false,
                 {"pack", "--stub", "stub.exe", "-o", "link.exe", "a.scr", "b.dat"},
                 "link.exe: is one of the inputs (b.dat)"},
        KeptCase{
            "extract_over_the_package", false, {"extract", "P.SCR"}, "is the package being read"},
        KeptCase{"install_over_the_package",
                 false,
                 {"install", "W/P.SCR", "--windows-dir", "W", "-y"},
                 "is the package being read"},
        KeptCase{"install_over_the_package_in_other_case",
                 false,
                 {"install", "V/p.scr", "--windows-dir", "V", "-y"},
                 "is the package being read"},
        KeptCase{"pack_on_a_full_disk",
                 true,
                 {"pack", "--stub", "stub.exe", "--store", "-o", "disk/OUT.EXE", "a.scr"},
                 "disk/OUT.EXE: No space left on device"},
        KeptCase{"extract_on_a_full_disk",
                 true,
                 {"extract", "P.EXE", "-d", "disk"},
                 "P.SCR: No space left on device"}),
    [](const auto& info) { return info.param.label; });

}  // namespace
