// scrpkg test: checks that a package is whole and that every compressed entry decodes.
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "commands.hpp"
#include "inspect_bodies.hpp"
#include "inspect_cli.hpp"
#include "inspect_package.hpp"

namespace scrpkg {
namespace {

struct TestOptions {
  std::string package;
  bool quiet = false;
};

void run_test(const TestOptions& options) {
  const Package package = read_sound_package(options.package);
  if (auto problem = body_outside_file(package))
    fail(kExitDamaged, options.package + ": " + *problem);
  if (auto problem = decode_all_in_memory(package))
    fail(kExitDamaged, options.package + ": " + *problem);
  if (!options.quiet) {
    std::cout << options.package << ": sound, " << entry_count(package.entries.size()) << ", "
              << installed_total(package) << " bytes once installed\n";
  }
}

}  // namespace

void add_test_command(CLI::App& app) {
  auto options = std::make_shared<TestOptions>();
  CLI::App* test = app.add_subcommand(
      "test", "Check a package: its table, its bodies, and that every compressed entry decodes");
  test->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  test->add_flag("-q,--quiet", options->quiet, "Print nothing when the package is sound");
  test->callback([options] { run_test(*options); });
}

}  // namespace scrpkg
