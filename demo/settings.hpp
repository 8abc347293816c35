// The demo screen saver's settings, read from its .DAT file: `key=value` lines, `#` starts a
// comment. Unknown keys are ignored; values out of range are brought into range.
#pragma once

#include <cstddef>

namespace aurora {

struct AuroraSettings {
  int speed = 3;     // 1 (slow) to 10
  int curtains = 3;  // light curtains across the sky, 1 to 6
  int stars = 120;   // 0 to 500
  int hue = 0;       // shift of the curtains' colours, 0 to 359 degrees
};

AuroraSettings parse_settings(const char* text, std::size_t length);

}  // namespace aurora
