// list -> test -> extract on packages of 1, 2 and 5 entries, stored and compressed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/tools/scrpkg_cli.hpp"
#include "tools/encoder/encoder.hpp"

namespace {

using namespace scrpkg_test;
using testsupport::Bytes;

struct FileSpec {
  Bytes content;
  bool compressed;
  std::string extension;
  std::string installed_name;  // as list shows it, relative to the Windows directory
  std::string extracted_path;  // as extract writes it under its output folder
};

struct RoundTripCase {
  std::string label;
  std::uint16_t base;
  std::vector<FileSpec> files;
};

const char kScr[] = "AURORA.SCR";
const char kDat[] = "TOLVERAN\\LUMIVANE\\Aurora\\Aurora.DAT";
const char kDatPath[] = "TOLVERAN/LUMIVANE/Aurora/Aurora.DAT";

std::vector<RoundTripCase> cases() {
  return {
      {"saver_only", 3, {{sample_bytes(5000, 1), true, ".SCR", kScr, kScr}}},
      {"saver_and_data",
       3,
       {{sample_bytes(2048, 2), false, ".SCR", kScr, kScr},
        {sample_bytes(70000, 3), true, ".DAT", kDat, kDatPath}}},
      {"five_entries",
       7,
       {{sample_bytes(3000, 4), true, ".SCR", kScr, kScr},
        {sample_bytes(4096, 5), false, ".DAT", kDat, kDatPath},
        {sample_bytes(20000, 6), true, ".BMP", "TOLVERAN\\LUMIVANE\\Aurora\\FILE0007.BMP",
         "TOLVERAN/LUMIVANE/Aurora/FILE0007.BMP"},
        {sample_bytes(17, 7), false, ".TX", "TOLVERAN\\LUMIVANE\\Aurora\\FILE0008.TX",
         "TOLVERAN/LUMIVANE/Aurora/FILE0008.TX"},
        {sample_bytes(40000, 8), true, ".WAV", "TOLVERAN\\LUMIVANE\\Aurora\\FILE0009.WAV",
         "TOLVERAN/LUMIVANE/Aurora/FILE0009.WAV"}}},
  };
}

Bytes body_of(const FileSpec& file) {
  return file.compressed ? encoder::compress(file.content.data(), file.content.size())
                         : file.content;
}

Bytes make_package(const RoundTripCase& c) {
  std::vector<testsupport::PayloadEntry> entries;
  for (const FileSpec& f : c.files) {
    entries.push_back(
        {body_of(f), f.compressed ? static_cast<std::uint32_t>(f.content.size()) : 0, f.extension});
  }
  testsupport::PackageOptions options;
  options.base = c.base;
  return testsupport::build_package(entries, options);
}

class RoundTrip : public testing::TestWithParam<RoundTripCase> {
 protected:
  void SetUp() override {
    package_bytes_ = make_package(GetParam());
    package_ = (dir_ / "Aurora.exe").string();
    testsupport::write_file(package_, package_bytes_);
  }

