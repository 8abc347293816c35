// Lays a package out: the stub up to its placeholder, the payload header, the entry table
// with its terminator, the bodies in table order, then zeros up to the stub's raw end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/encoder/package_stub.hpp"

namespace packer {

using Bytes = std::vector<std::uint8_t>;

struct PackFile {
  std::string extension;  // the extension field, at most 4 bytes
  Bytes contents;
};

// A file to pack, read in order from first byte to last.
struct PackInput {
  std::string extension;  // the extension field, at most 4 bytes
  std::uint64_t size;     // what `read` delivers in all, known before the first read
  // Fills up to `room` bytes of `buffer` with the next ones and returns how many; throws
  // PackError when the file can't be read.
  std::function<std::size_t(std::uint8_t* buffer, std::size_t room)> read;
};

// Where a package goes: appended to in order, and the entry table, appended as zeros
// before the bodies, written over once their sizes are known. Both may throw.
struct PackOutput {
  std::function<void(const std::uint8_t* data, std::size_t size)> append;
  std::function<void(std::uint64_t offset, const std::uint8_t* data, std::size_t size)> write_at;
};

struct PackSettings {
  std::string name;        // the display name field, at most 32 bytes, Windows-1252
  std::uint16_t base = 3;  // file-number base
  bool store = false;      // store every entry as is
  int level = 6;           // encoder level for compressed entries
};

// Called after each file has been compressed or stored, and during a long stored copy, with
// the original bytes done so far.
using PackProgress = std::function<void(std::uint64_t bytes_done)>;

// Why a file of `size` bytes can't be an entry (it is empty, since a stored size of 0 would
// end the table, or larger than the readers take), or empty when it can.
std::optional<std::string> input_size_problem(std::uint64_t size);

// Files in table order: the screen saver, its data file, then extra files. An entry is
// compressed when that makes it smaller. Before reading anything, throws PackError when an
// extension is too long or a size is refused by input_size_problem(), and PackTooLarge when,
// storing, the package would end past payload::kMaxPackageSize; compressing, that is checked
// as the package grows.
// A compressed input is held in memory once, its stream and a stored input pass through in
// chunks. Returns the package's size.
std::uint64_t write_package(const Bytes& stub, const StubLayout& layout,
                            const std::vector<PackInput>& inputs, const PackSettings& settings,
                            const PackOutput& output, const PackProgress& progress = {});

// The same in memory.
Bytes build_package(const Bytes& stub, const StubLayout& layout, const std::vector<PackFile>& files,
                    const PackSettings& settings, const PackProgress& progress = {});

}  // namespace packer
