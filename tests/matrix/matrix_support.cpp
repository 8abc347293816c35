#include "tests/matrix/matrix_support.hpp"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "installer/sequence.hpp"
#include "platform/platform.hpp"

namespace matrix {

using testsupport::file_text;

namespace {

void put_text(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The OK or Yes button of every box: the answer that lets the installation go on.
int go_on(unsigned type) {
  const unsigned buttons = type & 0x0F;
  return buttons == platform::kMbYesNo || buttons == platform::kMbYesNoCancel ? platform::kIdYes
                                                                              : platform::kIdOk;
}

}  // namespace

Machine::Machine(const std::string& windows_name) : root_(scratch_.path()) {
  drive_ = root_ / "drive";
  windows_ = drive_ / windows_name;
  std::error_code too_long;  // a name past the host's limit stays a name only
  fs::create_directories(windows_, too_long);
  fs::create_directories(drive_, too_long);
}

Machine::~Machine() {
  platform::posix::configure({});  // the observer must not outlive the machine
}

void Machine::put_package(const Bytes& bytes, const std::string& file_name) {
  package_ = root_ / "pkg" / file_name;
  fs::create_directories(package_.parent_path());
  testsupport::write_file(package_.string(), bytes);
}

void Machine::put_earlier_installation() {
  put_text(windows_ / "AURORA.SCR", "the screen saver installed before");
  put_text(windows_ / "TOLVERAN" / "LUMIVANE" / "Aurora" / "Aurora.DAT", "its data");
  put_text(windows_ / "system.ini", "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\OLD.SCR\r\n");
  put_text(windows_ / "NOTEPAD.EXE", "not ours");
  put_text(drive_ / "AUTOEXEC.BAT", "not ours either");
}

int Machine::install(const std::function<void(platform::posix::Config&)>& adjust) {
  platform::posix::Config config = testsupport::recording_config(windows_, package_, events_);
  config.machine.free_kb = 1000000;
  config.machine.answer = [](const std::string&, const std::string&, unsigned type) {
    return go_on(type);
  };
  if (adjust) adjust(config);
  platform::posix::configure(config);
  static int module_marker = 0;
  return installer::run_install_sequence(&module_marker);
}

std::map<std::string, std::string> Machine::drive_files() const {
  std::map<std::string, std::string> files;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(drive_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    const std::string relative = it->path().lexically_relative(drive_).generic_string();
    files[relative] = it->is_directory() ? std::string("<folder>") : file_text(it->path());
  }
  return files;
}

int Machine::count(platform::posix::Event::Kind kind) const {
  int n = 0;
  for (const auto& e : events_) n += e.kind == kind;
  return n;
}

RunResult run_scrpkg(const std::vector<std::string>& args) {
  return testsupport::run_program(SCRPKG_EXE, args);
}

}  // namespace matrix
