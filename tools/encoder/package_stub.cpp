#include "tools/encoder/package_stub.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "payload/locator.hpp"

#include "payload/format.hpp"
#include "tools/encoder/package_error.hpp"

namespace packer {
namespace {

constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic =
    0x20B;  // the x86_64 build of the stub, for tests under Wine
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr char kMarkerType[] = "LASTRES";

struct Section {
  std::string name;
  std::uint32_t virtual_size, rva, raw_size, raw_offset;
};

// Bounds-checked little-endian reads over the stub.
class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : b_(bytes) {}
  std::uint32_t u16(std::uint64_t at) const { return payload::get_u16(at_(at, 2)); }
  std::uint32_t u32(std::uint64_t at) const { return payload::get_u32(at_(at, 4)); }
  const std::vector<std::uint8_t>& bytes() const { return b_; }

 private:
  const unsigned char* at_(std::uint64_t at, std::uint64_t size) const {
    if (at + size > b_.size())
      throw PackError("stub is not a valid Windows executable (truncated)");
    return b_.data() + at;
  }
  const std::vector<std::uint8_t>& b_;
};

std::vector<Section> read_sections(const Reader& r) {
  const std::uint32_t pe = r.u32(0x3C);
  if (r.u16(0) != 0x5A4D || r.u32(pe) != 0x00004550) {
    throw PackError("stub is not a Windows executable");
  }
  const std::uint32_t count = r.u16(pe + 6);
  const std::uint32_t optional_size = r.u16(pe + 20);
  const std::uint32_t magic = r.u16(pe + 24);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) {
    throw PackError("stub is not a Windows executable image");
  }
  std::vector<Section> sections;
  std::uint64_t at = std::uint64_t{pe} + 24 + optional_size;
  for (std::uint32_t i = 0; i < count; ++i, at += kSectionHeaderSize) {
    r.u32(at + kSectionHeaderSize - 4);
    std::string name(reinterpret_cast<const char*>(r.bytes().data() + at), 8);
    name.resize(name.find('\0') == std::string::npos ? 8 : name.find('\0'));
    sections.push_back({name, r.u32(at + 8), r.u32(at + 12), r.u32(at + 16), r.u32(at + 20)});
  }
  return sections;
}

std::string entry_name(const Reader& r, std::uint64_t base, std::uint32_t name_field) {
  if ((name_field & kHighBit) == 0) return {};  // a numbered entry
  const std::uint64_t at = base + (name_field & ~kHighBit);
  const std::uint32_t length = r.u16(at);
  std::string name;
  for (std::uint32_t i = 0; i < length; ++i) {
    const std::uint32_t c = r.u16(at + 2 + 2 * i);
    name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return name;
}

// First entry of the directory at `offset` (relative to the resource base): its name
// field and its offset field.
std::pair<std::uint32_t, std::uint32_t> first_entry(const Reader& r, std::uint64_t base,
                                                    std::uint32_t offset) {
  const std::uint64_t dir = base + offset;
  if (r.u16(dir + 12) + r.u16(dir + 14) == 0) throw PackError("stub's resource tree is empty");
  return {r.u32(dir + 16), r.u32(dir + 20)};
}

std::uint32_t subdirectory(std::uint32_t offset_field) {
  if ((offset_field & kHighBit) == 0) throw PackError("stub's resource tree is malformed");
  return offset_field & ~kHighBit;
}

// File offset of the placeholder, after checking the first resource in tree order.
std::uint32_t placeholder_offset(const Reader& r, const Section& rsrc) {
  const std::uint64_t base = rsrc.raw_offset;
  const auto type = first_entry(r, base, 0);
  if (entry_name(r, base, type.first) != kMarkerType) {
    throw PackError("stub's first resource is not of type LASTRES");
  }
  const auto id = first_entry(r, base, subdirectory(type.second));
  const auto language = first_entry(r, base, subdirectory(id.second));
  if (language.second & kHighBit) throw PackError("stub's resource tree is malformed");
  const std::uint64_t data_entry = base + language.second;
  const std::uint32_t rva = r.u32(data_entry);
  const std::uint32_t size = r.u32(data_entry + 4);
  if (size != payload::kPlaceholderSize) {
    throw PackError("stub's LASTRES resource is " + std::to_string(size) + " bytes, not " +
                    std::to_string(payload::kPlaceholderSize));
  }
  if (rva < rsrc.rva || std::uint64_t{rva} + size != std::uint64_t{rsrc.rva} + rsrc.virtual_size) {
    throw PackError("stub's LASTRES placeholder does not end its resource section");
  }
  const std::uint64_t offset = std::uint64_t{rva} - rsrc.rva + rsrc.raw_offset;
  if (offset + size >
      std::min<std::uint64_t>(r.bytes().size(), std::uint64_t{rsrc.raw_offset} + rsrc.raw_size)) {
    throw PackError("stub's LASTRES placeholder lies outside the file");
  }
  return static_cast<std::uint32_t>(offset);
}

// Where the installer's locator puts the payload start in the file at `path`.
std::uint32_t located_payload(const std::string& path) {
  // The platform layer resolves relative paths against its own notion of a drive.
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  const platform::File file = payload::locate_payload_at(absolute.c_str());
  if (file == platform::kInvalidFile) throw PackError("stub " + path + " has no payload marker");
  const std::int32_t at = platform::file_seek(file, 0, platform::SeekFrom::current);
  platform::file_close(file);
  if (at < 0) throw PackError("stub " + path + " could not be read");
  return static_cast<std::uint32_t>(at);
}

}  // namespace

StubLayout inspect_stub(const std::vector<std::uint8_t>& stub) {
  const Reader r(stub);
  const std::vector<Section> sections = read_sections(r);
  const auto rsrc = std::find_if(sections.begin(), sections.end(),
                                 [](const Section& s) { return s.name == ".rsrc"; });
  if (rsrc == sections.end()) throw PackError("stub has no resource section");
  StubLayout layout{placeholder_offset(r, *rsrc), 0};
  for (const Section& s : sections) {
    layout.raw_end = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(layout.raw_end, std::uint64_t{s.raw_offset} + s.raw_size));
  }
  return layout;
}

}  // namespace packer

namespace packer {

StubLayout inspect_stub_file(const std::string& path, std::vector<std::uint8_t>& stub) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PackError("cannot read stub " + path);
  stub.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const StubLayout layout = inspect_stub(stub);
  if (located_payload(path) != layout.payload_offset) {
    throw PackError("stub " + path + ": the payload locator does not find the LASTRES placeholder");
  }
  return layout;
}

}  // namespace packer
