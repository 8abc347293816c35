// scrpkg pack: makes a package from the installer stub, a screen saver and its files.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.hpp"
#include "inspect_cli.hpp"
#include "inspect_progress.hpp"
#include "pack_stub_source.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/package_builder.hpp"
#include "tools/encoder/package_error.hpp"
#include "tools/encoder/package_text.hpp"

namespace scrpkg {
namespace {

struct PackOptions {
  std::string output;
  std::string stub;
  std::string name;
  int base = 3;
  bool store = false;
  int level = encoder::kDefaultLevel;
  bool quiet = false;
  std::vector<std::string> files;
};

packer::Bytes read_input(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(kExitUsage, "cannot read " + path);
  return packer::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<packer::PackFile> read_inputs(const std::vector<std::string>& paths) {
  std::vector<packer::PackFile> files;
  for (const std::string& path : paths) {
    files.push_back({packer::extension_field(path), read_input(path)});
  }
  return files;
}

void write_output(const std::string& path, const packer::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) fail(kExitUsage, "cannot write " + path);
}

std::uint64_t total_size(const std::vector<packer::PackFile>& files) {
  std::uint64_t total = 0;
  for (const auto& f : files) total += f.contents.size();
  return total;
}

void run_pack(const PackOptions& options) {
  try {
    packer::PackSettings settings;
    settings.name = packer::display_name(options.name.empty()
                                             ? packer::name_without_extension(options.files.front())
                                             : options.name);
    settings.base = static_cast<std::uint16_t>(options.base);
    settings.store = options.store;
    settings.level = options.level;
    const std::vector<packer::PackFile> files = read_inputs(options.files);
    packer::Bytes stub;
    const packer::StubLayout layout = load_stub(options.stub, stub);
    Progress progress(total_size(files), !options.quiet);
    progress.show();
    std::uint64_t shown = 0;
    const packer::Bytes package =
        packer::build_package(stub, layout, files, settings, [&](std::uint64_t done) {
          progress.advance(done - shown);
          shown = done;
          progress.show();
        });
    progress.finish();
    write_output(options.output, package);
    if (!options.quiet) {
      std::cout << options.output << ": " << entry_count(files.size()) << ", " << package.size()
                << " bytes\n";
    }
  } catch (const packer::PackError& e) {
    fail(kExitUsage, e.what());
  }
}

}  // namespace

void add_pack_command(CLI::App& app) {
  auto options = std::make_shared<PackOptions>();
  CLI::App* pack = app.add_subcommand("pack", "Make a package from a screen saver and its files");
  pack->add_option("-o,--output", options->output, "The package to write (.EXE)")->required();
  pack->add_option("--stub", options->stub, "The installer stub (default: the built-in one)")
      ->check(CLI::ExistingFile);
  pack->add_option("--name", options->name,
                   "Display name, at most 32 bytes in Windows-1252 (default: the .SCR's name)");
  pack->add_option("--base", options->base, "File-number base for extra files")
      ->check(CLI::Range(0, 65535));
  pack->add_flag("--store", options->store, "Store every file as is");
  pack->add_option("--level", options->level, "Compression level, 1 (fast) to 9 (small)")
      ->check(CLI::Range(encoder::kMinLevel, encoder::kMaxLevel));
  pack->add_flag("-q,--quiet", options->quiet, "Print nothing but errors");
  pack->add_option("FILES", options->files, "SAVER.SCR [DATA.DAT [EXTRA ...]]")
      ->required()
      ->check(CLI::ExistingFile);
  pack->callback([options] { run_pack(*options); });
}

}  // namespace scrpkg
