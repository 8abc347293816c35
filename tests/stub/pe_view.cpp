#include "tests/stub/pe_view.hpp"

#include <fstream>
#include <iterator>

namespace stubtest {
namespace {

std::uint32_t u16(const Bytes& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
  return u16(b, at) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kImportDirectory = 1;

std::string counted_name(const Bytes& b, std::size_t at) {
  std::string name;
  std::uint32_t length = u16(b, at);
  for (std::uint32_t i = 0; i < length; ++i) name += static_cast<char>(u16(b, at + 2 + 2 * i));
  return name;
}

std::string c_string(const Bytes& b, std::size_t at) {
  std::string text;
  for (; b.at(at) != 0; ++at) text += static_cast<char>(b[at]);
  return text;
}

struct Walk {
  const Bytes& image;
  std::uint32_t base;  // file offset of the resource section
  std::vector<Resource>& out;

  void directory(std::uint32_t offset, int level, Resource path) {
    std::size_t at = base + offset;
    std::uint32_t count = u16(image, at + 12) + u16(image, at + 14);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t name = u32(image, at + 16 + 8 * i);
      std::uint32_t target = u32(image, at + 16 + 8 * i + 4);
      Resource here = path;
      if (level == 0) {
        if (name & kHighBit)
          here.type_name = counted_name(image, base + (name & ~kHighBit));
        else
          here.type_id = name;
      } else if (level == 1) {
        here.id = name;
      } else {
        here.language = name;
      }
      if (target & kHighBit) {
        if (level < 2) directory(target & ~kHighBit, level + 1, here);
        continue;
      }
      here.data_rva = u32(image, base + target);
      here.size = u32(image, base + target + 4);
      out.push_back(here);
    }
  }
};

}  // namespace

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

bool parse_pe(const Bytes& b, PeView& view) {
  if (b.size() < 0x40 || u16(b, 0) != 0x5A4D) return false;
  std::size_t pe = u32(b, 0x3C);
  if (pe + 24 > b.size() || u32(b, pe) != 0x00004550) return false;
  std::size_t file_header = pe + 4;
  view.machine = static_cast<std::uint16_t>(u16(b, file_header));
  view.timestamp = u32(b, file_header + 4);
  view.characteristics = static_cast<std::uint16_t>(u16(b, file_header + 18));
  std::size_t optional = file_header + 20;
  view.pe32plus = u16(b, optional) == 0x20B;
  view.subsystem = static_cast<std::uint16_t>(u16(b, optional + 68));
  std::size_t directories = optional + (view.pe32plus ? 112 : 96);
  std::uint32_t directory_count = u32(b, directories - 4);
  for (std::uint32_t i = 0; i < directory_count; ++i)
    view.directories.push_back({u32(b, directories + 8 * i), u32(b, directories + 8 * i + 4)});
  std::size_t table = optional + u16(b, file_header + 16);
  for (std::uint32_t i = 0; i < u16(b, file_header + 2); ++i) {
    std::size_t h = table + 40 * i;
    Section s;
    for (std::size_t c = 0; c < 8 && b.at(h + c) != 0; ++c) s.name += static_cast<char>(b[h + c]);
    s.virtual_size = u32(b, h + 8);
    s.rva = u32(b, h + 12);
    s.raw_size = u32(b, h + 16);
    s.raw_offset = u32(b, h + 20);
    view.sections.push_back(s);
  }
  return true;
}

const Section* find_section(const PeView& view, const std::string& name) {
  for (const Section& s : view.sections)
    if (s.name == name) return &s;
  return nullptr;
}

std::uint32_t file_offset(const PeView& view, std::uint32_t rva) {
  for (const Section& s : view.sections)
    if (rva >= s.rva && rva < s.rva + s.raw_size) return s.raw_offset + (rva - s.rva);
  return 0;
}

std::vector<Import> imports(const Bytes& image, const PeView& view) {
  std::vector<Import> out;
  if (view.directories.size() <= kImportDirectory) return out;
  const std::uint32_t slot = view.pe32plus ? 8 : 4;
  std::uint32_t at = file_offset(view, view.directories[kImportDirectory].rva);
  for (; at != 0 && u32(image, at + 12) != 0; at += 20) {
    Import dll{c_string(image, file_offset(view, u32(image, at + 12))), {}};
    const std::uint32_t names = u32(image, at) != 0 ? u32(image, at) : u32(image, at + 16);
    for (std::uint32_t t = file_offset(view, names);
         u32(image, t) != 0 || u32(image, t + slot - 4) != 0; t += slot) {
      const bool by_ordinal = image.at(t + slot - 1) & 0x80;
      dll.functions.push_back(by_ordinal ? "#" + std::to_string(u16(image, t))
                                         : c_string(image, file_offset(view, u32(image, t)) + 2));
    }
    out.push_back(dll);
  }
  return out;
}

std::vector<Resource> resources_in_tree_order(const Bytes& image, const PeView& view) {
  std::vector<Resource> out;
  const Section* rsrc = find_section(view, ".rsrc");
  if (rsrc == nullptr) return out;
  Walk{image, rsrc->raw_offset, out}.directory(0, 0, Resource{});
  return out;
}

std::uint32_t named_type_count(const Bytes& image, const PeView& view) {
  const Section* rsrc = find_section(view, ".rsrc");
  return rsrc == nullptr ? 0 : u16(image, rsrc->raw_offset + 12);
}

Bytes resource_data(const Bytes& image, const PeView& view, const Resource& resource) {
  std::uint32_t at = file_offset(view, resource.data_rva);
  if (at == 0 || at + resource.size > image.size()) return {};
  return Bytes(image.begin() + at, image.begin() + at + resource.size);
}

const Resource* find_resource(const std::vector<Resource>& resources, std::uint32_t type_id,
                              std::uint32_t id) {
  for (const Resource& r : resources)
    if (r.type_name.empty() && r.type_id == type_id && r.id == id) return &r;
  return nullptr;
}

}  // namespace stubtest
