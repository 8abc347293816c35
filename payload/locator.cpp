#include "payload/locator.hpp"

#include <cstring>

#include "payload/header.hpp"
#include "payload/names.hpp"
#include "payload/pe_layout.hpp"

namespace payload {

char g_display_name[kNameSize + 1];
std::uint32_t g_installed_total = 0;

namespace {

namespace res = pe::resource;

// An open file with its size, so every position sought can be checked against it.
struct Image {
  platform::File file;
  std::int64_t size;
};

bool seek_to(const Image& image, std::int64_t position) {
  if (position < 0 || position > image.size) return false;
  return platform::file_seek(image.file, static_cast<std::int32_t>(position),
                             platform::SeekFrom::begin) == position;
}

bool read_exact(const Image& image, unsigned char* buffer, std::uint32_t count) {
  return platform::file_read(image.file, buffer, count) == count;
}

bool read_at(const Image& image, std::int64_t position, unsigned char* buffer,
             std::uint32_t count) {
  return seek_to(image, position) && read_exact(image, buffer, count);
}

struct ResourceSection {
  std::int64_t raw_position;     // file position of the section's data
  std::int64_t virtual_address;  // where the section's data is mapped
};

// Reads the DOS header, the signature and file header, skips the optional header by the
// size the file header records, and scans the section headers for ".rsrc".
bool find_resource_section(const Image& image, ResourceSection& section) {
  unsigned char raw[pe::kSignatureSize + pe::file_header::kSize];
  const unsigned char* file_header = raw + pe::kSignatureSize;
  if (!read_at(image, 0, raw, 2) || get_u16(raw) != pe::dos::kSignature) return false;
  if (!read_at(image, pe::dos::kNewHeaderPointer, raw, 4)) return false;
  const std::int64_t pe_header = get_u32(raw);
  if (!read_at(image, pe_header, raw, sizeof raw) || get_u32(raw) != pe::kSignature) return false;
  const std::uint32_t sections = get_u16(file_header + pe::file_header::kSectionCount);
  const std::int64_t optional_size = get_u16(file_header + pe::file_header::kOptionalHeaderSize);
  if (!seek_to(image, pe_header + std::int64_t{sizeof raw} + optional_size)) return false;
  for (std::uint32_t i = 0; i < sections; ++i) {
    unsigned char header[pe::section::kSize];
    if (!read_exact(image, header, pe::section::kSize)) return false;
    if (std::memcmp(header, res::kSectionName, sizeof res::kSectionName) == 0) {
      section = {get_u32(header + pe::section::kRawOffset),
                 get_u32(header + pe::section::kVirtualAddress)};
      return true;
    }
  }
  return false;
}

constexpr std::uint32_t kAnyEntry = 0xFFFFFFFFu;  // no entry's name field holds this

// The offset field of the entry named `id` (or the first entry) of the directory at
// `offset` from the section start.
bool directory_entry(const Image& image, const ResourceSection& section, std::uint32_t offset,
                     std::uint32_t id, std::uint32_t& found) {
  unsigned char header[res::kDirectoryHeaderSize];
  if (!read_at(image, section.raw_position + offset, header, sizeof header)) return false;
  const std::uint32_t entries =
      get_u16(header + res::kNamedEntryCount) + get_u16(header + res::kIdEntryCount);
  for (std::uint32_t i = 0; i < entries; ++i) {
    unsigned char entry[res::kEntrySize];
    if (!read_exact(image, entry, res::kEntrySize)) return false;
    if (id == kAnyEntry || get_u32(entry + res::kEntryName) == id) {
      found = get_u32(entry + res::kEntryOffset);
      return true;
    }
  }
  return false;
}

// Type, number and language lead down two subdirectories to a data entry. Directory
// offsets count from the section start.
bool numbered_data_entry(const Image& image, const ResourceSection& section, std::uint32_t type,
                         std::uint32_t id, unsigned char* data_entry) {
  const std::uint32_t path[] = {type, id, kAnyEntry};
  std::uint32_t offset = 0;
  for (std::uint32_t level = 0; level < res::kLevels; ++level) {
    if (!directory_entry(image, section, offset, path[level], offset)) return false;
    if (((offset & res::kHighBit) != 0) != (level + 1 < res::kLevels)) return false;
    offset &= ~res::kHighBit;
  }
  return read_at(image, section.raw_position + offset, data_entry, res::kDataEntrySize);
}

bool seek_to_data(const Image& image, const ResourceSection& section,
                  const unsigned char* data_entry) {
  const std::int64_t data_address = get_u32(data_entry + res::kDataAddress);
  return seek_to(image, data_address + section.raw_position - section.virtual_address);
}

// Opens the file positioned at the data of the resource reached by the walk and keeps its
// data entry; kInvalidFile, with nothing left open, when the walk or a seek fails.
platform::File open_at_resource(const char* path, std::uint32_t type, std::uint32_t id,
                                unsigned char* data_entry) {
  const platform::File file = platform::file_open_read(path);
  if (file == platform::kInvalidFile) return file;
  const Image image{file, platform::file_seek(file, 0, platform::SeekFrom::end)};
  ResourceSection section;
  if (image.size < 0 || !find_resource_section(image, section) ||
      !numbered_data_entry(image, section, type, id, data_entry) ||
      !seek_to_data(image, section, data_entry)) {
    platform::file_close(file);
    return platform::kInvalidFile;
  }
  return file;
}

}  // namespace

platform::File open_resource_at(const char* path, std::uint32_t type, std::uint32_t id,
                                std::uint32_t& size) {
  unsigned char data_entry[res::kDataEntrySize];
  const platform::File file = open_at_resource(path, type, id, data_entry);
  if (file != platform::kInvalidFile) size = get_u32(data_entry + res::kDataSize);
  return file;
}

// The first resource in tree order: any entry at each level of the same walk.
platform::File locate_payload(const char* path) {
  char own_path[platform::kLocatorPathSize];
  if (path == nullptr) {
    if (!module_path(nullptr, own_path, sizeof own_path)) return platform::kInvalidFile;
    path = own_path;
  }
  unsigned char data_entry[res::kDataEntrySize];
  return open_at_resource(path, kAnyEntry, kAnyEntry, data_entry);
}

void read_display_name(const char* path) {
  std::memset(g_display_name, 0, kNameSize);
  const platform::File file = locate_payload(path);
  if (file == platform::kInvalidFile) return;
  char name[kNameSize];
  if (read_name(file, name)) std::memcpy(g_display_name, name, kNameSize);
  platform::file_close(file);
}

bool sum_installed_size(const char* path) {
  const platform::File file = locate_payload(path);
  if (file == platform::kInvalidFile) return false;
  Header header;
  if (read_header(file, header)) {
    Entry entry;
    EntryRead got;
    while ((got = read_entry(file, entry)) != EntryRead::short_read) {
      g_installed_total += installed_size(entry);
      if (got == EntryRead::terminator) break;
    }
  }
  platform::file_close(file);
  return true;
}

}  // namespace payload
