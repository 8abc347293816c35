// Where the answers to the installer's message boxes come from during `scrpkg install`.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scrpkg::install {

enum class AnswerMode {
  scripted,     // --answers: the given answers in order
  defaults,     // -y: every box's first button, as the Enter key would
  interactive,  // a person at the terminal types them
  none,         // no way to answer: the first box is an error
};

// Splits "yes,no,ok" at the commas, dropping blanks around each answer.
std::vector<std::string> split_answers(const std::string& list);

class BoxAnswerer {
 public:
  BoxAnswerer(AnswerMode mode, std::vector<std::string> scripted, std::istream& in,
              std::ostream& out, bool show_boxes);

  // Called before an OK-only box is refused an answer: no answer can stop the installer
  // there, so the caller ends the run itself (by throwing through the installer).
  void on_unstoppable_error(std::function<void(const std::string&)> handler);

  // Shows the box (unless quiet) and returns the button pressed. After an error every
  // box gets the button that stops the installer soonest, silently.
  int answer(const std::string& caption, const std::string& text, unsigned type);

  const std::optional<std::string>& error() const { return error_; }

 private:
  std::optional<int> next_answer(const std::string& caption, unsigned type);
  std::optional<int> scripted_answer(const std::string& caption, unsigned type);
  std::optional<int> typed_answer(unsigned type);
  std::nullopt_t refuse(const std::string& message, unsigned type);  // notes the error: no answer

  AnswerMode mode_;
  std::vector<std::string> scripted_;
  std::size_t next_ = 0;
  std::istream& in_;
  std::ostream& out_;
  bool show_boxes_;
  std::optional<std::string> error_;
  std::function<void(const std::string&)> unstoppable_;
};

}  // namespace scrpkg::install
