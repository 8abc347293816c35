// scrpkg test: checks that a package is whole, that every compressed entry decodes to its
// size, and where each entry's bit stream ends.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/commands.hpp"
#include "inspect/commands.hpp"
#include "inspect/bodies.hpp"
#include "cli/status.hpp"
#include "inspect/package.hpp"
#include "cli/text.hpp"

namespace scrpkg::inspect {
namespace {

// What the checks can and cannot see, at the end of `test --help` and in the manual page.
constexpr const char* kWhatTestSees =
    "test reads the table and decodes every compressed entry to its full size.\n"
    "The format holds no checksum: a changed byte inside a body may go unnoticed,\n"
    "and one inside a stored entry always does. An entry whose bit stream does not\n"
    "end inside its last stored byte is reported as suspect; the package still\n"
    "counts as sound (exit 0), because other packers may pad their bodies and the\n"
    "installer restores such an entry all the same.";

}  // namespace

// Suspect bodies do not change the status: no end code marks where a stream should end, a
// packer that pads its bodies leaves bytes unread, one that drops trailing zero bytes runs
// on into the zero bits the decoder supplies, and the installer restores both exactly.
// Ours ends every stream inside its last byte, so on its packages a suspect entry points to
// a changed byte; on packages from elsewhere it may be no more than padding.
int run_test(const TestOptions& options) {
  return run_command([&] {
    const Package package = read_sound_package(options.package, options.json);
    if (auto problem = body_outside_file(package))
      fail_damaged(options.package, *problem, options.json);
    const DecodeCheck check = decode_all_in_memory(package);
    if (check.problem) fail_damaged(options.package, *check.problem, options.json);
    for (const SuspectBody& suspect : check.suspects) {
      print_error(options.package + ": entry " + std::to_string(suspect.entry) +
                  ": suspect: " + suspect.reason);
    }
    if (options.json) {
      nlohmann::json document =
          with_verdict({{"package", host_text_to_utf8(options.package)}}, std::nullopt);
      document["entries"] = package.entries.size();
      document["installed_size"] = installed_total(package);
      document["suspect"] = nlohmann::json::array();
      for (const SuspectBody& suspect : check.suspects)
        document["suspect"].push_back({{"entry", suspect.entry}, {"reason", suspect.reason}});
      std::cout << document.dump(2) << '\n';
    } else if (!options.quiet) {
      std::cout << options.package << ": sound, " << entry_count(package.entries.size()) << ", "
                << installed_total(package) << " bytes once installed";
      if (!check.suspects.empty()) std::cout << ", " << check.suspects.size() << " suspect";
      std::cout << '\n';
    }
    return kExitOk;
  });
}

void add_test_command(CLI::App& app) {
  auto options = std::make_shared<TestOptions>();
  CLI::App* test = app.add_subcommand(
      "test", "Check a package: its table, and that every compressed entry decodes to its size");
  test->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  test->add_flag("-q,--quiet", options->quiet, "Print nothing when the package is sound");
  test->add_flag("--json", options->json,
                 "Print one JSON document: the verdict, the problem and the suspect entries");
  test->footer(kWhatTestSees);
  test->callback([options] { return_status(run_test(*options)); });
}

}  // namespace scrpkg::inspect
