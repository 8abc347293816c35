#include "tests/extract/sandbox_fixture.hpp"

#include <algorithm>

namespace extract_test {
namespace {

using payload::ExtractStatus;
using payload::PathCheck;
using Tree = std::vector<std::string>;

const char kSaverLine[] = "SCRNSAVE.EXE=C:\\WINDOWS\\AURORA.SCR";

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

using Extraction = Sandbox;

struct LayoutCase {
  const char* windows_folder;
  const char* package_name;
  std::vector<const char*> extensions;
  std::vector<const char*> written_as;  // each entry's file, below the Windows directory
  Tree tree;
  const char* ini_line;
};

const char kAuroraData[] = "TOLVERAN/LUMIVANE/Aurora/Aurora.DAT";

const LayoutCase kLayouts[] = {
    {"WINDOWS", "Aurora.exe", {".SCR"}, {"AURORA.SCR"}, {"AURORA.SCR", "system.ini"}, kSaverLine},
    {"WINDOWS",
     "Aurora.exe",
     {".EXE", ".XYZ", ".BMP"},  // the first two entries' own extensions go unused
     {"AURORA.SCR", kAuroraData, "TOLVERAN/LUMIVANE/Aurora/FILE0003.BMP"},
     {"AURORA.SCR", "TOLVERAN", "TOLVERAN/LUMIVANE", "TOLVERAN/LUMIVANE/Aurora", kAuroraData,
      "TOLVERAN/LUMIVANE/Aurora/FILE0003.BMP", "system.ini"},
     kSaverLine},
    {"WINDOWS",
     "My.Saver.exe",
     {".SCR", ".DAT"},
     {"MY.SCR", "TOLVERAN/LUMIVANE/My.Saver/My.Saver.DAT"},
     {"MY.SCR", "TOLVERAN", "TOLVERAN/LUMIVANE", "TOLVERAN/LUMIVANE/My.Saver",
      "TOLVERAN/LUMIVANE/My.Saver/My.Saver.DAT", "system.ini"},
     "SCRNSAVE.EXE=C:\\WINDOWS\\MY.SCR"},
    {"Windows",
     "Aurora.exe",
     {".SCR"},
     {"AURORA.SCR"},
     {"AURORA.SCR", "system.ini"},
     "SCRNSAVE.EXE=C:\\Windows\\AURORA.SCR"},
};

TEST_F(Extraction, WritesEachEntryUnderItsDerivedNameAndRegistersTheSaver) {
  for (const LayoutCase& c : kLayouts) {
    fs::remove_all(windows_);
    use_windows_folder(c.windows_folder);
    std::vector<PayloadEntry> entries;
    for (std::size_t i = 0; i < c.extensions.size(); ++i) {
      entries.push_back(
          stored(pattern_bytes(3000 + 1000 * i, static_cast<unsigned>(i)), c.extensions[i]));
    }
    install_package(testsupport::build_package(entries), c.package_name);
    EXPECT_EQ(extract().status, ExtractStatus::done) << c.package_name;
    EXPECT_EQ(tree(), c.tree) << c.package_name;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(windows_file(c.written_as[i]), entries[i].body) << c.written_as[i];
    }
    EXPECT_TRUE(has_line(ini_lines(), c.ini_line)) << c.package_name;
    EXPECT_EQ(registrations(), 1) << c.package_name;
  }
}

// Reads run in 2048-byte blocks past a body's end; the copy must still stop at its size.
TEST_F(Extraction, StoredBodiesAreCopiedExactly) {
  for (std::size_t size : {1u, 15u, 2047u, 2048u, 2049u, 4096u, 6149u}) {
    const Bytes saver = pattern_bytes(size, 1), data = pattern_bytes(size, 2),
                extra = pattern_bytes(size, 3);
    install_package(testsupport::build_package(
        {stored(saver, ".SCR"), stored(data, ".DAT"), stored(extra, ".TXT")}));
    ASSERT_EQ(extract().status, ExtractStatus::done) << size;
    EXPECT_EQ(windows_file("AURORA.SCR"), saver) << size;
    EXPECT_EQ(windows_file(kAuroraData), data) << size;
    EXPECT_EQ(windows_file("TOLVERAN/LUMIVANE/Aurora/FILE0003.TXT"), extra) << size;
  }
}

TEST_F(Extraction, RunningTwiceReplacesFilesAndRewritesTheSameValue) {
  const Bytes saver = pattern_bytes(3000, 1), data = pattern_bytes(500, 2);
  install_package(testsupport::build_package({stored(saver, ".SCR"), stored(data, ".DAT")}));
  ASSERT_EQ(extract().status, ExtractStatus::done);
  testsupport::write_file((windows_ / "AURORA.SCR").string(), pattern_bytes(9000, 7));
  testsupport::write_file((windows_ / kAuroraData).string(), pattern_bytes(10, 8));
  ASSERT_EQ(extract().status, ExtractStatus::done);
  EXPECT_EQ(windows_file("AURORA.SCR"), saver);
  EXPECT_EQ(windows_file(kAuroraData), data);
  const auto lines = ini_lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("SCRNSAVE.EXE=", 0) == 0; }),
            1);
  EXPECT_TRUE(has_line(lines, kSaverLine));
  EXPECT_EQ(registrations(), 2);
}

