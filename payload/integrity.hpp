// Checking that a package is whole before anything is installed from it: the installer
// refuses a damaged package, and the inspector reports why.
#pragma once

#include <cstdint>
#include <cstring>

#include "payload/format.hpp"
#include "platform/platform.hpp"

namespace payload {

// A control character: below 0x20, or DEL. No display name the packer writes holds one.
inline bool is_control_character(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

// A character no part of an installed file's name may hold: a control, a separator, a drive
// or stream colon, a wildcard or another character Windows refuses in a file name. In an
// extra file's extension, joined to the data folder's path, it would let the entry name a
// file other than FILEnnnn there: the checker calls such an entry damaged, the packer
// refuses to write one, and extract refuses any name that holds one.
inline bool unsafe_in_file_name(unsigned char c) {
  return c != '\0' && (is_control_character(c) || std::strchr("\\/:*?\"<>|", c) != nullptr);
}

enum class Integrity {
  sound,                // header, terminated table and every body lie inside the file
  not_found,            // the payload could not be located
  header_incomplete,    // the file ends inside the 34-byte header
  table_unterminated,   // the file ends before the table's terminating entry
  table_empty,          // the first entry is the terminator: the table names no file
  body_outside_file,    // an entry's stored bytes reach past the end of the file
  body_overlaps_table,  // an entry's stored bytes overlap the payload header or table
  size_impossible,      // a compressed entry's original size no stream of its stored size yields
  extension_unsafe,     // an extra file's extension holds a separator, ':', control or wildcard
};

// Walks the header and the whole table once. An incomplete header or table, then an empty
// one, decides the verdict before any body does; among the body faults, one reaching past the end
// of the file comes before an overlap, then an impossible size, then an unsafe extension. For these
// faults *failed_entry (when given) receives the index of the entry at fault: the first one
// past the end, the overlapping one that starts lowest, or the first one at fault otherwise.
// The package is the file at `path`, the running module's own file when null.
Integrity check_integrity(const char* path, std::uint32_t* failed_entry = nullptr);

// Takes each entry the walk reads, the terminator left out, for a reader that keeps them.
struct EntrySink {
  void (*keep)(void* context, const Entry& entry);
  void* context;
};

// The same for a handle at the payload start (platform::kInvalidFile: not_found), which it
// leaves open at an unspecified position; `sink`, when given, takes the table as it is read.
Integrity check_located(platform::File file, std::uint32_t* failed_entry, const EntrySink* sink);

// A short English sentence describing the verdict, without a final full stop.
const char* integrity_text(Integrity verdict);

}  // namespace payload
