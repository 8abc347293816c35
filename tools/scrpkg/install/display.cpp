#include "install/display.hpp"

#include <ostream>
#include <sstream>

#include "install/boxes.hpp"
#include "cli/text.hpp"

namespace scrpkg {
namespace {

using platform::posix::Event;

constexpr int kProgressDialog = 103;
constexpr int kOrderInfoDialog = 104;

// Writes each line of the text behind the prefix.
void indented(std::ostream& out, const std::string& prefix, const std::string& text) {
  std::istringstream lines(unix_line_ends(cp1252_to_utf8(text)));
  std::string line;
  while (std::getline(lines, line)) out << prefix << line << '\n';
}

std::string item_text(const Event& event, int id) {
  for (const auto& [item, text] : event.items) {
    if (item == id) return text;
  }
  return "";
}

void show_progress_dialog(std::ostream& out, const Event& event) {
  out << "+-- [" << cp1252_to_utf8(event.caption) << "]\n";
  out << "|   Installeren\n";
  indented(out, "|   ", item_text(event, 1001));
  out << "|   Wachten aub...\n";
  out << "+-- closed when the files were written (result " << event.dialog_result << ")\n";
}

void show_order_info_dialog(std::ostream& out, const Event& event) {
  out << "+-- " << cp1252_to_utf8(dialog_title(kOrderInfoDialog)) << '\n';
  std::vector<std::string> lines;
  for (const std::string& text : dialog_static_texts(kOrderInfoDialog)) {
    // The trademark sign sits beside the product line, not under it.
    if (text == "TM" && !lines.empty()) {
      lines.back() += " TM";
    } else {
      lines.push_back(text);
    }
  }
  for (const std::string& line : lines) indented(out, "|   ", line.empty() ? " " : line);
  out << "|   [ OK ]\n";
  out << "+-- closed (result " << event.dialog_result << ")\n";
}

void show_dialog(std::ostream& out, const Event& event) {
  if (event.resource == kProgressDialog) return show_progress_dialog(out, event);
  if (event.resource == kOrderInfoDialog) return show_order_info_dialog(out, event);
  out << "+-- dialog " << event.resource << " [" << cp1252_to_utf8(event.caption)
      << "] closed (result " << event.dialog_result << ")\n";
}

}  // namespace

std::string dialog_title(int resource) {
  return resource == kOrderInfoDialog ? "Lumivane Deluxe Bestelinfo" : "";
}

std::vector<std::string> dialog_static_texts(int resource) {
  if (resource == kProgressDialog) return {"Installeren", "Wachten aub..."};
  if (resource != kOrderInfoDialog) return {};
  return {"Dit programma werd gemaakt met",
          "*** LUMIVANE DELUXE ***",
          "TM",
          "Maak screen savers zonder te programmeren",
          "Download GRATIS screen savers",
          "www.lumivane.example",
          "Lumivane Software",
          "",
          "info@lumivane.example"};
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

}  // namespace scrpkg
