// The names the installer gives a package's files, relative to the Windows directory, and
// the checks that keep an extracted file inside its output folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "payload/format.hpp"

namespace scrpkg::inspect {

// Target path of every entry relative to the Windows directory, with backslashes
// ("AURORA.SCR", "TOLVERAN\LUMIVANE\Aurora\Aurora.DAT"), for the package at `package_path`:
// only its file name counts, as the installer takes it from its own path. Empty when a path
// would not fit the installer's path buffer.
std::optional<std::vector<std::string>> installed_names(const std::string& package_path,
                                                        std::uint16_t base,
                                                        const std::vector<payload::Entry>& entries);

// Why the relative Windows path may not be written under an output folder (it is
// absolute, has an empty, "." or ".." component, or a character no file name may
// carry), or empty when it is safe.
std::optional<std::string> unsafe_name_reason(const std::string& relative);

// Why the entry's extension may not be used for a file name, or empty when it is safe.
std::optional<std::string> unsafe_extension_reason(
    const char (&extension)[payload::kExtensionSize]);

// The host path under `folder` for a safe relative Windows path; empty when the path
// would still leave the folder after normalisation.
std::optional<std::filesystem::path> host_path_inside(const std::filesystem::path& folder,
                                                      const std::string& relative);

}  // namespace scrpkg::inspect
