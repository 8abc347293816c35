#include "tests/installer/sandbox_run.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "installer/sequence.hpp"
#include "tests/support/sample_bytes.hpp"
#include "tests/support/sandbox_config.hpp"

namespace installer_test {

namespace fs = std::filesystem;

SandboxRun::SandboxRun(const std::string& windows_folder)
    : root_(scratch_.path().string()), windows_folder_(windows_folder) {
  fs::create_directories(windows_host());
  fs::create_directories(root_ + "/pkg");
  config.machine.windows_dir_host = windows_host();
  config.machine.free_kb = 1000000;
}

SandboxRun::~SandboxRun() {
  platform::posix::configure({});  // the observer must not outlive this run
}

void SandboxRun::write_package(const std::string& file_name,
                               const std::vector<testsupport::PayloadEntry>& entries,
                               const testsupport::PackageOptions& options) {
  config.machine.module_host_path = root_ + "/pkg/" + file_name;
  testsupport::write_file(config.machine.module_host_path,
                          testsupport::build_package(entries, options));
}

void SandboxRun::put_in_windows(const std::string& name, const std::string& content) {
  std::ofstream(windows_host() + "/" + name, std::ios::binary) << content;
}

int SandboxRun::run(std::deque<int> answers) {
  config.machine.answer = [answers](const std::string& caption, const std::string& text,
                                    unsigned) mutable {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box \"" << caption << "\": " << text;
      return platform::kIdCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  };
  config.observe = [this](const Event& event) { events.push_back(event); };
  platform::posix::configure(config);
  return installer::run_install_sequence(module());
}

platform::Module SandboxRun::module() const {
  static int module_marker = 0;
  return &module_marker;
}

std::vector<Box> SandboxRun::boxes() const {
  return testsupport::boxes_in(events);
}

const Event* SandboxRun::dialog(int resource) const {
  for (const Event& e : events) {
    if (e.kind == Event::Kind::dialog && e.resource == resource) return &e;
  }
  return nullptr;
}

const Event* SandboxRun::first(Event::Kind kind) const {
  for (const Event& e : events) {
    if (e.kind == kind) return &e;
  }
  return nullptr;
}

std::vector<Event::Kind> SandboxRun::kinds() const {
  std::vector<Event::Kind> all;
  for (const Event& e : events) all.push_back(e.kind);
  return all;
}

bool SandboxRun::windows_has(const std::string& relative) const {
  return fs::exists(windows_host() + "/" + relative);
}

std::string SandboxRun::windows_file(const std::string& relative) const {
  std::ifstream in(windows_host() + "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int SandboxRun::windows_entries() const {
  int count = 0;
  for (auto it = fs::recursive_directory_iterator(windows_host());
       it != fs::recursive_directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

std::vector<testsupport::PayloadEntry> stored_saver(std::size_t saver_size, std::size_t data_size) {
  return {{testsupport::pattern_bytes(saver_size, 1), 0, ".SCR"},
          {testsupport::pattern_bytes(data_size, 2), 0, ".DAT"}};
}

// A compressed body big enough to pass the integrity check's size bound for the total.
std::vector<testsupport::PayloadEntry> sized_package(std::uint32_t original_size) {
  return {{testsupport::pattern_bytes(original_size / 24 + 64, 3), original_size, ".SCR"}};
}

}  // namespace installer_test