TEST_F(Extraction, KeepsTheRestOfSystemIni) {
  const std::string before =
      "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=C:\\OLD\\OLD.SCR\r\n\r\n"
      "[drivers]\r\nwave=mmdrv.dll\r\n";
  testsupport::write_file((windows_ / "system.ini").string(), Bytes(before.begin(), before.end()));
  install_package(testsupport::build_package({stored(pattern_bytes(10, 1), ".SCR")}));
  ASSERT_EQ(extract().status, ExtractStatus::done);
  const auto lines = ini_lines();
  for (const char* kept : {"[boot]", "shell=Explorer.exe", "[drivers]", "wave=mmdrv.dll"}) {
    EXPECT_TRUE(has_line(lines, kept)) << kept;
  }
  EXPECT_TRUE(has_line(lines, kSaverLine));
  EXPECT_FALSE(has_line(lines, "SCRNSAVE.EXE=C:\\OLD\\OLD.SCR"));
}

TEST_F(Extraction, ATargetThatCannotBeCreatedStopsTheWalk) {
  const Bytes saver = pattern_bytes(100, 1), data = pattern_bytes(100, 2);
  install_package(testsupport::build_package({stored(saver, ".SCR"), stored(data, ".DAT")}));
  configure_sandbox([](platform::posix::Config& c) { c.faults.fail_create_directory = true; });
  const auto result = extract();
  EXPECT_EQ(result.status, ExtractStatus::create_failed);
  EXPECT_STREQ(result.failed_path, "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT");
  EXPECT_EQ(tree(), (Tree{"AURORA.SCR"}));
  EXPECT_EQ(windows_file("AURORA.SCR"), saver);
  EXPECT_EQ(registrations(), 0);
}

TEST_F(Extraction, ATableCutShortEndsTheWalk) {
  // Without a terminator the 10-byte body is all that follows the first entry.
  const Bytes saver = pattern_bytes(10, 1);
  testsupport::PackageOptions options;
  options.terminator = false;
  install_package(testsupport::build_package({stored(saver, ".SCR")}, options));
  EXPECT_EQ(extract().status, ExtractStatus::done);
  EXPECT_EQ(tree(), (Tree{"AURORA.SCR", "system.ini"}));
  EXPECT_EQ(windows_file("AURORA.SCR"), saver);
}

TEST_F(Extraction, NothingIsWrittenWithoutPayloadOrWindowsDirectory) {
  const struct {
    const char* what;
    bool without_rsrc, no_module_path, no_windows_dir, no_memory;
    ExtractStatus expected;
  } cases[] = {
      {"no resource section", true, false, false, false, ExtractStatus::payload_missing},
      {"no module path", false, true, false, false, ExtractStatus::payload_missing},
      {"no Windows directory", false, false, true, false, ExtractStatus::no_windows_directory},
      {"no copy buffer", false, false, false, true, ExtractStatus::no_memory},
  };
  for (const auto& c : cases) {
    testsupport::PackageOptions options;
    options.stub.without_rsrc = c.without_rsrc;
    install_package(testsupport::build_package({stored(pattern_bytes(100, 1), ".SCR")}, options));
    configure_sandbox([&](platform::posix::Config& config) {
      config.faults.no_module_path = c.no_module_path;
      config.faults.no_windows_dir = c.no_windows_dir;
      config.faults.fail_local_alloc = c.no_memory;
    });
    EXPECT_EQ(extract().status, c.expected) << c.what;
    EXPECT_EQ(tree(), Tree{}) << c.what;
    EXPECT_EQ(registrations(), 0) << c.what;
  }
}

struct DeepCase {
  std::string windows_folder;  // the Windows directory's own folder name
  std::string package_name;
  int entries;
  PathCheck check;
  std::string too_long;  // the folder named when a path would not fit
};