  ScratchDir dir_;
  Bytes package_bytes_;
  std::string package_;
};

TEST_P(RoundTrip, ListJsonHasTheTableFacts) {
  const RoundTripCase& c = GetParam();
  const RunResult run = run_scrpkg({"list", package_, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["sound"], true);
  EXPECT_EQ(doc["display_name"], "Aurora");
  EXPECT_EQ(doc["file_number_base"], c.base);
  const std::uint32_t header = testsupport::payload_offset(package_bytes_);
  EXPECT_EQ(doc["payload_offset"], header);
  ASSERT_EQ(doc["entries"].size(), c.files.size());
  // Bodies follow the header (34 bytes) and the table with its terminator (16 bytes each).
  std::uint64_t offset = header + 34 + 16 * (c.files.size() + 1);
  std::uint64_t total = 0;
  const char* roles[] = {"screen saver", "data", "extra"};
  for (std::size_t i = 0; i < c.files.size(); ++i) {
    const auto& e = doc["entries"][i];
    const FileSpec& f = c.files[i];
    const std::size_t stored = body_of(f).size();
    EXPECT_EQ(e["index"], i);
    EXPECT_EQ(e["role"], roles[std::min<std::size_t>(i, 2)]);
    EXPECT_EQ(e["installed_name"], f.installed_name);
    EXPECT_EQ(e["method"], f.compressed ? "compressed" : "stored");
    EXPECT_EQ(e["stored_size"], stored);
    EXPECT_EQ(e["original_size"], f.content.size());
    EXPECT_EQ(e["offset"], offset);
    offset += stored;
    total += f.content.size();
  }
  EXPECT_EQ(doc["installed_size"], total);
}

TEST_P(RoundTrip, TestSaysSound) {
  const RunResult run = run_scrpkg({"test", package_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

// Two zero bytes after a stream: restored all the same, so sound, and named as suspect.
TEST(PaddedBody, TestCallsItSuspectAndThePackageSound) {
  ScratchDir dir;
  const Bytes content = sample_bytes(3000, 9);
  Bytes body = encoder::compress(content.data(), content.size());
  body.insert(body.end(), 2, 0);
  const std::string package = (dir / "Aurora.exe").string();
  testsupport::write_file(package, testsupport::build_package(
                                       {{sample_bytes(100, 1), 0, ".SCR"}, {body, 3000, ".DAT"}}));
  const RunResult run = run_scrpkg({"test", package, "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("entry 1: suspect: its bit stream leaves 2 of its"), std::string::npos)
      << run.err;
  const auto doc = nlohmann::json::parse(run.out);
  EXPECT_EQ(doc["sound"], true);
  ASSERT_EQ(doc["suspect"].size(), 1u) << run.out;
  EXPECT_EQ(doc["suspect"][0]["entry"], 1);
}

TEST_P(RoundTrip, ExtractRestoresEveryFileAndNothingElse) {
  const fs::path out = dir_ / "out";
  const RunResult run = run_scrpkg({"extract", package_, "-d", out.string(), "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<std::string> expected;
  for (const FileSpec& f : GetParam().files) {
    expected.insert(f.extracted_path);
    EXPECT_EQ(testsupport::read_file((out / f.extracted_path).string()), f.content)
        << f.extracted_path;
  }
  EXPECT_EQ(files_under(out), expected);
}

TEST_P(RoundTrip, ExtractWritesWhatTheInstallerWrites) {
  const fs::path out = dir_ / "out";
  const fs::path windows = dir_ / "WINDOWS";
  ASSERT_EQ(run_scrpkg({"extract", package_, "-d", out.string(), "-q"}).status, 0);
  const RunResult install =
      run_scrpkg({"install", package_, "--windows-dir", windows.string(), "-y", "-q"});
  ASSERT_EQ(install.status, 0) << install.err;
  for (const FileSpec& f : GetParam().files) {
    EXPECT_EQ(testsupport::read_file((out / f.extracted_path).string()),
              testsupport::read_file((windows / f.extracted_path).string()))
        << f.extracted_path;
  }
}

INSTANTIATE_TEST_SUITE_P(Packages, RoundTrip, testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.label; });

}  // namespace

namespace {

struct NameCase {
  std::string stored;  // the display name field as the package holds it (Windows-1252)
  std::string shown;   // as list prints it (UTF-8)
};

class DisplayNames : public testing::TestWithParam<NameCase> {};

TEST_P(DisplayNames, ListShowsTheNameInUtf8WithoutTrailingBlanks) {
  ScratchDir dir;
  testsupport::PackageOptions options;
  options.name = GetParam().stored;
  const std::string package = (dir / "Aurora.exe").string();
  testsupport::write_file(package,
                          testsupport::build_package({{sample_bytes(10, 1), 0, ".SCR"}}, options));
  const RunResult run = run_scrpkg({"list", package, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["display_name"], GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Names, DisplayNames,
                         testing::Values(NameCase{"Aurora   ", "Aurora"},
                                         NameCase{"Caf\xE9 \x80", "Caf\xC3\xA9 \xE2\x82\xAC"},
                                         NameCase{"   ", ""},
                                         NameCase{"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345",
                                                  "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"}));

}  // namespace

namespace {

TEST(PackedByScrpkg, PackListTestExtractGiveBackEveryFile) {
  ScratchDir dir;
  const fs::path stub = dir / "stub.exe";
  testsupport::write_file(stub.string(), testsupport::build_stub());
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {"in/Aurora.SCR", "AURORA.SCR"},
      {"in/Aurora.DAT", "TOLVERAN/LUMIVANE/Aurora/Aurora.DAT"},
      {"in/photo.BMP", "TOLVERAN/LUMIVANE/Aurora/FILE0005.BMP"},
      {"in/notes.TXT", "TOLVERAN/LUMIVANE/Aurora/FILE0006.TXT"},
      {"in/sound.WAV", "TOLVERAN/LUMIVANE/Aurora/FILE0007.WAV"}};
  std::vector<std::string> args = {"pack",   "-q",          "-o",     (dir / "Aurora.exe").string(),
                                   "--stub", stub.string(), "--base", "5"};
  fs::create_directories(dir / "in");
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    testsupport::write_file((dir / inputs[i].first).string(), sample_bytes(5000 * i + 100, i));
    args.push_back((dir / inputs[i].first).string());
  }
  const RunResult pack = run_scrpkg(args);
  ASSERT_EQ(pack.status, 0) << pack.err;

  const RunResult list = run_scrpkg({"list", (dir / "Aurora.exe").string(), "--json"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(nlohmann::json::parse(list.out)["entries"].size(), inputs.size());
  const RunResult test = run_scrpkg({"test", (dir / "Aurora.exe").string()});
  EXPECT_EQ(test.status, 0) << test.err;
  const RunResult extract =
      run_scrpkg({"extract", (dir / "Aurora.exe").string(), "-d", (dir / "out").string()});
  ASSERT_EQ(extract.status, 0) << extract.err;
  for (const auto& [input, installed] : inputs) {
    EXPECT_EQ(testsupport::read_file((dir / "out" / installed).string()),
              testsupport::read_file((dir / input).string()))
        << installed;
  }
}

}  // namespace

namespace {

TEST(RelativePaths, EverySubcommandTakesAPackageInTheCurrentFolder) {
  ScratchDir dir;
  const Bytes saver = sample_bytes(3000, 9);
  testsupport::write_file((dir / "Night.exe").string(),
                          testsupport::build_package({{saver, 0, ".SCR"}}));
  EXPECT_EQ(run_scrpkg({"list", "Night.exe"}, "", dir.path()).status, 0);
  EXPECT_EQ(run_scrpkg({"test", "Night.exe"}, "", dir.path()).status, 0);
  // Without -d the files go to the current folder.
  const RunResult extract = run_scrpkg({"extract", "-q", "Night.exe"}, "", dir.path());
  ASSERT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(testsupport::read_file((dir / "NIGHT.SCR").string()), saver);
  const RunResult into =
      run_scrpkg({"extract", "-q", "Night.exe", "-d", "new/out"}, "", dir.path());
  ASSERT_EQ(into.status, 0) << into.err;
  EXPECT_EQ(testsupport::read_file((dir / "new/out/NIGHT.SCR").string()), saver);
  const RunResult install =
      run_scrpkg({"install", "Night.exe", "--windows-dir", "win", "-y", "-q"}, "", dir.path());
  ASSERT_EQ(install.status, 0) << install.err;
  EXPECT_EQ(testsupport::read_file((dir / "win" / "NIGHT.SCR").string()), saver);
}

}  // namespace
