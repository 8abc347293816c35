// The installer's dialogue written out on a terminal, in UTF-8.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/posix/sandbox.hpp"

namespace scrpkg {

// The texts a dialog template carries itself, in Windows-1252, in the order they appear
// on screen (the installer sets only the others at run time).
std::string dialog_title(int resource);
std::vector<std::string> dialog_static_texts(int resource);

void show_message_box(std::ostream& out, const std::string& caption, const std::string& text,
                      unsigned type);
void show_answer(std::ostream& out, const std::string& label);

// Dialogs, browser, launch and registration; message boxes are shown when they are asked.
void show_event(std::ostream& out, const platform::posix::Event& event);

// Shows events in the order a person sees them: what happens under the wait cursor (the
// extraction inside the progress dialog) comes after the dialog that was on screen, which
// the sandbox reports only once it has closed.
class EventDisplay {
 public:
  explicit EventDisplay(std::ostream& out) : out_(out) {}
  void operator()(const platform::posix::Event& event);

 private:
  void release_held();

  std::ostream& out_;
  bool waiting_ = false;
  std::vector<platform::posix::Event> held_;
};

}  // namespace scrpkg