// "C:\" + 240 characters leaves room for the saver but not for the data folder; "C:\" + 252
// leaves room for neither. A long package name overflows the data file's path alone.
std::vector<DeepCase> deep_cases() {
  const std::string w240(240, 'W'), w252(252, 'W'), long_name(130, 'n');
  return {
      {w240, "Aurora.exe", 1, PathCheck::fits, ""},
      {w240, "Aurora.exe", 2, PathCheck::data_too_long,
       ("C:\\" + w240 + "\\TOLVERAN\\LUMIVANE\\Aurora").substr(0, 259)},
      {w252, "Aurora.exe", 1, PathCheck::saver_too_long, "C:\\" + w252 + "\\"},
      {"WINDOWS", long_name + ".exe", 3, PathCheck::data_too_long,
       "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\" + long_name},
  };
}

TEST_F(Extraction, PathsThatWouldNotFitStopBeforeAnythingIsWritten) {
  for (const DeepCase& c : deep_cases()) {
    const std::string label = c.windows_folder.substr(0, 8) + " " + c.package_name.substr(0, 8);
    fs::remove_all(windows_);
    use_windows_folder(c.windows_folder);
    std::vector<PayloadEntry> entries;
    for (int i = 0; i < c.entries; ++i) entries.push_back(stored(pattern_bytes(3000, i), ".BIN"));
    install_package(testsupport::build_package(entries), c.package_name);

    char too_long[platform::kPathSize];
    EXPECT_EQ(payload::check_target_paths(nullptr, too_long, sizeof too_long), c.check) << label;
    EXPECT_EQ(std::string(too_long), c.too_long) << label;
    const auto result = extract();
    if (c.check == PathCheck::fits) {
      EXPECT_EQ(result.status, ExtractStatus::done) << label;
      EXPECT_EQ(tree(), (Tree{"AURORA.SCR", "system.ini"})) << label;
    } else {
      EXPECT_EQ(result.status, ExtractStatus::path_too_long) << label;
      EXPECT_EQ(std::string(result.failed_path), c.too_long) << label;
      EXPECT_EQ(tree(), Tree{}) << label;
      EXPECT_EQ(registrations(), 0) << label;
    }
  }
}

struct ShortWriteCase {
  std::uint64_t limit;
  const char* failed_path;
  Tree tree;
  std::size_t partial_size;  // bytes of the failed target left on disk
  const char* failing_close = "";
};

TEST_F(Extraction, AShortWriteStopsTheWalkAndIsReported) {
  const char* kDataPath = "C:\\WINDOWS\\TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT";
  const Tree data_tree{"AURORA.SCR", "TOLVERAN", "TOLVERAN/LUMIVANE", "TOLVERAN/LUMIVANE/Aurora",
                       kAuroraData};
  const ShortWriteCase cases[] = {
      {0, "C:\\WINDOWS\\AURORA.SCR", {"AURORA.SCR"}, 0},
      {1000, "C:\\WINDOWS\\AURORA.SCR", {"AURORA.SCR"}, 1000},
      {3000, kDataPath, data_tree, 0},
      {4000, kDataPath, data_tree, 1000},
      {~0ull, "C:\\WINDOWS\\AURORA.SCR", {"AURORA.SCR"}, 3000, "aurora.scr"},
      {~0ull, kDataPath, data_tree, 5000, "AURORA.DAT"},
  };
  const Bytes saver = pattern_bytes(3000, 1), data = pattern_bytes(5000, 2);
  for (const ShortWriteCase& c : cases) {
    fs::remove_all(windows_);
    use_windows_folder("WINDOWS");
    install_package(testsupport::build_package(
        {stored(saver, ".SCR"), stored(data, ".DAT"), stored(pattern_bytes(100, 3), ".BMP")}));
    configure_sandbox([&](platform::posix::Config& config) {
      config.faults.write_limit = c.limit;
      config.faults.failing_close = c.failing_close;
    });
    const auto result = extract();
    EXPECT_EQ(result.status, ExtractStatus::write_failed) << c.limit;
    EXPECT_STREQ(result.failed_path, c.failed_path) << c.limit;
    EXPECT_EQ(tree(), c.tree) << c.limit;
    EXPECT_EQ(registrations(), 0) << c.limit;
    if (c.tree.size() > 1) {
      EXPECT_EQ(windows_file("AURORA.SCR"), saver) << c.limit;
    }
    const Bytes& body = c.tree.size() == 1 ? saver : data;
    const Bytes partial(body.begin(), body.begin() + static_cast<long>(c.partial_size));
    EXPECT_EQ(windows_file(c.tree.back()), partial) << c.limit;
  }
}

}  // namespace
}  // namespace extract_test
