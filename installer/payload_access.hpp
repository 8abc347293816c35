// What the install sequence reads from the payload: the display name (as
// payload::read_display_name left it), the installed-size total and the integrity verdict.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.hpp"

namespace installer {

// The display name field's length; the name buffer holds one more byte for its NUL.
constexpr std::size_t kDisplayNameChars = 32;

// The process-wide display name, always terminated.
char* display_name();

// The installed-size total in bytes, filled by the disk-space check.
std::uint32_t installed_size_total();

// Sums the installed size of the table into the total; false when there is no payload.
bool sum_installed_size();

// True when the payload is complete enough to install.
bool payload_intact();

}  // namespace installer
