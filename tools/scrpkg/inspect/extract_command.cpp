// scrpkg extract: writes a package's files under a folder standing for the Windows
// directory, byte for byte as the installer writes them.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "inspect/commands.hpp"
#include "decode/decoder.hpp"
#include "cli/status.hpp"
#include "inspect/extract.hpp"
#include "inspect/package.hpp"
#include "cli/progress.hpp"
#include "cli/text.hpp"

namespace scrpkg::inspect {
namespace {

// The file as the user named its folder: "out/AURORA.SCR" for -d out.
std::filesystem::path shown_path(const std::string& folder, const PlannedFile& file) {
  const std::filesystem::path root = std::filesystem::absolute(folder).lexically_normal();
  return (std::filesystem::path(folder) / file.host_target.lexically_relative(root))
      .lexically_normal();
}

}  // namespace

int run_extract(const ExtractOptions& options) {
  return run_command([&] {
    const Package package = read_sound_package(options.package);
    // Every name is checked before the first byte is written.
    const std::vector<PlannedFile> plan = plan_extraction(package, options.folder);
    Progress progress(installed_total(package), !options.quiet);
    // A fresh process starts with this state; the ring tail then carries from entry to entry.
    decode::decoder_reset_process_state();
    for (const PlannedFile& file : plan) {
      progress.show();
      extract_entry(package, file);
      const std::uint32_t size = payload::installed_size(package.entries[file.index]);
      progress.advance(size);
      progress.clear_line();
      if (!options.quiet) {
        std::cout << host_text_to_utf8(shown_path(options.folder, file).string()) << " (" << size
                  << " bytes)\n";
      }
    }
    return kExitOk;
  });
}

void add_extract_command(CLI::App& app) {
  auto options = std::make_shared<ExtractOptions>();
  CLI::App* extract = app.add_subcommand(
      "extract", "Write a package's files under a folder that stands for the Windows directory");
  extract->add_option("PACKAGE", options->package, "The package (.EXE)")->required();
  extract->add_option("-d,--directory", options->folder,
                      "Output folder (default: the current one)");
  extract->add_flag("-q,--quiet", options->quiet, "Print nothing but errors");
  extract->callback([options] { return_status(run_extract(*options)); });
}

}  // namespace scrpkg::inspect
