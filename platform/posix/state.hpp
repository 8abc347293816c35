// Process-wide state of the sandbox shared by the POSIX implementations of the seam.
#pragma once

#include "platform/posix/sandbox.hpp"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace platform::posix::detail {

struct State {
  Config config;
  std::uint64_t written = 0;  // bytes passed through file_write / stream_write
  int open_libraries = 0;
  int invalid_closes = 0;        // file_close calls given kInvalidFile, a handle never open
  std::set<int> failing_closes;  // descriptors whose close reports failure (once each)
};

State& state();

// An event of the kind with every other field at its default.
Event event_of(Event::Kind kind);

// Hands an event to the configured observer, if any.
void emit(const Event& event);

// How many of `count` bytes may still be written before the write limit is reached;
// the caller reports the bytes it actually wrote with note_written().
std::size_t writable(std::size_t count);
void note_written(std::size_t count);

// A file just created at the Windows path: its close fails when Faults::failing_close names
// it. close_fails() answers for a descriptor about to be closed.
void watch_close(const char* windows_path, int descriptor);
bool close_fails(int descriptor);

// ASCII case-insensitive comparison, as Windows compares file, section and library names.
bool same_text_ignoring_case(const std::string& a, const std::string& b);

// Copies `text` with its NUL into buffer when it fits: returns the length copied, or the
// size needed (length + 1) with nothing copied when the buffer is too small.
std::uint32_t copy_or_size_needed(const std::string& text, char* buffer, std::uint32_t size);

// The host path of a Windows path given to a seam call (null-safe).
std::string mapped(const char* windows_path);

// The host path of a file named for WinExec or the profile calls: a name without a
// directory is looked for in the Windows directory.
std::string in_windows_directory(const std::string& name);

}  // namespace platform::posix::detail
