// A throw-away sandbox: a temporary drive C:\ with a Windows folder, and a package file.
#pragma once

#include "platform/posix/sandbox.hpp"
#include "tests/support/sandbox_config.hpp"
#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_c_ = top_ / "drive_c";
    windows_ = drive_c_ / windows_folder_name();
    fs::create_directories(windows_);
    fs::create_directories(top_ / "pkg");
    module_ = top_ / "pkg" / "Aurora.exe";
    std::ofstream(module_) << "MZ";
    reconfigure([](platform::posix::Config&) {});
  }

  void TearDown() override { platform::posix::configure({}); }

  virtual std::string windows_folder_name() const { return "windows"; }

  // Installs a fresh configuration after `change` adjusted the defaults.
  template <typename Change>
  void reconfigure(Change change) {
    platform::posix::Config config = testsupport::recording_config(windows_, module_, events_);
    change(config);
    platform::posix::configure(config);
  }

  static std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  static void write_all(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
  }

  testsupport::ScratchDir scratch_;
  fs::path top_ = scratch_.path(), drive_c_, windows_, module_;
  std::vector<platform::posix::Event> events_;
};
