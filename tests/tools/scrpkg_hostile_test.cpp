// Entry names that would leave the output folder, refused with status 2 when the table
// holds them and 1 when the package's file name gives them, and damaged files: refused
// with status 2; nothing written anywhere.
#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

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
  std::string label;
  std::function<Bytes(const Bytes& sound, std::uint32_t header)> damage;
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
  EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFiles,
                         testing::Combine(testing::ValuesIn(damaged_cases()),
                                          testing::Values("list", "test", "extract", "list_json")),
                         [](const auto& info) {
                           return std::get<0>(info.param).label + "_" + std::get<1>(info.param);
                         });

}  // namespace
