// scrpkg list: what a package holds and where the installer would put it.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "inspect/commands.hpp"
#include "cli/status.hpp"
#include "inspect/listing.hpp"
#include "inspect/package.hpp"

namespace scrpkg::inspect {

int run_list(const ListOptions& options) {
  return run_command([&] {
    const Package package = read_package_for_command(options.package, options.json);
    const Listing listing = make_listing(package);
    // A damaged package is still listed, so the reader can see what is wrong with it.
    const std::optional<std::string>& problem = package.problem;
    if (options.json) {
      std::cout << with_verdict(listing_json(listing), problem).dump(2) << '\n';
    } else {
      print_listing(std::cout, listing);
    }
    if (problem) throw Failure{kExitDamaged, options.package + ": damaged: " + *problem};
    return kExitOk;
  });
}

void add_list_command(CLI::App& app) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* list = app.add_subcommand("list", "Show the display name and the entries of a package");
  list->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  list->add_flag("--json", options->json, "Print one JSON document instead of a table");
  list->add_flag("-q,--quiet", "Accepted for symmetry; the listing is the output");
  list->callback([options] { return_status(run_list(*options)); });
}

}  // namespace scrpkg::inspect
