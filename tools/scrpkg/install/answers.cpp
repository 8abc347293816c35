#include "install/answers.hpp"

#include <istream>
#include <ostream>
#include <sstream>

#include "install/boxes.hpp"
#include "install/display.hpp"
#include "cli/text.hpp"

namespace scrpkg::install {
namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::string button_list(unsigned type) {
  std::string list;
  for (const Button& b : buttons_of(type)) list += (list.empty() ? "" : ", ") + b.label;
  return list;
}

}  // namespace

std::vector<std::string> split_answers(const std::string& list) {
  std::vector<std::string> answers;
  std::istringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) answers.push_back(trimmed(item));
  return answers;
}

BoxAnswerer::BoxAnswerer(AnswerMode mode, std::vector<std::string> scripted, std::istream& in,
                         std::ostream& out, bool show_boxes)
    : mode_(mode), scripted_(std::move(scripted)), in_(in), out_(out), show_boxes_(show_boxes) {}

void BoxAnswerer::on_unstoppable_error(std::function<void(const std::string&)> handler) {
  unstoppable_ = std::move(handler);
}

int BoxAnswerer::answer(const std::string& caption, const std::string& text, unsigned type) {
  if (error_) return stopping_button(type);
  if (show_boxes_ || mode_ == AnswerMode::interactive) show_message_box(out_, caption, text, type);
  const std::optional<int> pressed = next_answer(caption, type);
  if (!pressed) return stopping_button(type);
  if (show_boxes_ && mode_ != AnswerMode::interactive)
    show_answer(out_, button_label(*pressed, type));
  return *pressed;
}

std::optional<int> BoxAnswerer::next_answer(const std::string& caption, unsigned type) {
  switch (mode_) {
    case AnswerMode::defaults:
      return buttons_of(type).front().id;
    case AnswerMode::scripted:
      return scripted_answer(caption, type);
    case AnswerMode::interactive:
      return typed_answer(type);
    case AnswerMode::none:
      break;
  }
  return refuse("no answer for the message box \"" + cp1252_to_utf8(caption) +
                    "\": standard input is not a terminal; use --answers or -y",
                type);
}

std::optional<int> BoxAnswerer::scripted_answer(const std::string& caption, unsigned type) {
  const std::string where = "the message box \"" + cp1252_to_utf8(caption) + "\"";
  if (next_ >= scripted_.size()) {
    return refuse("no answer left for " + where + " (buttons: " + button_list(type) + ")", type);
  }
  const std::string& given = scripted_[next_++];
  if (auto id = button_for_answer(given, type)) return id;
  return refuse("answer \"" + given + "\" is not a button of " + where +
                    " (buttons: " + button_list(type) + ")",
                type);
}

std::optional<int> BoxAnswerer::typed_answer(unsigned type) {
  std::string line;
  while (true) {
    out_ << "> " << std::flush;
    if (!std::getline(in_, line)) {
      return refuse("no answer: standard input ended", type);
    }
    line = trimmed(line);
    if (line.empty()) return buttons_of(type).front().id;
    if (auto id = button_for_answer(line, type)) return id;
    out_ << "Please answer " << button_list(type) << " (or Enter for "
         << buttons_of(type).front().label << ").\n";
  }
}

std::nullopt_t BoxAnswerer::refuse(const std::string& message, unsigned type) {
  error_ = message;
  if (buttons_of(type).size() == 1 && unstoppable_) unstoppable_(message);
  return std::nullopt;
}

}  // namespace scrpkg::install
