#include "demo/saver_args.hpp"

namespace aurora {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

const char* skip_blanks(const char* text) {
  while (is_blank(*text)) ++text;
  return text;
}

// A decimal window handle after an optional ':' and blanks; 0 when there is none.
std::uintptr_t window_number(const char* text) {
  if (*text == ':') ++text;
  text = skip_blanks(text);
  std::uintptr_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  return value;
}

SaverMode mode_of(char letter) {
  switch (letter | 0x20) {  // lower case
    case 's':
      return SaverMode::full_screen;
    case 'p':
    case 'l':
      return SaverMode::preview;
    case 'a':
      return SaverMode::password;
    default:
      return SaverMode::settings;
  }
}

}  // namespace

const char* skip_program_name(const char* command_line) {
  const char* at = command_line;
  if (*at == '"') {
    ++at;
    while (*at != '\0' && *at != '"') ++at;
    if (*at == '"') ++at;
  } else {
    while (*at != '\0' && !is_blank(*at)) ++at;
  }
  return skip_blanks(at);
}

SaverRequest parse_saver_arguments(const char* arguments) {
  const char* at = skip_blanks(arguments);
  if (*at != '/' && *at != '-') return SaverRequest{SaverMode::settings, 0};
  const char letter = at[1];
  if (letter == '\0') return SaverRequest{SaverMode::settings, 0};
  return SaverRequest{mode_of(letter), window_number(at + 2)};
}

}  // namespace aurora
