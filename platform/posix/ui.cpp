// Message boxes answered by the configured callback, cursors and screen metrics.
#include "platform/platform.hpp"
#include "platform/posix/state.hpp"

namespace platform {

namespace posix {

bool is_button_of(unsigned type, int answer) {
  switch (type & 0x0Fu) {
    case kMbOk:
      return answer == kIdOk;
    case kMbOkCancel:
      return answer == kIdOk || answer == kIdCancel;
    case kMbYesNoCancel:
      return answer == kIdYes || answer == kIdNo || answer == kIdCancel;
    case kMbYesNo:
      return answer == kIdYes || answer == kIdNo;
    default:
      return false;
  }
}

}  // namespace posix

namespace {

// The box's first button: what pressing Enter gives when no one is there to answer.
int first_button(unsigned type) {
  const unsigned buttons = type & 0x0Fu;
  return buttons == kMbYesNo || buttons == kMbYesNoCancel ? kIdYes : kIdOk;
}

}  // namespace

// The answer is passed on as given, even one that is not a button of the box, so that
// the caller's handling of it shows in the tests.
int message_box(const char* text, const char* caption, unsigned type) {
  posix::Event event = posix::detail::event_of(posix::Event::Kind::message_box);
  event.caption = caption == nullptr ? "" : caption;
  event.text = text == nullptr ? "" : text;
  event.type = type;
  const auto& answer = posix::detail::state().config.machine.answer;
  event.button = answer ? answer(event.caption, event.text, type) : first_button(type);
  posix::detail::emit(event);
  return event.button;
}

void set_cursor(Cursor cursor) {
  posix::Event event = posix::detail::event_of(posix::Event::Kind::cursor);
  event.waiting = cursor == Cursor::wait;
  posix::detail::emit(event);
}

int screen_width() {
  return posix::detail::state().config.machine.screen_width;
}

int screen_height() {
  return posix::detail::state().config.machine.screen_height;
}

}  // namespace platform
