#include "install/display.hpp"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "install/boxes.hpp"
#include "installer/dialogs.hpp"
#include "cli/text.hpp"

namespace scrpkg::install {
namespace {

using platform::posix::Event;

// Writes each line of the text behind the prefix.
void indented(std::ostream& out, const std::string& prefix, const std::string& text) {
  std::istringstream lines(unix_line_ends(cp1252_to_utf8(text)));
  std::string line;
  while (std::getline(lines, line)) out << prefix << line << '\n';
}

std::string shown_text(const Event& event, const platform::posix::DialogControl& control) {
  for (const auto& [item, text] : event.items) {
    if (item == control.id) return text;
  }
  return control.text;
}

// A row's static texts side by side, its buttons as "[ label ]".
void show_row(std::ostream& out, const std::vector<ShownControl>& row) {
  std::string line;
  for (const ShownControl& control : row) {
    if (control.text.empty()) continue;
    if (!line.empty()) line += ' ';
    line += control.button ? "[ " + control.text + " ]" : control.text;
  }
  indented(out, "|   ", line);
}

void show_dialog(std::ostream& out, const Event& event) {
  if (!event.dialog) {
    out << "+-- dialog " << event.resource
        << ": the package has no readable template for it (result " << event.dialog_result << ")\n";
    return;
  }
  const std::string caption = cp1252_to_utf8(event.caption);
  out << "+-- " << (event.dialog->has_caption ? caption : "[" + caption + "]") << '\n';
  for (const auto& row : dialog_rows(event)) show_row(out, row);
  out << "+-- closed"
      << (event.resource == installer::kProgressDialog ? " when the files were written" : "")
      << " (result " << event.dialog_result << ")\n";
}

// Dialogs, browser, launch and registration; message boxes are shown when they are asked.
void show_event(std::ostream& out, const Event& event) {
  switch (event.kind) {
    case Event::Kind::dialog:
      show_dialog(out, event);
      break;
    case Event::Kind::shell_open:
      out << "open in the browser: " << cp1252_to_utf8(event.address) << '\n';
      break;
    case Event::Kind::launch:
      out << "start: " << cp1252_to_utf8(event.address) << " (show command " << event.show_command
          << ")\n";
      break;
    case Event::Kind::registration:
      out << "system.ini: [boot] SCRNSAVE.EXE=" << cp1252_to_utf8(event.ini_value)
          << ", screen saving switched on\n";
      break;
    case Event::Kind::message_box:
    case Event::Kind::cursor:
    case Event::Kind::paint:
      break;
  }
  out << std::flush;
}

}  // namespace

std::vector<std::vector<ShownControl>> dialog_rows(const Event& event) {
  using Control = platform::posix::DialogControl;
  std::vector<const Control*> visible;
  for (const Control& control : event.dialog->controls) {
    if (control.visible) visible.push_back(&control);
  }
  const auto above = [](const Control* a, const Control* b) { return a->y < b->y; };
  const auto left_of = [](const Control* a, const Control* b) { return a->x < b->x; };
  std::stable_sort(visible.begin(), visible.end(), above);
  std::vector<std::vector<ShownControl>> rows;
  for (std::size_t first = 0; first < visible.size();) {
    std::size_t last = first + 1;
    int bottom = visible[first]->y + visible[first]->height;
    for (; last < visible.size() && visible[last]->y < bottom; ++last) {
      bottom = std::max(bottom, visible[last]->y + visible[last]->height);
    }
    std::stable_sort(visible.begin() + first, visible.begin() + last, left_of);
    rows.emplace_back();
    for (; first < last; ++first) {
      const Control& control = *visible[first];
      rows.back().push_back({control.id, control.button, shown_text(event, control)});
    }
  }
  return rows;
}

void show_message_box(std::ostream& out, const std::string& caption, const std::string& text,
                      unsigned type) {
  out << "+-- " << cp1252_to_utf8(caption) << "  (" << icon_word(type) << ")\n";
  indented(out, "|   ", text);
  out << "|  ";
  for (const Button& b : buttons_of(type)) out << " [ " << b.label << " ]";
  out << '\n';
}

void show_answer(std::ostream& out, const std::string& label) {
  out << "> " << label << '\n';
}

void EventDisplay::operator()(const Event& event) {
  if (event.kind == Event::Kind::cursor) {
    waiting_ = event.waiting;
    if (!waiting_) release_held();
    return;
  }
  if (waiting_ && event.kind != Event::Kind::dialog) {
    held_.push_back(event);
    return;
  }
  show_event(out_, event);
  release_held();
}

void EventDisplay::release_held() {
  for (const Event& event : held_) show_event(out_, event);
  held_.clear();
}

}  // namespace scrpkg::install
