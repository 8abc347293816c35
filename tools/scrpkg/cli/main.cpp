// scrpkg: makes, inspects and installs self-installing screen-saver packages.
#include <exception>
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "cli/status.hpp"
#ifdef _WIN32
#include "cli/windows_console.hpp"
#endif

namespace {

void register_commands(CLI::App& app) {
  scrpkg::pack::add_pack_command(app);
  scrpkg::inspect::add_list_command(app);
  scrpkg::inspect::add_test_command(app);
  scrpkg::inspect::add_extract_command(app);
#ifdef _WIN32
  app.footer("install is left out of the Windows build: on Windows, run the package itself.");
#else
  scrpkg::install::add_install_command(app);
#endif
}

// The first word left over when no subcommand matched: the one the user took for a
// subcommand. Empty when the words were options only.
std::string unknown_subcommand(const CLI::App& app) {
  if (!app.get_subcommands().empty()) return "";
  for (const std::string& word : app.remaining()) {
    if (!word.empty() && word.front() != '-') return word;
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  scrpkg::use_utf8_arguments_and_console(argc, argv);
#endif
  CLI::App app{"Makes, inspects and installs self-installing screen-saver packages.", "scrpkg"};
  app.set_version_flag("--version", std::string(SCRPKG_VERSION));
  app.require_subcommand(1);
  register_commands(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::RuntimeError& e) {
    // Commands report their own failures and leave only the status here.
    return e.get_exit_code();
  } catch (const CLI::Error& e) {
    // CLI11 ends --help and --version by throwing CLI::Success (or a type derived from it).
    if (dynamic_cast<const CLI::Success*>(&e) != nullptr) return app.exit(e);
    const std::string word = unknown_subcommand(app);
    scrpkg::print_error(word.empty() ? e.what() : word + ": no such subcommand");
    std::cerr << "Run with --help for more information.\n";
    return scrpkg::kExitUsage;
  } catch (const std::exception& e) {
    scrpkg::print_error(e.what());
    return scrpkg::kExitUsage;
  }
  return scrpkg::kExitOk;
}
