// What a sandbox install must refuse before its sequence starts: a package too large for
// the format, and one that the install would write over while reading it.
#pragma once

#include <string>

namespace scrpkg::install {

// Ends the subcommand with status 2 when the package is too large for the format, and with
// status 1 when a file the installer would write under `windows_dir` is the package itself
// (through any link). Other faults of the package are left to the installer to report.
void refuse_unsafe_install(const std::string& package_path, const std::string& windows_dir);

}  // namespace scrpkg::install
