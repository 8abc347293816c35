// The installer's two dialog templates as the sandbox lays them out.
#pragma once

#include <vector>

namespace platform::posix::detail {

struct DialogTemplate {
  int id;
  int width_units, height_units;  // dialog units
  bool has_caption;
  const char* title;             // the window text the dialog starts with
  std::vector<int> control_ids;  // controls with an id of their own
};

// The template with that resource number, or null when the installer has none.
const DialogTemplate* find_dialog_template(int id);

// Outer window size in pixels for the 8-point font (base units 6 x 13), with the frame
// and, when there is one, the caption bar.
int dialog_pixel_width(const DialogTemplate& dialog);
int dialog_pixel_height(const DialogTemplate& dialog);

}  // namespace platform::posix::detail
