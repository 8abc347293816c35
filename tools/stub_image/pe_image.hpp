// A PE image held in memory, read and patched by the host tools that check the installer
// stub (the packer) or finish it (the build). Every read is checked against the image's
// size; what does not fit throws ImageError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace stub_image {

using Bytes = std::vector<std::uint8_t>;

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::uint32_t get16(const Bytes& image, std::uint64_t at);
std::uint32_t get32(const Bytes& image, std::uint64_t at);
void put32(Bytes& image, std::uint64_t at, std::uint32_t value);

struct Section {
  std::uint64_t header;  // file offset of its section header
  std::string name;
  std::uint32_t virtual_size, rva, raw_size, raw_offset;
};

struct Headers {
  std::uint64_t optional_header;     // its file offset
  std::uint64_t resource_directory;  // file offset of the resource table's directory entry
  std::vector<Section> sections;
};

// Throws ImageError unless the image has the "MZ" and "PE\0\0" signatures, a PE32 or PE32+
// optional header and a whole section table.
Headers read_headers(const Bytes& image);

// The section named `name`, or nullptr.
const Section* find_section(const Headers& headers, const std::string& name);

// One data entry of the resource tree.
struct ResourceData {
  std::string type_name;  // the name of its type; empty for a numbered type
  std::uint32_t entry;    // section-relative offset of the data entry
  std::uint32_t rva;      // where the data is mapped
  std::uint32_t size;
};

// Every data entry of the resource section `rsrc`, in tree order. Throws ImageError when an
// entry lies outside the image or the tree is not three levels of directories over data.
std::vector<ResourceData> resources_in_tree_order(const Bytes& image, const Section& rsrc);

}  // namespace stub_image
