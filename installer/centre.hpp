// Placing a dialog at the centre of the primary screen.
#pragma once

#include "platform/platform.hpp"

namespace installer {

struct Position {
  int left;
  int top;
};

// Half the screen minus half the window, each division truncating toward zero.
Position centred_position(int screen_width, int screen_height, const platform::Rect& window);

// Moves the window to the centre of the primary screen; its size is kept.
void centre_window(platform::Window window);

}  // namespace installer
