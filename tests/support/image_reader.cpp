#include "tests/support/image_reader.hpp"

#include "tests/support/bytes_le.hpp"

namespace testsupport {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;

class Reader {
 public:
  explicit Reader(const Bytes& image) : image_(image) {}
  std::uint32_t u16(std::size_t at) { return le::get(image_, at, 2, ok_); }
  std::uint32_t u32(std::size_t at) { return le::get(image_, at, 4, ok_); }
  bool ok() const { return ok_; }

 private:
  const Bytes& image_;
  bool ok_ = true;
};

struct ResourceSection {
  std::uint32_t raw = 0;  // file offset of the section's data
  std::uint32_t rva = 0;
  bool found = false;
};

ResourceSection find_resource_section(const Bytes& image, Reader& r) {
  if (image.size() < 2 || image[0] != 'M' || image[1] != 'Z') return {};
  const std::uint32_t pe = r.u32(0x3C);
  if (r.u32(pe) != 0x00004550u) return {};  // "PE\0\0"
  const std::uint32_t sections = r.u16(pe + 6);
  const std::uint32_t first_header = pe + 24 + r.u16(pe + 20);
  for (std::uint32_t i = 0; i < sections && r.ok(); ++i) {
    const std::uint32_t h = first_header + 40 * i;
    if (r.u32(h) == 0x7273722Eu && r.u32(h + 4) == 0x00000063u)  // ".rsrc\0\0\0"
      return {r.u32(h + 20), r.u32(h + 12), r.ok()};
  }
  return {};
}

bool name_matches(Reader& r, std::uint32_t at, const std::string& name) {
  if (r.u16(at) != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (r.u16(at + 2 + 2 * i) != static_cast<std::uint8_t>(name[i])) return false;
  return r.ok();
}

// The first entry of the subdirectory that a directory entry points to.
std::uint32_t first_entry_below(Reader& r, std::uint32_t raw, std::uint32_t entry) {
  return raw + (r.u32(entry + 4) & ~kHighBit) + 16;
}

}  // namespace

ResourceLocation find_named_resource(const Bytes& image, const std::string& type_name) {
  Reader r(image);
  const ResourceSection s = find_resource_section(image, r);
  if (!s.found) return {};
  const std::uint32_t named = r.u16(s.raw + 12);
  for (std::uint32_t i = 0; i < named && r.ok(); ++i) {
    const std::uint32_t type_entry = s.raw + 16 + 8 * i;
    const std::uint32_t name = r.u32(type_entry);
    if ((name & kHighBit) == 0 || !name_matches(r, s.raw + (name & ~kHighBit), type_name)) continue;
    const std::uint32_t name_entry = first_entry_below(r, s.raw, type_entry);
    const std::uint32_t language_entry = first_entry_below(r, s.raw, name_entry);
    const std::uint32_t data_entry = s.raw + r.u32(language_entry + 4);
    const std::uint32_t data = r.u32(data_entry) - s.rva + s.raw;
    if (r.ok()) return {data_entry, data};
  }
  return {};
}

std::uint32_t resource_data_offset(const Bytes& image, const std::string& type_name) {
  return find_named_resource(image, type_name).data;
}

std::uint32_t placeholder_offset(const Bytes& stub) {
  return resource_data_offset(stub, "LASTRES");
}

std::uint32_t payload_offset(const Bytes& package) {
  return placeholder_offset(package);
}

}  // namespace testsupport
