// Test fixtures: minimal but valid PE images shaped like the installer stub, and packages
// made from them, built without any Windows toolchain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

struct StubOptions {
  bool pe32plus = false;                   // an x86_64 (PE32+) image instead of PE32
  bool without_rsrc = false;               // no resource section at all
  bool named_type_before_lastres = false;  // a second named type that sorts before LASTRES
  bool lastres_not_last = false;           // LASTRES data not at the end of the section
  std::uint32_t placeholder = 0x21524C50;  // the 4 placeholder bytes, little-endian
};

// A stub image: headers, a code section, and a .rsrc section whose tree holds LASTRES 1000
// (language 1033, 4-byte placeholder at the very end of the section) and numbered resources.
Bytes build_stub(const StubOptions& options = {});

// File offset of the LASTRES placeholder in a stub made by build_stub.
std::uint32_t placeholder_offset(const Bytes& stub);

struct PayloadEntry {
  Bytes body;                      // the bytes stored in the package
  std::uint32_t original_size = 0; // 0: stored as is; otherwise the decoded size
  std::string extension;           // up to 4 characters, such as ".SCR"
};

struct PackageOptions {
  StubOptions stub;
  std::string name = "Aurora";     // display name field (up to 32 bytes, NUL-padded)
  std::uint16_t base = 3;          // file-number base
  bool terminator = true;          // write the all-zero terminating entry
};

// A package laid out as the authoring tool does: stub cut at the placeholder, header,
// table, terminator, then the bodies in table order with their recorded offsets.
Bytes build_package(const std::vector<PayloadEntry>& entries, const PackageOptions& options = {});

// File offset of the payload header in a package made by build_package.
std::uint32_t payload_offset(const Bytes& package);

void write_file(const std::string& path, const Bytes& bytes);
Bytes read_file(const std::string& path);

}  // namespace testsupport
