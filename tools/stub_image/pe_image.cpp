#include "tools/stub_image/pe_image.hpp"

#include <algorithm>

#include "payload/format.hpp"
#include "payload/pe_layout.hpp"

namespace stub_image {
namespace {

namespace res = pe::resource;

void check_inside(const Bytes& image, std::uint64_t at, std::uint64_t size) {
  if (at + size > image.size()) throw ImageError("not a whole Windows executable (cut short)");
}

std::string section_name(const Bytes& image, std::uint64_t header) {
  check_inside(image, header, pe::section::kNameSize);
  const char* name = reinterpret_cast<const char*>(image.data() + header);
  return std::string(name, std::find(name, name + pe::section::kNameSize, '\0'));
}

// The name a named entry points at: a 16-bit length, then UTF-16 units (ASCII kept).
std::string entry_name(const Bytes& image, std::uint64_t section_start, std::uint32_t field) {
  if ((field & res::kHighBit) == 0) return {};
  const std::uint64_t at = section_start + (field & ~res::kHighBit);
  std::string name;
  for (std::uint32_t i = 0, length = get16(image, at); i < length; ++i) {
    const std::uint32_t unit = get16(image, at + 2 + 2 * i);
    name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return name;
}

struct TreeWalk {
  const Bytes& image;
  const Section& rsrc;
  std::vector<ResourceData>& found;
};

// The entries of the directory at `offset`, `level` levels below the root; the data entries
// below them are appended in order.
void walk(const TreeWalk& tree, std::uint32_t offset, std::uint32_t level,
          const std::string& type_name) {
  const std::uint64_t directory = std::uint64_t{tree.rsrc.raw_offset} + offset;
  const std::uint32_t count = get16(tree.image, directory + res::kNamedEntryCount) +
                              get16(tree.image, directory + res::kIdEntryCount);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = directory + res::kDirectoryHeaderSize + res::kEntrySize * i;
    const std::uint32_t target = get32(tree.image, entry + res::kEntryOffset);
    const std::string name = level == 0 ? entry_name(tree.image, tree.rsrc.raw_offset,
                                                     get32(tree.image, entry + res::kEntryName))
                                        : type_name;
    if (((target & res::kHighBit) != 0) != (level + 1 < res::kLevels)) {
      throw ImageError("a malformed resource tree");
    }
    if (level + 1 < res::kLevels) {
      walk(tree, target & ~res::kHighBit, level + 1, name);
      continue;
    }
    // Entries shared between directories could multiply without end: no more data entries
    // than the section can hold.
    if (tree.found.size() >= tree.rsrc.raw_size / res::kDataEntrySize) {
      throw ImageError("a malformed resource tree");
    }
    const std::uint64_t data = std::uint64_t{tree.rsrc.raw_offset} + target;
    tree.found.push_back({name, target, get32(tree.image, data + res::kDataAddress),
                          get32(tree.image, data + res::kDataSize)});
  }
}

}  // namespace

std::uint32_t get16(const Bytes& image, std::uint64_t at) {
  check_inside(image, at, 2);
  return payload::get_u16(image.data() + at);
}

std::uint32_t get32(const Bytes& image, std::uint64_t at) {
  check_inside(image, at, 4);
  return payload::get_u32(image.data() + at);
}

void put32(Bytes& image, std::uint64_t at, std::uint32_t value) {
  check_inside(image, at, 4);
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Headers read_headers(const Bytes& image) {
  namespace opt = pe::optional_header;
  const std::uint64_t signature = get32(image, pe::dos::kNewHeaderPointer);
  if (get16(image, 0) != pe::dos::kSignature || get32(image, signature) != pe::kSignature) {
    throw ImageError("not a Windows executable");
  }
  const std::uint64_t file_header = signature + pe::kSignatureSize;
  Headers headers;
  headers.optional_header = file_header + pe::file_header::kSize;
  const std::uint32_t magic = get16(image, headers.optional_header + opt::kMagic);
  if (magic != opt::kPe32 && magic != opt::kPe32Plus) {
    throw ImageError("not a Windows executable image");
  }
  headers.resource_directory =
      headers.optional_header +
      (magic == opt::kPe32 ? opt::kDirectoriesPe32 : opt::kDirectoriesPe32Plus) +
      opt::kResourceDirectory * opt::kDirectorySize;
  std::uint64_t at =
      headers.optional_header + get16(image, file_header + pe::file_header::kOptionalHeaderSize);
  const std::uint32_t count = get16(image, file_header + pe::file_header::kSectionCount);
  for (std::uint32_t i = 0; i < count; ++i, at += pe::section::kSize) {
    check_inside(image, at, pe::section::kSize);
    headers.sections.push_back(
        {at, section_name(image, at), get32(image, at + pe::section::kVirtualSize),
         get32(image, at + pe::section::kVirtualAddress), get32(image, at + pe::section::kRawSize),
         get32(image, at + pe::section::kRawOffset)});
  }
  return headers;
}

const Section* find_section(const Headers& headers, const std::string& name) {
  for (const Section& s : headers.sections) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

std::vector<ResourceData> resources_in_tree_order(const Bytes& image, const Section& rsrc) {
  std::vector<ResourceData> found;
  walk({image, rsrc, found}, 0, 0, {});
  return found;
}

}  // namespace stub_image
