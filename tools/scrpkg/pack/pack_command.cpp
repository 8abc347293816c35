// scrpkg pack: makes a package from the installer stub, a screen saver and its files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/commands.hpp"
#include "cli/status.hpp"
#include "cli/output_file.hpp"
#include "inspect/package.hpp"
#include "cli/progress.hpp"
#include "pack/stub_source.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/package_builder.hpp"
#include "tools/encoder/package_error.hpp"
#include "tools/encoder/package_text.hpp"

namespace scrpkg::pack {
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

namespace fs = std::filesystem;

// The size of a file to be read, once it is known to be one that reading can finish: a
// regular file (not a FIFO, device or folder) that can be opened, of a size a package can
// hold.
std::uint64_t checked_size(const std::string& path, bool entry) {
  if (auto why = inspect::unreadable_reason(path)) throw Failure{kExitUsage, path + ": " + *why};
  std::error_code ec;
  const std::uint64_t size = fs::file_size(path, ec);
  if (ec) throw Failure{kExitUsage, path + ": " + ec.message()};
  if (entry) {
    if (auto problem = packer::input_size_problem(size))
      throw Failure{kExitUsage, path + ": " + *problem};
  } else if (auto problem = inspect::package_size_problem(size)) {
    throw Failure{kExitUsage, path + ": " + *problem};
  }
  return size;
}

void refuse_overwriting_inputs(const PackOptions& options) {
  std::vector<std::string> inputs = options.files;
  if (!options.stub.empty()) inputs.push_back(options.stub);
  for (const std::string& input : inputs) {
    if (same_file(options.output, input))
      throw Failure{kExitUsage,
                    options.output + ": is one of the inputs (" + input + "); nothing written"};
  }
}

// Each file stays open, for its reader, until the last copy of the reader goes.
std::vector<packer::PackInput> open_inputs(const std::vector<std::string>& paths) {
  std::vector<packer::PackInput> inputs;
  for (const std::string& path : paths) {
    const std::uint64_t size = checked_size(path, true);
    std::FILE* const opened = std::fopen(path.c_str(), "rb");
    if (opened == nullptr) throw Failure{kExitUsage, path + ": " + std::strerror(errno)};
    const std::shared_ptr<std::FILE> in(opened, [](std::FILE* file) { std::fclose(file); });
    inputs.push_back(
        {packer::extension_field(path), size, [in, path](std::uint8_t* buffer, std::size_t room) {
           const std::size_t got = std::fread(buffer, 1, room, in.get());
           if (got == 0 && std::ferror(in.get()))
             throw packer::PackError(path + ": " + std::strerror(errno));
           return got;
         }});
  }
  return inputs;
}

std::uint64_t total_size(const std::vector<packer::PackInput>& inputs) {
  std::uint64_t total = 0;
  for (const auto& input : inputs) total += input.size;
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
    refuse_overwriting_inputs(options);
    if (!options.stub.empty()) checked_size(options.stub, false);
    const std::vector<packer::PackInput> inputs = open_inputs(options.files);
    packer::Bytes stub;
    const packer::StubLayout layout = load_stub(options.stub, stub);
    Progress progress(total_size(inputs), !options.quiet);
    progress.show();
    std::uint64_t shown = 0;
    OutputFile out(options.output);
    const packer::PackOutput output{
        [&out](const std::uint8_t* data, std::size_t size) { out.write(data, size); },
        [&out](std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
          out.write_at(offset, data, size);
        }};
    const std::uint64_t size =
        packer::write_package(stub, layout, inputs, settings, output, [&](std::uint64_t done) {
          progress.advance(done - shown);
          shown = done;
          progress.show();
        });
    out.commit();
    progress.clear_line();
    if (!options.quiet) {
      std::cout << options.output << ": " << entry_count(inputs.size()) << ", " << size
                << " bytes\n";
    }
  } catch (const packer::PackTooLarge& e) {
    throw Failure{kExitUsage, options.output + ": " + e.what()};
  } catch (const packer::PackError& e) {
    throw Failure{kExitUsage, e.what()};
  } catch (const OutputError& e) {
    throw Failure{kExitUsage, options.output + ": " + e.what()};
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
  pack->callback([options] {
    return_status(run_command([&] {
      run_pack(*options);
      return kExitOk;
    }));
  });
}

}  // namespace scrpkg::pack
