#include "demo/settings.hpp"

#include <cstring>

namespace aurora {

namespace {

struct Field {
  const char* key;
  int AuroraSettings::*value;
  int minimum;
  int maximum;
};

constexpr Field kFields[] = {
    {"speed", &AuroraSettings::speed, 1, 10},
    {"curtains", &AuroraSettings::curtains, 1, 6},
    {"stars", &AuroraSettings::stars, 0, 500},
    {"hue", &AuroraSettings::hue, 0, 359},
};

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// Whole decimal numbers only, optionally negative; false for anything else.
bool parse_int(const char* begin, const char* end, int& value) {
  bool negative = begin < end && *begin == '-';
  if (negative) ++begin;
  if (begin == end) return false;
  long number = 0;
  for (; begin < end; ++begin) {
    if (*begin < '0' || *begin > '9') return false;
    if (number < 100000) number = number * 10 + (*begin - '0');
  }
  value = static_cast<int>(negative ? -number : number);
  return true;
}

void trim(const char*& begin, const char*& end) {
  while (begin < end && is_blank(*begin)) ++begin;
  while (end > begin && is_blank(end[-1])) --end;
}

void apply(AuroraSettings& settings, const char* line, const char* end) {
  const char* equals = static_cast<const char*>(std::memchr(line, '=', end - line));
  if (equals == nullptr) return;
  const char* key_end = equals;
  const char* value = equals + 1;
  trim(line, key_end);
  trim(value, end);
  int number = 0;
  if (!parse_int(value, end, number)) return;
  for (const Field& field : kFields) {
    if (std::strlen(field.key) != static_cast<std::size_t>(key_end - line) ||
        std::memcmp(field.key, line, key_end - line) != 0) {
      continue;
    }
    if (number < field.minimum) number = field.minimum;
    if (number > field.maximum) number = field.maximum;
    settings.*field.value = number;
  }
}

}  // namespace

AuroraSettings parse_settings(const char* text, std::size_t length) {
  AuroraSettings settings;
  const char* end = text + length;
  while (text < end) {
    const char* newline = static_cast<const char*>(std::memchr(text, '\n', end - text));
    const char* line_end = newline != nullptr ? newline : end;
    const char* comment = static_cast<const char*>(std::memchr(text, '#', line_end - text));
    apply(settings, text, comment != nullptr ? comment : line_end);
    text = line_end + 1;
  }
  return settings;
}

}  // namespace aurora
