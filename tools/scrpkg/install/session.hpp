// One sandboxed run of a package's install sequence.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrpkg::install {

struct InstallOptions {
  std::string package;
  std::string windows_dir;
  std::string wine_prefix;  // --wine-prefix: windows_dir is inside it, a launch runs in it
  std::optional<std::string> answers;  // --answers
  bool press_defaults = false;         // -y
  std::string log;
  bool launch = false;
  std::vector<std::string> missing;  // --without
  std::optional<std::uint64_t> free_kb;
  bool quiet = false;
};

// Runs the sequence and returns the exit status: the sequence's own, or 1 when a message
// box could not be answered or the log could not be written. Throws Failure when the
// Windows folder or the log can't be made, or an OK-only box can't be answered.
int run_install(const InstallOptions& options, std::istream& in, std::ostream& out,
                bool stdin_is_terminal);

}  // namespace scrpkg::install
