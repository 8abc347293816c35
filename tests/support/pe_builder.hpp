// Test fixtures: minimal but valid PE images shaped like the installer stub, and packages
// made from them, built without any Windows toolchain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// The named resource type that sorts before LASTRES when named_type_before_lastres is set,
// and the 8 bytes of its data.
inline constexpr const char* kEarlierTypeName = "FIRSTRES";
inline constexpr const char* kEarlierTypeData = "EARLIER!";

struct StubOptions {
  bool pe32plus = false;                      // an x86_64 (PE32+) image instead of PE32
  bool without_rsrc = false;                  // no resource section at all
  bool named_type_before_lastres = false;     // a second named type that sorts before LASTRES
  bool lastres_not_last = false;              // LASTRES data not at the end of the section
  std::uint32_t placeholder = 0x21524C50;     // the 4 placeholder bytes, little-endian
  std::string progress_text = "Installeren";  // the progress panel's first line
  bool damaged_dialogs = false;               // both dialog templates cut to garbage
};

// A stub image: headers, a code section, and a .rsrc section whose tree holds LASTRES 1000
// (language 1033, 4-byte placeholder at the very end of the section) and numbered resources
// (icon 1, dialogs 103 and 104 laid out as the installer's own, icon group 101). The .rsrc section
// is the last section; FileAlignment is 0x200 and its raw size is its used size rounded up to that.
Bytes build_stub(const StubOptions& options = {});

// File offset of the LASTRES placeholder in a stub made by build_stub; 0 when the image has
// no LASTRES resource (without_rsrc).
std::uint32_t placeholder_offset(const Bytes& stub);

// File offset of the data of the first resource of the named type, found by name through
// the image's headers and resource tree; 0 when there is none.
std::uint32_t resource_data_offset(const Bytes& image, const std::string& type_name);

struct PayloadEntry {
  Bytes body;                       // the bytes stored in the package
  std::uint32_t original_size = 0;  // 0: stored as is; otherwise the decoded size
  std::string extension;            // up to 4 characters, such as ".SCR"
};

struct PackageOptions {
  StubOptions stub;
  std::string name = "Aurora";  // display name field (up to 32 bytes, NUL-padded)
  std::uint16_t base = 3;       // file-number base
  bool terminator = true;       // write the all-zero terminating entry
  // Moves the payload this many bytes away from the placeholder (zero bytes fill the gap
  // when positive, stub bytes are dropped when negative) and points LASTRES there, while
  // the entry offsets still describe the unmoved layout.
  std::int32_t move_header = 0;
};

// A package laid out as the authoring tool does: stub cut at the placeholder, header,
// table, terminator, then the bodies in table order with their recorded offsets. Without
// a LASTRES resource the payload is appended to the whole stub.
Bytes build_package(const std::vector<PayloadEntry>& entries, const PackageOptions& options = {});

// File offset of the payload header in a package made by build_package (0 without LASTRES).
std::uint32_t payload_offset(const Bytes& package);

void write_file(const std::string& path, const Bytes& bytes);
Bytes read_file(const std::string& path);

}  // namespace testsupport
