// A sandboxed installer run for the transcript tests: a temporary Windows folder, a
// package written from fixture entries, scripted message-box answers and the events seen.
#pragma once

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/platform.hpp"
#include "platform/posix/sandbox.hpp"
#include "tests/support/message_box.hpp"
#include "tests/support/pe_builder.hpp"
#include "tests/support/scratch_dir.hpp"

namespace installer_test {

using platform::posix::Event;

using testsupport::Box;

class SandboxRun {
 public:
  // `windows_folder` names the host folder standing for the Windows directory.
  explicit SandboxRun(const std::string& windows_folder = "windows");
  ~SandboxRun();
  SandboxRun(const SandboxRun&) = delete;
  SandboxRun& operator=(const SandboxRun&) = delete;

  // Writes the package under the given file name; it becomes the running module.
  void write_package(const std::string& file_name,
                     const std::vector<testsupport::PayloadEntry>& entries,
                     const testsupport::PackageOptions& options = {});
  // Creates a file in the Windows folder, as an earlier installation would have.
  void put_in_windows(const std::string& name, const std::string& content);

  // Runs the install sequence answering the message boxes in order; a box beyond the
  // script fails the test and is answered with Cancel.
  int run(std::deque<int> answers);

  platform::posix::Config config;
  platform::Module module() const;  // the handle the runs pass to the sequence

  std::vector<Event> events;
  std::vector<Box> boxes() const;
  const Event* dialog(int resource) const;
  const Event* first(Event::Kind kind) const;
  std::vector<Event::Kind> kinds() const;

  std::string windows_host() const { return root_ + "/" + windows_folder_; }
  bool windows_has(const std::string& relative) const;
  std::string windows_file(const std::string& relative) const;
  int windows_entries() const;  // files and folders anywhere under the Windows folder

 private:
  testsupport::ScratchDir scratch_;
  std::string root_;
  std::string windows_folder_;
};

// Package entries: a stored screen saver and data file of the given sizes.
std::vector<testsupport::PayloadEntry> stored_saver(std::size_t saver_size = 1000,
                                                    std::size_t data_size = 300);

// One entry recorded as compressed to `original_size` bytes, for runs that never extract.
std::vector<testsupport::PayloadEntry> sized_package(std::uint32_t original_size);

}  // namespace installer_test
