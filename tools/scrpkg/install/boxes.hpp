// Message boxes as a person at a Dutch Windows machine sees them: buttons and icon.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace scrpkg::install {

struct Button {
  int id;               // the value the box returns (IDOK, IDCANCEL, IDYES, IDNO)
  std::string label;    // as the Dutch system shows it
  std::string english;  // its English name, accepted as an answer beside the label
};

// The box's buttons in their order on screen; the first one is the default.
std::vector<Button> buttons_of(unsigned type);

// The icon of the box as a word ("information", "question", ...), or "none".
std::string icon_word(unsigned type);

// The button a typed answer names: a Dutch label or its English name, in any case, or
// the button's position counted from 1. Empty when the answer names none of the buttons.
std::optional<int> button_for_answer(const std::string& answer, unsigned type);

// The label of the button with that id, or the id as a number when the box has no such
// button.
std::string button_label(int id, unsigned type);

// The answer that ends the install sequence soonest: Cancel, else No, else OK.
int stopping_button(unsigned type);

}  // namespace scrpkg::install
