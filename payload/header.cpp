#include "payload/header.hpp"

#include <cstring>

namespace payload {

namespace {

bool read_exact(platform::File file, void* buffer, std::uint32_t count) {
  return platform::file_read(file, buffer, count) == count;  // kIoError never equals count
}

}  // namespace

bool read_name(platform::File file, char* name) {
  return read_exact(file, name, kNameSize);
}

bool read_header(platform::File file, Header& header) {
  unsigned char raw[kHeaderSize];
  if (!read_exact(file, raw, kHeaderSize)) return false;
  std::memcpy(header.name, raw, kNameSize);
  header.base = get_u16(raw + kNameSize);
  return true;
}

EntryRead read_entry(platform::File file, Entry& entry) {
  unsigned char raw[kEntrySize];
  if (!read_exact(file, raw, kEntrySize)) return EntryRead::short_read;
  entry = decode_entry(raw);
  return entry.stored_size == 0 ? EntryRead::terminator : EntryRead::entry;
}

bool read_table(platform::File file, Header& header, Entry* entries, std::uint32_t max,
                std::uint32_t* count) {
  *count = 0;
  if (!read_header(file, header)) return false;
  for (;;) {
    Entry entry;
    const EntryRead got = read_entry(file, entry);
    if (got != EntryRead::entry) return got == EntryRead::terminator;
    if (*count < max) entries[*count] = entry;
    ++*count;
  }
}

}  // namespace payload
