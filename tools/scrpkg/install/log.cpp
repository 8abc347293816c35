#include "install/log.hpp"

#include <cerrno>
#include <system_error>

#include "install/boxes.hpp"
#include "install/display.hpp"
#include "cli/text.hpp"

namespace scrpkg::install {
namespace {

using nlohmann::json;
using platform::posix::Event;

json message_box_record(const Event& event) {
  json buttons = json::array();
  for (const Button& b : buttons_of(event.type)) buttons.push_back(b.label);
  return {{"event", "message_box"},
          {"caption", cp1252_to_utf8(event.caption)},
          {"text", cp1252_to_utf8(event.text)},
          {"buttons", buttons},
          {"icon", icon_word(event.type)},
          {"answer", button_label(event.button, event.type)}};
}

json dialog_controls(const Event& event) {
  json controls = json::array();
  if (!event.dialog) return controls;
  for (const auto& row : dialog_rows(event)) {
    for (const ShownControl& control : row)
      controls.push_back({{"id", control.id}, {"text", cp1252_to_utf8(control.text)}});
  }
  return controls;
}

json dialog_record(const Event& event) {
  return {{"event", "dialog"},
          {"resource", event.resource},
          {"window_text", cp1252_to_utf8(event.caption)},
          {"controls", dialog_controls(event)},
          {"rect",
           {{"left", event.left},
            {"top", event.top},
            {"right", event.right},
            {"bottom", event.bottom}}},
          {"result", event.dialog_result}};
}

}  // namespace

json event_record(const Event& event) {
  switch (event.kind) {
    case Event::Kind::message_box:
      return message_box_record(event);
    case Event::Kind::dialog:
      return dialog_record(event);
    case Event::Kind::shell_open:
      return {{"event", "shell_open"}, {"address", cp1252_to_utf8(event.address)}};
    case Event::Kind::launch:
      return {{"event", "launch"},
              {"command_line", cp1252_to_utf8(event.address)},
              {"show", event.show_command}};
    case Event::Kind::registration:
      return {{"event", "registration"},
              {"scrnsave_exe", cp1252_to_utf8(event.ini_value)},
              {"screen_saving", true}};
    case Event::Kind::cursor:
    case Event::Kind::paint:
      break;
  }
  return nullptr;
}

json exit_record(int status, const std::string& error) {
  json record = {{"event", "exit"}, {"status", status}};
  if (!error.empty()) record["error"] = error;
  return record;
}

EventLog::EventLog(const std::string& path) {
  if (!path.empty()) out_.open(path, std::ios::binary | std::ios::trunc);
}

void EventLog::write(const json& record) {
  if (!out_.is_open() || record.is_null()) return;
  errno = 0;
  out_ << record.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
  out_.flush();
  note_failure();
}

std::optional<std::string> EventLog::close() {
  if (!out_.is_open()) return std::nullopt;
  errno = 0;
  out_.close();
  note_failure();
  if (!failed_) return std::nullopt;
  if (first_error_ > 0) return std::generic_category().message(first_error_);
  return std::string("not written in full");
}

void EventLog::note_failure() {
  if (out_ || failed_) return;
  failed_ = true;
  first_error_ = errno != 0 ? errno : -1;
}

}  // namespace scrpkg::install
