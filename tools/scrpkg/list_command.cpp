// scrpkg list: what a package holds and where the installer would put it.
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "commands.hpp"
#include "inspect_cli.hpp"
#include "inspect_listing.hpp"
#include "inspect_package.hpp"

namespace scrpkg {
namespace {

struct ListOptions {
  std::string package;
  bool json = false;
};

void run_list(const ListOptions& options) {
  std::string reason;
  std::optional<Package> package = read_package(options.package, reason);
  if (!package) fail(kExitDamaged, options.package + ": " + reason);
  const Listing listing = make_listing(*package);
  if (options.json) {
    std::cout << listing_json(listing).dump(2) << '\n';
  } else {
    print_listing(std::cout, listing);
  }
  // A damaged package is still listed, so the reader can see what is wrong with it.
  if (auto problem = integrity_problem(options.package)) {
    fail(kExitDamaged, options.package + ": damaged: " + *problem);
  }
}

}  // namespace

void add_list_command(CLI::App& app) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* list = app.add_subcommand("list", "Show the display name and the entries of a package");
  list->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  list->add_flag("--json", options->json, "Print one JSON document instead of a table");
  list->add_flag("-q,--quiet", "Accepted for symmetry; the listing is the output");
  list->callback([options] { run_list(*options); });
}

}  // namespace scrpkg
