// Build step for the installer stub, run on the linked image in place:
//
// 1. Drops the zero bytes at the end of the data section's raw data. The linker merges the
//    uninitialised data into that section and writes it out as zeros; the loader fills
//    the part of a section past its raw data with zeros anyway. Later sections move down.
// 2. Moves the data of the first resource in tree order (LASTRES) to the very end of the
//    resource section, and ends the section's virtual size and the resource directory's
//    size at its last byte. The resource compiler writes resource data in tree order,
//    which puts the named LASTRES type first; a package cuts the image at that data, so it
//    has to come last. Every data entry's address is rewritten; the tree does not move.
//
// Then the image checksum is brought up to date. Running it again on its own output
// changes nothing.
//
// Usage: finish_stub_image IMAGE
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t u16(const Bytes& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
  return u16(b, at) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t align_up(std::uint32_t value, std::uint32_t to) {
  return (value + to - 1) / to * to;
}

struct Image {
  Bytes bytes;
  std::size_t section_table = 0;  // file offset of the first section header
  std::uint32_t section_count = 0;
  std::size_t optional = 0;        // file offset of the optional header
  std::size_t rsrc_header = 0;     // file offset of the resource section's header
  std::size_t rsrc_directory = 0;  // file offset of the resource data directory entry
  std::uint32_t rsrc_rva = 0;      // the section's virtual address
  std::uint32_t rsrc_raw = 0;      // its raw-data file offset
  std::uint32_t rsrc_raw_size = 0;
  std::size_t checksum = 0;  // file offset of the optional header's checksum
};

struct DataEntry {
  std::uint32_t entry;  // section-relative offset of the 16-byte data entry
  std::uint32_t data;   // section-relative offset of the data
  std::uint32_t size;
};

bool read_headers(Image& image) {
  const Bytes& b = image.bytes;
  if (b.size() < 0x40) return false;
  std::size_t pe = u32(b, 0x3C);
  if (pe + 24 > b.size() || u32(b, pe) != 0x00004550) return false;
  std::size_t file_header = pe + 4;
  image.section_count = u16(b, file_header + 2);
  image.optional = file_header + 20;
  bool pe32plus = u16(b, image.optional) == 0x20B;
  image.checksum = image.optional + 64;
  image.rsrc_directory = image.optional + (pe32plus ? 112 : 96) + 2 * 8;
  image.section_table = image.optional + u16(b, file_header + 16);
  return image.section_table + 40 * image.section_count <= b.size();
}

// File offset of the header of the section with that name; 0 when there is none.
std::size_t section_header(const Image& image, const char* name) {
  char padded[8] = {};
  std::memcpy(padded, name, std::min(std::strlen(name), sizeof padded));
  for (std::uint32_t i = 0; i < image.section_count; ++i) {
    std::size_t header = image.section_table + 40 * i;
    if (std::memcmp(&image.bytes.at(header), padded, sizeof padded) == 0) return header;
  }
  return 0;
}

// Step 1: the data section's raw data ends at its last non-zero byte, rounded up to the
// file alignment.
bool trim_data_zeros(Image& image, std::string& error) {
  std::size_t header = section_header(image, ".data");
  if (header == 0) return true;
  Bytes& b = image.bytes;
  std::uint32_t raw = u32(b, header + 20), raw_size = u32(b, header + 16);
  if (raw_size == 0) return true;
  if (raw + raw_size > b.size()) return error = "data section past the end of the file", false;
  std::uint32_t used = raw_size;
  while (used > 0 && b[raw + used - 1] == 0) --used;
  std::uint32_t kept = align_up(used, u32(b, image.optional + 36));
  if (kept >= raw_size) return true;
  std::uint32_t dropped = raw_size - kept;
  b.erase(b.begin() + raw + kept, b.begin() + raw + raw_size);
  put32(b, header + 16, kept);
  if (kept == 0) put32(b, header + 20, 0);
  for (std::uint32_t i = 0; i < image.section_count; ++i) {
    std::size_t other = image.section_table + 40 * i;
    std::uint32_t at = u32(b, other + 20);
    if (other != header && at > raw) put32(b, other + 20, at - dropped);
  }
  put32(b, image.optional + 8, u32(b, image.optional + 8) - dropped);  // initialised data size
  return true;
}

bool find_resource_section(Image& image) {
  const Bytes& b = image.bytes;
  std::size_t header = section_header(image, ".rsrc");
  if (header == 0) return false;
  image.rsrc_header = header;
  image.rsrc_rva = u32(b, header + 12);
  image.rsrc_raw_size = u32(b, header + 16);
  image.rsrc_raw = u32(b, header + 20);
  return image.rsrc_raw + image.rsrc_raw_size <= b.size();
}

// Collects the data entries below the directory at `directory`, in tree order.
void collect(const Image& image, std::uint32_t directory, int depth, std::vector<DataEntry>& out) {
  const Bytes& b = image.bytes;
  std::size_t at = image.rsrc_raw + directory;
  std::uint32_t count = u16(b, at + 12) + u16(b, at + 14);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t target = u32(b, at + 16 + 8 * i + 4);
    if (target & 0x80000000u) {
      if (depth < 3) collect(image, target & 0x7FFFFFFFu, depth + 1, out);
      continue;
    }
    std::size_t entry = image.rsrc_raw + target;
    out.push_back({target, u32(b, entry) - image.rsrc_rva, u32(b, entry + 4)});
  }
}

