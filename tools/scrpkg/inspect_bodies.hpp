// Reading and decoding the entry bodies of a package on the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inspect_package.hpp"

namespace scrpkg {

// Why some entry's stored bytes do not lie inside the file, or empty.
std::optional<std::string> body_outside_file(const Package& package);

// The entry's stored bytes as they are in the file.
std::vector<unsigned char> read_body(const Package& package, const payload::Entry& entry);

// Decodes every compressed entry in table order with the decoder state carried from one
// entry to the next as the installer carries it. Why an entry did not restore to its
// original size, or empty when all did.
std::optional<std::string> decode_all_in_memory(const Package& package);

}  // namespace scrpkg
