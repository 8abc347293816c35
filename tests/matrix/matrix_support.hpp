// A machine for the bad-input matrix: a temporary drive holding the Windows folder, files
// left there by an earlier installation, the package, the sandboxed install sequence
// answered OK/Yes throughout, and the scrpkg inspector run as a separate process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/posix/sandbox.hpp"
#include "tests/support/message_box.hpp"
#include "tests/support/pe_builder.hpp"
#include "tests/support/process_run.hpp"
#include "tests/support/sample_bytes.hpp"
#include "tests/support/sandbox_config.hpp"

namespace matrix {

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::PayloadEntry;

constexpr unsigned kOkError = 0x10;

using testsupport::Box;

using testsupport::damaged_box;

class Machine {
 public:
  // `windows_name` is the Windows folder's name under the drive root (C:\<name>).
  explicit Machine(const std::string& windows_name = "WINDOWS");
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  void put_package(const Bytes& bytes, const std::string& file_name = "Aurora.exe");
  // An earlier installation: the screen saver, a data file, system.ini and an unrelated file.
  void put_earlier_installation();

  // Runs the install sequence, answering every box with its OK or Yes button.
  int install(const std::function<void(platform::posix::Config&)>& adjust = {});

  // Every file under the drive root with its content, paths relative to the drive.
  std::map<std::string, std::string> drive_files() const;

  const fs::path& drive() const { return drive_; }
  const fs::path& windows() const { return windows_; }
  const fs::path& package() const { return package_; }
  std::vector<Box> boxes() const { return testsupport::boxes_in(events_); }
  const std::vector<platform::posix::Event>& events() const { return events_; }
  int count(platform::posix::Event::Kind kind) const;

 private:
  testsupport::ScratchDir scratch_;
  fs::path root_, drive_, windows_, package_;
  std::vector<platform::posix::Event> events_;
};

using testsupport::RunResult;

// Runs the scrpkg program with the arguments; standard input is empty.
RunResult run_scrpkg(const std::vector<std::string>& args);

using testsupport::compressed;
using testsupport::pattern_bytes;
using testsupport::text_bytes;

}  // namespace matrix
