// Checks an installer stub and finds where a package cuts it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packer {

struct StubLayout {
  std::uint32_t payload_offset;  // file offset of the LASTRES placeholder: the cut
  std::uint32_t raw_end;         // end of the sections' raw data: the least package size
};

// Reads the stub's headers and resource tree. Throws PackError, with the reason alone,
// unless it is a 32-bit Windows executable whose first resource in tree order is LASTRES,
// with 4 bytes of data that end its resource section's used size.
StubLayout inspect_stub(const std::vector<std::uint8_t>& stub);

// Reads the stub file at `path` into `stub` and inspects it as above; the cut is where the
// installer's own locator finds the payload, which must agree with the resource tree.
// Throws PackError ("stub <path>: <reason>", or "<shown_as>: <reason>") when the file
// can't be read or the stub is refused.
StubLayout inspect_stub_file(const std::string& path, std::vector<std::uint8_t>& stub,
                             const std::string& shown_as = "");

}  // namespace packer
