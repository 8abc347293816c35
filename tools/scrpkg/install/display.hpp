// The installer's dialogue written out on a terminal, in UTF-8.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/posix/sandbox.hpp"

namespace scrpkg::install {

// A visible control of a dialog with the text it shows: its template's, or the one the
// installer set at run time (Windows-1252).
struct ShownControl {
  int id;
  bool button;
  std::string text;
};

// The visible controls of a reported dialog as a person reads them: in rows from the top
// (controls whose heights overlap share a row), each row from the left.
std::vector<std::vector<ShownControl>> dialog_rows(const platform::posix::Event& event);

void show_message_box(std::ostream& out, const std::string& caption, const std::string& text,
                      unsigned type);
void show_answer(std::ostream& out, const std::string& label);

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

}  // namespace scrpkg::install
