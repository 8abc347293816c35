// Writing a package's entries under a folder, named and decoded as the installer does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "inspect_package.hpp"

namespace scrpkg {

struct PlannedFile {
  std::size_t index;
  std::string relative;               // relative Windows path, as the installer names it
  std::filesystem::path host_target;  // where it goes under the output folder
};

// The target of every entry under `folder`. Ends the subcommand with status 2 when any
// name is unsafe or would leave the folder; nothing has been written then.
std::vector<PlannedFile> plan_extraction(const Package& package,
                                         const std::filesystem::path& folder);

// Writes one planned entry. Ends the subcommand with status 1 when it can't be written.
void extract_entry(const Package& package, const PlannedFile& file);

}  // namespace scrpkg
