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
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "payload/format.hpp"
#include "payload/pe_layout.hpp"
#include "tools/stub_image/pe_image.hpp"

namespace {

using stub_image::Bytes;
using stub_image::get32;
using stub_image::ImageError;
using stub_image::put32;
namespace opt = pe::optional_header;
namespace sec = pe::section;

std::uint32_t align_up(std::uint32_t value, std::uint32_t to) {
  return (value + to - 1) / to * to;
}

// Step 1: the data section's raw data ends at its last non-zero byte, rounded up to the
// file alignment.
void trim_data_zeros(Bytes& b) {
  const stub_image::Headers headers = stub_image::read_headers(b);
  const stub_image::Section* data = stub_image::find_section(headers, ".data");
  if (data == nullptr || data->raw_size == 0) return;
  const std::uint32_t raw = data->raw_offset, raw_size = data->raw_size;
  if (std::uint64_t{raw} + raw_size > b.size()) {
    throw ImageError("data section past the end of the file");
  }
  std::uint32_t used = raw_size;
  while (used > 0 && b[raw + used - 1] == 0) --used;
  const std::uint32_t kept =
      align_up(used, get32(b, headers.optional_header + opt::kFileAlignment));
  if (kept >= raw_size) return;
  const std::uint32_t dropped = raw_size - kept;
  b.erase(b.begin() + raw + kept, b.begin() + raw + raw_size);
  put32(b, data->header + sec::kRawSize, kept);
  if (kept == 0) put32(b, data->header + sec::kRawOffset, 0);
  for (const stub_image::Section& other : headers.sections) {
    if (other.header != data->header && other.raw_offset > raw) {
      put32(b, other.header + sec::kRawOffset, other.raw_offset - dropped);
    }
  }
  const std::uint64_t initialised = headers.optional_header + opt::kInitialisedDataSize;
  put32(b, initialised, get32(b, initialised) - dropped);
}

// Step 2: the other data in address order, LASTRES after them, each on a 4-byte boundary.
void place_last(Bytes& b) {
  const stub_image::Headers headers = stub_image::read_headers(b);
  const stub_image::Section* rsrc = stub_image::find_section(headers, pe::resource::kSectionName);
  if (rsrc == nullptr) throw ImageError("no resource section");
  if (std::uint64_t{rsrc->raw_offset} + rsrc->raw_size > b.size()) {
    throw ImageError("resource section past the end of the file");
  }
  std::vector<stub_image::ResourceData> order = stub_image::resources_in_tree_order(b, *rsrc);
  if (order.empty()) throw ImageError("no resource data");
  if (order.front().type_name != payload::kPlaceholderType) {
    throw ImageError("the first resource type is not LASTRES");
  }
  std::rotate(order.begin(), order.begin() + 1, order.end());
  std::sort(order.begin(), order.end() - 1,
            [](const auto& x, const auto& y) { return x.rva < y.rva; });
  std::uint32_t start = UINT32_MAX, end = 0;
  for (const auto& e : order) {
    if (e.rva < rsrc->rva) throw ImageError("resource data before the section");
    start = std::min(start, e.rva - rsrc->rva);
    end = std::max<std::uint64_t>(end, std::uint64_t{e.rva} - rsrc->rva + e.size);
  }
  if (end > rsrc->raw_size) throw ImageError("resource data past the section");
  std::vector<std::uint32_t> places;
  std::uint32_t at = start;
  for (const auto& e : order) {
    at = align_up(at, 4);
    places.push_back(at);
    at += e.size;
  }
  if (at > end) throw ImageError("no room to move the resource data");
  const auto section = b.begin() + rsrc->raw_offset;
  const Bytes old(section, section + end);
  std::fill(section + start, section + end, 0);
  for (std::size_t i = 0; i < order.size(); ++i) {
    std::copy_n(old.begin() + (order[i].rva - rsrc->rva), order[i].size, section + places[i]);
    put32(b, rsrc->raw_offset + order[i].entry + pe::resource::kDataAddress, rsrc->rva + places[i]);
  }
  put32(b, rsrc->header + sec::kVirtualSize, at);
  put32(b, headers.resource_directory + opt::kDirectoryLength,
        rsrc->rva + at - get32(b, headers.resource_directory + opt::kDirectoryAddress));
}

// The image checksum as the linker writes it: 16-bit one's-complement-style sum of the
// file with the checksum field left out, plus the file's length.
void update_checksum(Bytes& b) {
  const std::uint64_t checksum = stub_image::read_headers(b).optional_header + opt::kChecksum;
  if (get32(b, checksum) == 0) return;  // the linker left none
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < b.size(); at += 2) {
    if (at == checksum || at == checksum + 2) continue;
    sum += b[at] | (at + 1 < b.size() ? b[at + 1] << 8 : 0);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  put32(b, checksum, static_cast<std::uint32_t>(sum + b.size()));
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s IMAGE\n", argv[0]);
    return 2;
  }
  Bytes image;
  std::string error;
  try {
    if (!read_file(argv[1], image)) throw ImageError("cannot read the image");
    // All steps on the image in memory; nothing is written when one fails.
    trim_data_zeros(image);
    place_last(image);
    update_checksum(image);
    if (!write_file(argv[1], image)) throw ImageError("cannot write the image");
  } catch (const ImageError& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
