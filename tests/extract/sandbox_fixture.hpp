// A sandbox for one extraction: a temporary drive root holding the Windows directory, the
// package written under a chosen file name, and the events the installer caused.
#pragma once

#include "payload/extract.hpp"
#include "payload/names.hpp"
#include "platform/posix/sandbox.hpp"
#include "tests/support/pe_builder.hpp"
#include "tests/support/sample_bytes.hpp"
#include "tests/support/sandbox_config.hpp"
#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace extract_test {

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::PayloadEntry;

// Bodies that differ from one to the next, so a body copied from the wrong place shows.
using testsupport::pattern_bytes;

inline PayloadEntry stored(Bytes body, const std::string& extension) {
  return PayloadEntry{std::move(body), 0, extension};
}

class Sandbox : public ::testing::Test {
 protected:
  void SetUp() override { use_windows_folder("WINDOWS"); }

  void use_windows_folder(const std::string& folder) {
    windows_ = root_ / folder;
    fs::create_directories(windows_);
  }

  // Writes the package as `file_name` and derives the names as the install sequence does.
  void install_package(const Bytes& package, const std::string& file_name = "Aurora.exe") {
    module_ = root_ / "pkg" / file_name;
    fs::create_directories(module_.parent_path());
    testsupport::write_file(module_.string(), package);
    configure_sandbox();
  }

  void configure_sandbox() {
    configure_sandbox([](platform::posix::Config&) {});
  }

  template <typename Adjust>
  void configure_sandbox(Adjust adjust) {
    platform::posix::Config config = testsupport::recording_config(windows_, module_, events_);
    adjust(config);
    events_.clear();
    platform::posix::configure(config);
    payload::derive_target_name(nullptr);
  }

  // Every extraction closes only handles it holds.
  payload::ExtractResult extract() {
    const payload::ExtractResult result = payload::extract_and_register(nullptr);
    EXPECT_EQ(platform::posix::invalid_close_count(), 0) << "a handle not open was closed";
    return result;
  }

  // Every file and folder under the Windows directory, relative and sorted.
  std::vector<std::string> tree() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(windows_)) {
      found.push_back(fs::relative(entry.path(), windows_).generic_string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  Bytes windows_file(const std::string& relative) const {
    return testsupport::read_file((windows_ / relative).string());
  }

  // The lines of system.ini without their line ends.
  std::vector<std::string> ini_lines() const {
    const Bytes bytes = windows_file("system.ini");
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  int registrations() const {
    int count = 0;
    for (const auto& e : events_) count += e.kind == platform::posix::Event::Kind::registration;
    return count;
  }

  testsupport::ScratchDir scratch_;
  fs::path root_ = scratch_.path();
  fs::path windows_;
  fs::path module_;
  std::vector<platform::posix::Event> events_;
};

}  // namespace extract_test
