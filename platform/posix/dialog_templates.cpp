// Dialog template sizes and control numbers.
#include "platform/posix/dialog_templates.hpp"

namespace platform::posix::detail {

namespace {

constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr int kFrame = 6;     // modal frame, each side
constexpr int kCaption = 19;  // caption bar height

const std::vector<DialogTemplate>& templates() {
  static const std::vector<DialogTemplate> all = {
      {103, 187, 75, false, "", {1, 2, 1001}},                   // progress
      {104, 205, 154, true, "Lumivane Deluxe Bestelinfo", {1}},  // order information
  };
  return all;
}

}  // namespace

const DialogTemplate* find_dialog_template(int id) {
  for (const DialogTemplate& dialog : templates()) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

int dialog_pixel_width(const DialogTemplate& dialog) {
  return dialog.width_units * kBaseUnitX / 4 + 2 * kFrame;
}

int dialog_pixel_height(const DialogTemplate& dialog) {
  return dialog.height_units * kBaseUnitY / 8 + 2 * kFrame + (dialog.has_caption ? kCaption : 0);
}

}  // namespace platform::posix::detail
