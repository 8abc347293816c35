#include "installer/centre.hpp"

namespace installer {

Position centred_position(int screen_width, int screen_height, const platform::Rect& window) {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  return Position{screen_width / 2 - width / 2, screen_height / 2 - height / 2};
}

void centre_window(platform::Window window) {
  const Position position = centred_position(platform::screen_width(), platform::screen_height(),
                                             platform::window_rect(window));
  platform::move_window(window, position.left, position.top);
}

}  // namespace installer
