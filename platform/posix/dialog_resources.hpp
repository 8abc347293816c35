// A package's dialog templates, read from its own resource section, so that the sandbox
// lays out and reports the dialogs of the file it runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace platform::posix {

struct DialogControl {
  int id;                   // -1 for a control without a number of its own
  bool button;              // of the class Button, by its atom or its name
  std::string text;         // Windows-1252; empty for a text given by number
  bool visible;             // WS_VISIBLE
  int x, y, width, height;  // dialog units
};

struct DialogTemplate {
  bool has_caption;                     // WS_CAPTION: the window has a caption bar
  std::string caption;                  // the window text it starts with (Windows-1252)
  int width, height;                    // dialog units
  std::vector<DialogControl> controls;  // in template order
};

// The dialog template `id` of the package file at `host_path`: empty when the file has
// no such resource or the template is cut short or damaged.
std::optional<DialogTemplate> read_dialog_template(const std::string& host_path, int id);

// The outer window at (0, 0) in pixels for the 8-point font (base units 6 x 13), with the
// frame and, when there is one, the caption bar.
Rect dialog_pixel_rect(const DialogTemplate& dialog);

}  // namespace platform::posix
