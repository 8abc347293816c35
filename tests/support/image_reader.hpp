// Finds a named resource in a PE image by walking its headers and resource tree by name.
#pragma once

#include "tests/support/pe_builder.hpp"

#include <cstdint>
#include <string>

namespace testsupport {

// File offsets; both 0 when the image has no resource of that named type.
struct ResourceLocation {
  std::uint32_t data_entry = 0;  // the 16-byte data entry describing the resource
  std::uint32_t data = 0;        // the resource's data
};

ResourceLocation find_named_resource(const Bytes& image, const std::string& type_name);

}  // namespace testsupport
