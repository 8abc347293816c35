// Extraction of the payload's entries into their target files, and the registration of
// the installed screen saver as the system's default.
#pragma once

#include <cstdint>

#include "platform/platform.hpp"

namespace payload {

enum class PathCheck {
  fits,               // every target path of the table fits a path buffer
  saver_too_long,     // the screen saver's path would not fit; names the Windows directory
  data_too_long,      // a path in the data folder would not fit; names the data folder
  names_unavailable,  // the Windows directory or the module path could not be had
};

// Builds every path the extraction would write for the package's table (the screen
// saver, the data folder's levels, the data file and each extra file) without writing
// anything. On a *_too_long result `too_long` holds the folder named above, cut to fit
// `size` when longer. Without a payload there is nothing to write and the result is fits.
PathCheck check_target_paths(platform::Module module, char* too_long, std::uint32_t size);

enum class ExtractStatus {
  done,                  // every entry was walked; the registration was attempted
  payload_missing,       // the payload could not be located or read (again, for a decode)
  no_memory,             // the copy buffer could not be allocated; nothing written
  path_too_long,         // a target path would not fit; nothing written
  write_failed,          // a write came back short, or the target's close failed; the walk
                         // stopped there
  create_failed,         // a target could not be created; the walk stopped there
  no_windows_directory,  // the Windows directory could not be had; nothing written
};

struct ExtractResult {
  ExtractStatus status;
  char failed_path[platform::kPathSize];  // the target that failed, or the folder too deep
};

// Writes every entry of the table to its target path, then makes the installed screen
// saver the system's default. Uses the kept target screen-saver name (derived here when
// derive_target_name has not run). The registration runs only after a complete walk.
ExtractResult extract_and_register(platform::Module module);

}  // namespace payload
