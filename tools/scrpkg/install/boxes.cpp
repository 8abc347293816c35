#include "install/boxes.hpp"

#include <algorithm>
#include <cctype>

#include "platform/platform.hpp"

namespace scrpkg::install {
namespace {

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::optional<int> position_answer(const std::string& answer, std::size_t count) {
  if (answer.empty() || answer.size() > 2) return std::nullopt;
  if (!std::all_of(answer.begin(), answer.end(), [](unsigned char c) { return std::isdigit(c); }))
    return std::nullopt;
  std::size_t position = std::stoul(answer);
  if (position < 1 || position > count) return std::nullopt;
  return static_cast<int>(position - 1);
}

}  // namespace

std::vector<Button> buttons_of(unsigned type) {
  const Button ok{platform::kIdOk, "OK", "ok"};
  const Button cancel{platform::kIdCancel, "Annuleren", "cancel"};
  const Button yes{platform::kIdYes, "Ja", "yes"};
  const Button no{platform::kIdNo, "Nee", "no"};
  switch (type & kButtonMask) {
    case platform::kMbOkCancel:
      return {ok, cancel};
    case platform::kMbYesNoCancel:
      return {yes, no, cancel};
    case platform::kMbYesNo:
      return {yes, no};
    default:
      return {ok};
  }
}

std::string icon_word(unsigned type) {
  switch (type & kIconMask) {
    case platform::kMbIconError:
      return "error";
    case platform::kMbIconQuestion:
      return "question";
    case platform::kMbIconExclamation:
      return "exclamation";
    case platform::kMbIconInformation:
      return "information";
    default:
      return "none";
  }
}

std::optional<int> button_for_answer(const std::string& answer, unsigned type) {
  const std::vector<Button> buttons = buttons_of(type);
  if (auto position = position_answer(answer, buttons.size())) return buttons[*position].id;
  const std::string wanted = lower(answer);
  for (const Button& b : buttons) {
    if (wanted == lower(b.label) || wanted == b.english) return b.id;
  }
  return std::nullopt;
}

std::string button_label(int id, unsigned type) {
  for (const Button& b : buttons_of(type)) {
    if (b.id == id) return b.label;
  }
  return std::to_string(id);
}

int stopping_button(unsigned type) {
  const std::vector<Button> buttons = buttons_of(type);
  for (int preferred : {platform::kIdCancel, platform::kIdNo}) {
    for (const Button& b : buttons) {
      if (b.id == preferred) return b.id;
    }
  }
  return buttons.front().id;
}

}  // namespace scrpkg::install
