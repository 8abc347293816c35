// What a screen saver is asked to do, read from its command line: the system starts it with
// /s (run full screen), /c (settings, optionally /c:HWND of the owner), /p HWND (draw in the
// preview window of the display settings), or nothing (settings, no owner).
#pragma once

#include <cstdint>

namespace aurora {

enum class SaverMode { settings, full_screen, preview, password };

struct SaverRequest {
  SaverMode mode;
  std::uintptr_t window;  // the preview's parent or the settings' owner; 0 when none was given
};

// The command line after the program name, quoted or not, and the blanks after it.
const char* skip_program_name(const char* command_line);

// Reads the arguments (the command line without the program name). Unknown switches ask for
// the settings, which harms nothing.
SaverRequest parse_saver_arguments(const char* arguments);

}  // namespace aurora
