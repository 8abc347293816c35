// Writing a package's entries under a folder, named and decoded as the installer does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "inspect/package.hpp"

namespace scrpkg::inspect {

struct PlannedFile {
  std::size_t index;
  std::string relative;               // relative Windows path, as the installer names it
  std::filesystem::path host_target;  // where it goes under the output folder
};

// The target of every entry under `folder`. Ends the subcommand with status 2 when any
// name is unsafe or would leave the folder, with status 1 when a target is the package
// itself; nothing has been written then.
std::vector<PlannedFile> plan_extraction(const Package& package,
                                         const std::filesystem::path& folder);

// Writes one planned entry under a temporary name and renames it into place once whole.
// Ends the subcommand with status 1, and the reason, when it can't be written; the target
// is then as it was.
void extract_entry(const Package& package, const PlannedFile& file);

}  // namespace scrpkg::inspect
