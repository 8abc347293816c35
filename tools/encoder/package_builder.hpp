// Lays a package out: the stub up to its placeholder, the payload header, the entry table
// with its terminator, the bodies in table order, then zeros up to the stub's raw end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/encoder/package_stub.hpp"

namespace packer {

using Bytes = std::vector<std::uint8_t>;

struct PackFile {
  std::string extension;  // the extension field, at most 4 bytes
  Bytes contents;
};

struct PackSettings {
  std::string name;        // the display name field, at most 32 bytes, Windows-1252
  std::uint16_t base = 3;  // file-number base
  bool store = false;      // store every entry as is
  int level = 6;           // encoder level for compressed entries
};

// Called after each file has been compressed or stored, with its original size.
using PackProgress = std::function<void(std::uint64_t bytes_done)>;

// Files in table order: the screen saver, its data file, then extra files. An entry is
// compressed when that makes it smaller. Throws PackError when a file is empty (a stored
// size of 0 would end the table) or the package would outgrow 32-bit offsets.
Bytes build_package(const Bytes& stub, const StubLayout& layout, const std::vector<PackFile>& files,
                    const PackSettings& settings, const PackProgress& progress = {});

}  // namespace packer
