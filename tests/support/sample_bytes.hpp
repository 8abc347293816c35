// Payload bodies for fixtures: bytes that compress well, bytes that differ from one body
// to the next, and entries compressed with the packer's encoder.
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/pe_builder.hpp"

namespace testsupport {

Bytes text_bytes(std::size_t size, unsigned seed);
Bytes pattern_bytes(std::size_t size, unsigned seed);
PayloadEntry compressed(const Bytes& original, const std::string& extension);

}  // namespace testsupport
