// Buffers beneath the seam's old-style file handles. The installer copies a stored entry
// in 2,048-byte _lread/_lwrite calls; the sandbox gathers them into system calls of
// kFileBufferSize bytes, so a large install costs about what a copy does.
//
// A handle's buffer holds either bytes read ahead or bytes waiting to be written, never
// both: switching direction, seeking, truncating and closing first settle it (waiting
// bytes are written, the descriptor goes back over unread ones), so the descriptor's
// position is then the handle's position. A write that fails once it is finally made
// fails every later write and the close: the caller learns of it no later than there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::posix::detail {

constexpr std::size_t kFileBufferSize = 256 * 1024;  // what one system call moves at most

// Reads up to `count` bytes at the handle's position, until the end of the file; returns
// the bytes read, or -1 when the read failed before any byte came.
long long buffered_read(int fd, char* out, std::size_t count);

// Takes all `count` bytes for writing at the handle's position; false when an earlier
// write failed.
bool buffered_write(int fd, const char* bytes, std::size_t count);

// Writes what waits and steps back over what was read ahead; false when a write failed.
bool settle(int fd);

// Settles the handle and drops its buffer, before the descriptor is closed.
bool release(int fd);

}  // namespace platform::posix::detail
