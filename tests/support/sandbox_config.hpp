// The sandbox configuration fixtures start from.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/posix/sandbox.hpp"

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

}  // namespace testsupport
