// Builds the contents of a .rsrc section from a list of resources given in tree order.
#pragma once

#include "tests/support/pe_builder.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct Resource {
  std::string type_name;      // a named type when not empty
  std::uint16_t type_id = 0;  // the numbered type otherwise
  std::uint16_t id = 0;
  std::uint16_t language = 1033;
  Bytes data;
};

// Same type must be adjacent; named types must come first, as a resource tree lists them.
// `last_body` is the index of the resource whose data ends the section; the other bodies
// follow the tree order.
Bytes build_resource_section(const std::vector<Resource>& resources, std::uint32_t section_rva,
                             std::size_t last_body);

}  // namespace testsupport
