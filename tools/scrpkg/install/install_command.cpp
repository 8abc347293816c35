// scrpkg install: runs a package's own install sequence against a sandbox folder that
// stands for the Windows directory, with the user's side of the dialogue on the terminal.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "cli/status.hpp"
#include "inspect/package.hpp"
#include "install/guard.hpp"
#include "install/session.hpp"
#include "platform/posix/sandbox.hpp"

namespace scrpkg::install {
namespace {

const std::vector<std::string> kSimulatedMissing = {"OPENGL32.DLL", "GLU32.DLL", "glGenTextures",
                                                    "GetDiskFreeSpaceExA"};

void add_simulation_options(CLI::App& install, InstallOptions& options) {
  install
      .add_option("--without", options.missing,
                  "Simulate a missing library or export (repeatable): OPENGL32.DLL, GLU32.DLL, "
                  "glGenTextures, GetDiskFreeSpaceExA")
      ->check(CLI::IsMember(kSimulatedMissing, CLI::ignore_case));
  install
      .add_option("--free-kb", options.free_kb,
                  "Free space to report on the Windows directory's drive, in kilobytes (0 to " +
                      std::to_string(platform::posix::kLargestFreeKb) + ")")
      ->check(CLI::Range(std::uint64_t{0}, platform::posix::kLargestFreeKb));
}

void add_answer_options(CLI::App& install, InstallOptions& options) {
  CLI::Option* answers = install.add_option(
      "--answers", options.answers,
      "Answers to the message boxes in order, comma-separated: yes/ja, no/nee, ok, "
      "cancel/annuleren, or a button's position (1 = first)");
  CLI::Option* yes = install.add_flag("-y,--yes", options.press_defaults,
                                      "Press every box's default (first) button");
  answers->excludes(yes);
}

void add_folder_options(CLI::App& install, InstallOptions& options) {
  CLI::Option* folder =
      install.add_option("--windows-dir", options.windows_dir,
                         "Host folder that plays the Windows directory (created when missing)");
  CLI::Option* prefix = install.add_option(
      "--wine-prefix", options.wine_prefix,
      "Install into an existing Wine prefix: the same as --windows-dir DIR/drive_c/windows, and "
      "--launch starts the screen saver with WINEPREFIX=DIR");
  folder->excludes(prefix);
}

// A prefix Wine has made holds both; a folder without them would become a fake one.
bool is_wine_prefix(const std::filesystem::path& folder) {
  std::error_code ec;
  return std::filesystem::is_regular_file(folder / "system.reg", ec) &&
         std::filesystem::is_directory(folder / "drive_c", ec);
}

// The Windows directory the options name; a usage error when they name none, or name a
// folder that is no Wine prefix.
std::string windows_dir_of(const InstallOptions& options) {
  if (!options.wine_prefix.empty()) {
    if (!is_wine_prefix(options.wine_prefix))
      throw Failure{kExitUsage,
                    options.wine_prefix + ": not a Wine prefix (no system.reg and drive_c)"};
    return (std::filesystem::path(options.wine_prefix) / "drive_c" / "windows").string();
  }
  if (options.windows_dir.empty())
    throw Failure{kExitUsage, "install: --windows-dir or --wine-prefix is required"};
  return options.windows_dir;
}

}  // namespace

void add_install_command(CLI::App& app) {
  auto options = std::make_shared<InstallOptions>();
  CLI::App* install = app.add_subcommand(
      "install", "Run a package's install sequence in a sandbox folder standing for C:\\WINDOWS");
  install->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  add_folder_options(*install, *options);
  add_answer_options(*install, *options);
  install->add_option("--log", options->log, "Write every event as JSON Lines to this file");
  install->add_flag("--launch", options->launch,
                    "Really start the installed screen saver (with wine, when it is on PATH)");
  add_simulation_options(*install, *options);
  install->add_flag("-q,--quiet", options->quiet, "Show only what needs an answer");
  install->callback([options] {
    return_status(run_command([&] {
      if (auto why = inspect::unreadable_reason(options->package))
        throw Failure{kExitUsage, options->package + ": " + *why};
      options->windows_dir = windows_dir_of(*options);
      refuse_unsafe_install(options->package, options->windows_dir);
      return run_install(*options, std::cin, std::cout, isatty(STDIN_FILENO) != 0);
    }));
  });
}

}  // namespace scrpkg::install
