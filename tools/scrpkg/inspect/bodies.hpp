// Reading and decoding the entry bodies of a package on the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inspect/package.hpp"

namespace scrpkg::inspect {

// Why some entry's stored bytes do not lie inside the file, or empty.
std::optional<std::string> body_outside_file(const Package& package);

// A compressed entry whose bit stream does not end inside its last stored byte: it ran on
// into the zero bits the decoder supplies past the end, or left whole bytes unread. The
// installer restores it all the same; a packer that pads its bodies makes such entries,
// and so may a changed byte.
struct SuspectBody {
  std::size_t entry;   // index in the table
  std::string reason;  // "its bit stream ...", one line
};

struct DecodeCheck {
  std::optional<std::string> problem;  // why an entry did not restore to its original size
  std::vector<SuspectBody> suspects;   // in table order
};

// Decodes every compressed entry in table order with the decoder state carried from one
// entry to the next as the installer carries it, and notes where each stream ended. The
// problem stops the walk at the first entry that does not restore.
DecodeCheck decode_all_in_memory(const Package& package);

}  // namespace scrpkg::inspect
