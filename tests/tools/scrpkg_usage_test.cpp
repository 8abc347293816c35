// Command-line conventions: usage errors exit 1 with a "scrpkg: " message on stderr.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/tools/scrpkg_cli.hpp"

namespace {

using namespace scrpkg_test;

struct UsageCase {
  std::string label;
  std::vector<std::string> args;
  int status;
  std::string windows_dir = "";  // where the run installs AURORA.SCR, if it installs
  std::string says = "";         // what the message must name, when the row checks it
};

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, ExitStatusAndMessage) {
  ScratchDir dir;
  testsupport::write_file((dir / "Aurora.exe").string(),
                          testsupport::build_package({{sample_bytes(10, 1), 0, ".SCR"}}));
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directories(dir / "wine" / "drive_c");
  testsupport::write_file((dir / "wine" / "system.reg").string(), {});
  const RunResult run = run_scrpkg(GetParam().args, "", dir.path());
  EXPECT_EQ(run.status, GetParam().status) << run.out << run.err;
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
  if (GetParam().status == 1) {
    EXPECT_EQ(run.err.rfind("scrpkg: ", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(dir / "win"));
    EXPECT_FALSE(fs::exists(dir / "prefix"));
  }
  if (!GetParam().windows_dir.empty()) {
    EXPECT_TRUE(fs::exists(dir / GetParam().windows_dir / "AURORA.SCR"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Invocations, Usage,
    testing::Values(
        UsageCase{"no_subcommand", {}, 1},
        UsageCase{"unknown_subcommand", {"unpack"}, 1, "", "scrpkg: unpack: "},
        UsageCase{"test_of_a_directory", {"test", "."}, 1, "", "scrpkg: .: Is a directory"},
        UsageCase{"list_of_a_fifo", {"list", "fifo"}, 1, "", "fifo: is not a regular file"},
        UsageCase{"install_of_a_fifo",
                  {"install", "fifo", "--windows-dir", "win", "-y"},
                  1,
                  "",
                  "fifo: is not a regular file"},
        UsageCase{"list_without_package", {"list"}, 1},
        UsageCase{"install_without_windows_dir", {"install", "Aurora.exe", "-y"}, 1},
        UsageCase{"install_into_wine_prefix",
                  {"install", "Aurora.exe", "--wine-prefix", "wine", "-y"},
                  0,
                  "wine/drive_c/windows"},
        UsageCase{"wine_prefix_that_is_no_prefix",
                  {"install", "Aurora.exe", "--wine-prefix", "prefix", "-y"},
                  1,
                  "",
                  "prefix: not a Wine prefix"},
        UsageCase{"log_that_cannot_be_written",
                  {"install", "Aurora.exe", "--windows-dir", "logged", "-y", "--log", "/dev/full"},
                  1,
                  "",
                  "/dev/full: "},
        UsageCase{
            "windows_dir_and_wine_prefix",
            {"install", "Aurora.exe", "--windows-dir", "win", "--wine-prefix", "prefix", "-y"},
            1},
        UsageCase{
            "install_missing_package", {"install", "Nope.exe", "--windows-dir", "win", "-y"}, 1},
        UsageCase{"answers_and_defaults",
                  {"install", "Aurora.exe", "--windows-dir", "win", "-y", "--answers", "ok"},
                  1},
        UsageCase{"unknown_library",
                  {"install", "Aurora.exe", "--windows-dir", "win", "-y", "--without", "D3D8.DLL"},
                  1},
        UsageCase{"free_kb_not_a_number",
                  {"install", "Aurora.exe", "--windows-dir", "win", "-y", "--free-kb", "lots"},
                  1},
        UsageCase{"free_kb_negative",
                  {"install", "Aurora.exe", "--windows-dir", "win", "-y", "--free-kb=-1"},
                  1},
        UsageCase{"free_kb_whose_bytes_wrap",
                  {"install", "Aurora.exe", "--windows-dir", "win", "-y", "--free-kb",
                   "18014398509481984"},
                  1},
        UsageCase{"version", {"--version"}, 0}, UsageCase{"help", {"--help"}, 0},
        UsageCase{"install_help", {"install", "--help"}, 0},
        UsageCase{"extract_help", {"extract", "--help"}, 0}),
    [](const auto& info) { return info.param.label; });

}  // namespace