// The first type in the tree must be the named type LASTRES.
bool first_type_is_lastres(const Image& image) {
  const Bytes& b = image.bytes;
  std::size_t root = image.rsrc_raw;
  if (u16(b, root + 12) == 0) return false;
  std::uint32_t name = u32(b, root + 16);
  if (!(name & 0x80000000u)) return false;
  std::size_t at = root + (name & 0x7FFFFFFFu);
  const char expected[] = "LASTRES";
  if (u16(b, at) != sizeof expected - 1) return false;
  for (std::size_t i = 0; i + 1 < sizeof expected; ++i)
    if (u16(b, at + 2 + 2 * i) != static_cast<std::uint8_t>(expected[i])) return false;
  return true;
}

bool place_last(Image& image, std::string& error) {
  std::vector<DataEntry> entries;
  collect(image, 0, 1, entries);
  if (entries.empty()) return error = "no resource data", false;
  DataEntry marker = entries.front();
  std::vector<DataEntry> others(entries.begin() + 1, entries.end());
  std::sort(others.begin(), others.end(),
            [](const DataEntry& a, const DataEntry& b) { return a.data < b.data; });
  std::uint32_t start = marker.data, end = marker.data + marker.size;
  for (const DataEntry& e : others) {
    start = std::min(start, e.data);
    end = std::max(end, e.data + e.size);
  }
  Bytes& b = image.bytes;
  if (end > image.rsrc_raw_size) return error = "resource data past the section", false;
  // Plan the new places first: the other data in address order, LASTRES after them, each
  // on a 4-byte boundary.
  std::vector<DataEntry> order = others;
  order.push_back(marker);
  std::vector<std::uint32_t> places;
  std::uint32_t at = start;
  for (const DataEntry& e : order) {
    at = align_up(at, 4);
    places.push_back(at);
    at += e.size;
  }
  if (at > end) return error = "no room to move the resource data", false;
  Bytes old(b.begin() + image.rsrc_raw, b.begin() + image.rsrc_raw + end);
  std::fill(b.begin() + image.rsrc_raw + start, b.begin() + image.rsrc_raw + end, 0);
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::copy_n(old.begin() + order[i].data, order[i].size, b.begin() + image.rsrc_raw + places[i]);
    put32(b, image.rsrc_raw + order[i].entry, image.rsrc_rva + places[i]);
  }
  put32(b, image.rsrc_header + 8, at);  // the section's virtual size
  put32(b, image.rsrc_directory + 4, image.rsrc_rva + at - u32(b, image.rsrc_directory));
  return true;
}

// The image checksum as the linker writes it: 16-bit one's-complement-style sum of the
// file with the checksum field left out, plus the file's length.
void update_checksum(Image& image) {
  Bytes& b = image.bytes;
  if (u32(b, image.checksum) == 0) return;  // the linker left none
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < b.size(); at += 2) {
    if (at == image.checksum || at == image.checksum + 2) continue;
    sum += b[at] | (at + 1 < b.size() ? b[at + 1] << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  put32(b, image.checksum, static_cast<std::uint32_t>(sum + b.size()));
}

bool read_file(const char* path, Bytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return static_cast<bool>(in) || in.eof();
}

bool write_file(const char* path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Both steps on the image in memory; nothing is written when one fails.
bool finish(Image& image, std::string& error) {
  if (!read_headers(image)) return error = "not a PE image", false;
  if (!trim_data_zeros(image, error)) return false;
  if (!find_resource_section(image)) return error = "no resource section", false;
  if (!first_type_is_lastres(image)) return error = "the first resource type is not LASTRES", false;
  if (!place_last(image, error)) return false;
  update_checksum(image);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s IMAGE\n", argv[0]);
    return 2;
  }
  Image image;
  std::string error;
  if (!read_file(argv[1], image.bytes))
    error = "cannot read the image";
  else if (finish(image, error) && !write_file(argv[1], image.bytes))
    error = "cannot write the image";
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
