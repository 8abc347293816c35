// A small, independent reading of a PE image for the stub's layout tests: headers,
// sections, data directories, imported DLLs and the resource tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace stubtest {

using Bytes = std::vector<std::uint8_t>;

struct Section {
  std::string name;
  std::uint32_t virtual_size = 0;
  std::uint32_t rva = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_offset = 0;
};

struct Directory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct PeView {
  std::uint16_t machine = 0;
  std::uint16_t characteristics = 0;
  std::uint32_t timestamp = 0;
  bool pe32plus = false;
  std::uint16_t subsystem = 0;
  std::vector<Directory> directories;
  std::vector<Section> sections;
};

// One resource, as a leaf of the tree.
struct Resource {
  std::string type_name;  // empty for a numbered type
  std::uint32_t type_id = 0;
  std::uint32_t id = 0;
  std::uint32_t language = 0;
  std::uint32_t data_rva = 0;
  std::uint32_t size = 0;
};

Bytes read_file(const std::string& path);
void write_file(const std::string& path, const Bytes& bytes);

// False when the bytes are not a PE image this reader understands.
bool parse_pe(const Bytes& image, PeView& view);

const Section* find_section(const PeView& view, const std::string& name);

// File offset of an address inside one of the sections; 0 when none holds it.
std::uint32_t file_offset(const PeView& view, std::uint32_t rva);

// A DLL of the import directory and its functions, as written ("#" and the ordinal for one
// imported by number).
struct Import {
  std::string dll;
  std::vector<std::string> functions;
};

std::vector<Import> imports(const Bytes& image, const PeView& view);

// Every resource of the .rsrc section, in tree order.
std::vector<Resource> resources_in_tree_order(const Bytes& image, const PeView& view);

// The named type entries of the root directory.
std::uint32_t named_type_count(const Bytes& image, const PeView& view);

Bytes resource_data(const Bytes& image, const PeView& view, const Resource& resource);

const Resource* find_resource(const std::vector<Resource>& resources, std::uint32_t type_id,
                              std::uint32_t id);

}  // namespace stubtest
