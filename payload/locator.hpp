// Finding the payload inside the installer's own file, and the two readers that the
// install sequence runs before extracting: the display name and the installed size.
#pragma once

#include <cstdint>

#include "payload/format.hpp"
#include "platform/platform.hpp"

namespace payload {

// The display name as read from the payload header; the last byte is never written, so
// the name is always terminated. Empty until read_display_name finds a payload.
extern char g_display_name[kNameSize + 1];

// The installed size in bytes, summed by sum_installed_size. Starts at 0.
extern std::uint32_t g_installed_total;

// Opens the file at `path`, the running module's own file when null, and positions the
// handle at the payload start: the data of the first resource in tree order (first entry at
// each of the three levels; no names or ids are compared). The caller closes the handle.
// Returns platform::kInvalidFile, with nothing left open, when the module path can't be had,
// the file can't be opened, lacks the "MZ" or "PE\0\0" signature or a ".rsrc" section, a
// read comes back short or a position it would seek to lies outside the file.
platform::File locate_payload(const char* path = nullptr);

// Opens the file at `path` positioned at the data of resource `type` number `id` (its first
// language) and sets `size` to the data's size: the tree the payload start is found in,
// walked by numbers. Returns platform::kInvalidFile, with nothing left open, when there is
// no such resource or the file fails as for locate_payload. Host tools only.
platform::File open_resource_at(const char* path, std::uint32_t type, std::uint32_t id,
                                std::uint32_t& size);

// The payload readers below read the package at `path`, the running module's own file when
// null.

// Reads the 32-byte display name into g_display_name; leaves it empty when there is no
// payload or the read comes back short.
void read_display_name(const char* path = nullptr);

// Adds the installed size of every entry, the terminator included, to g_installed_total:
// the original size of a compressed entry, the stored size otherwise. An entry that the
// file cuts short ends the walk and adds nothing. False when the payload can't be located
// (the total is then unchanged).
bool sum_installed_size(const char* path = nullptr);

}  // namespace payload
