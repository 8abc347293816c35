// The sandbox configuration fixtures start from.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/posix/sandbox.hpp"
#include "tests/support/message_box.hpp"

namespace testsupport {

// The Windows folder and the package at the given host paths; every event lands in `events`.
inline platform::posix::Config recording_config(const std::filesystem::path& windows,
                                                const std::filesystem::path& package,
                                                std::vector<platform::posix::Event>& events) {
  platform::posix::Config config;
  config.machine.windows_dir_host = windows.string();
  config.machine.module_host_path = package.string();
  config.observe = [&events](const platform::posix::Event& event) { events.push_back(event); };
  return config;
}

// The message boxes among the events, as the user saw them.
inline std::vector<Box> boxes_in(const std::vector<platform::posix::Event>& events) {
  std::vector<Box> shown;
  for (const platform::posix::Event& e : events) {
    if (e.kind == platform::posix::Event::Kind::message_box)
      shown.push_back({e.caption, e.text, e.type});
  }
  return shown;
}

}  // namespace testsupport
