// Reading the payload header and entry table from an open handle. Every reader of the
// table (display name, installed size, integrity, extraction, inspection) goes through
// these functions.
#pragma once

#include <cstdint>

#include "payload/format.hpp"
#include "platform/platform.hpp"

namespace payload {

struct Header {
  char name[kNameSize];  // as stored: NUL-padded, unterminated at 32 characters
  std::uint16_t base;    // file-number base
};

// Reads the 32-byte display name field at the handle's position. False on a short read.
bool read_name(platform::File file, char* name);

// Reads the whole 34-byte header at the handle's position. False on a short read.
bool read_header(platform::File file, Header& header);

enum class EntryRead {
  entry,       // an entry with a non-zero stored size
  terminator,  // the entry that ends the table (stored size 0)
  short_read,  // the file ended inside the entry; `entry` is left unchanged
};

// Reads the next 16-byte entry at the handle's position.
EntryRead read_entry(platform::File file, Entry& entry);

// Reads the header and the table at the handle's position, storing the first `max`
// entries (the terminator is not stored). *count receives the number of entries read
// before the terminator, including those beyond `max`. True when the header was complete
// and the terminator was reached; false when the file ended first.
bool read_table(platform::File file, Header& header, Entry* entries, std::uint32_t max,
                std::uint32_t* count);

}  // namespace payload
